#pragma once

// A small timing harness: each figure is the median of a few runs, printed beside a reference
// measured in the same run, since only ratios are stable on a shared machine.

#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

namespace bench {

inline double secondsSince(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Median time of `body`; `prepare` runs before each run and is not timed.
inline double medianSeconds(int runs, const std::function<void()> &prepare, const std::function<void()> &body)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        prepare();
        const auto start = std::chrono::steady_clock::now();
        body();
        times.push_back(secondsSince(start));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

inline double medianSeconds(int runs, const std::function<void()> &body)
{
    return medianSeconds(runs, [] {}, body);
}

// Median times of several bodies taken in turns, run after run, so that each meets the machine and
// the disk in the state the others leave (a file system slows down just after many deletions).
inline std::vector<double> medianSecondsInTurns(int runs, const std::function<void()> &prepare,
                                                const std::vector<std::function<void()>> &bodies)
{
    std::vector<std::vector<double>> times(bodies.size());
    for (int i = 0; i < runs; ++i) {
        for (std::size_t b = 0; b < bodies.size(); ++b) {
            prepare();
            const auto start = std::chrono::steady_clock::now();
            bodies[b]();
            times[b].push_back(secondsSince(start));
        }
    }
    std::vector<double> medians;
    for (std::vector<double> &t : times) {
        std::sort(t.begin(), t.end());
        medians.push_back(t[t.size() / 2]);
    }
    return medians;
}

struct Row {
    QString what;
    double ours = 0;       // seconds, or the figure in `unit`
    double reference = 0;  // 0 when there is none
    QString referenceName;
    QString target;        // the goal, in words
};

inline void printHeader()
{
    std::printf("%-52s %12s %12s %-26s %8s  %s\n", "case", "ours", "reference", "(reference)", "ratio", "target");
}

inline void print(const Row &row)
{
    const auto ms = [](double s) -> QString { return QString::number(s * 1000.0, 'f', 2) + QStringLiteral(" ms"); };
    const QString ratio = row.reference > 0 ? QString::number(row.ours / row.reference, 'f', 2) + u'x' : QStringLiteral("-");
    std::printf("%-52s %12s %12s %-26s %8s  %s\n", qUtf8Printable(row.what), qUtf8Printable(ms(row.ours)),
                row.reference > 0 ? qUtf8Printable(ms(row.reference)) : "-", qUtf8Printable(row.referenceName),
                qUtf8Printable(ratio), qUtf8Printable(row.target));
    std::fflush(stdout);
}

} // namespace bench
