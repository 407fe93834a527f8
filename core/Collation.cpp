#include "core/Collation.h"

#include "platform/Platform.h"

#include <algorithm>
#include <cstring>

namespace meloport {

namespace {

char16_t folded(char16_t c)
{
    // Most names are ASCII: fold those inline, and ask Unicode only for the rest.
    if (c < 0x80)
        return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c;
    return static_cast<char16_t>(QChar::toCaseFolded(c));
}

} // namespace

int listOrderCompare(const QString &a, const QString &b)
{
    // Sorting a large folder makes millions of comparisons: this is QString::compare's
    // case-insensitive order without its per-call overhead, and the exact order for the rest.
    const QChar *pa = a.constData();
    const QChar *pb = b.constData();
    const qsizetype n = std::min(a.size(), b.size());
    // Names in one folder tend to share a long start ("Track 0"): skip it four units at a time.
    qsizetype i = 0;
    for (quint64 wa = 0, wb = 0; i + 4 <= n; i += 4) {
        std::memcpy(&wa, pa + i, sizeof wa);
        std::memcpy(&wb, pb + i, sizeof wb);
        if (wa != wb)
            break;
    }
    int exact = 0;
    for (; i < n; ++i) {
        if (pa[i] == pb[i])
            continue;
        const char16_t fa = folded(pa[i].unicode());
        const char16_t fb = folded(pb[i].unicode());
        if (fa != fb)
            return fa < fb ? -1 : 1;
        if (exact == 0)
            exact = pa[i] < pb[i] ? -1 : 1;
    }
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    return exact;
}

namespace {

// The digits of a run as a number, compared without its leading zeros: long runs (a date, a
// catalogue number) never overflow.
QStringView numberAt(QStringView text, qsizetype &i)
{
    const qsizetype start = i;
    while (i < text.size() && text[i].isDigit())
        ++i;
    QStringView run = text.sliced(start, i - start);
    while (run.size() > 1 && run.front().digitValue() == 0)
        run = run.sliced(1);
    return run;
}

int compareNumbers(QStringView a, QStringView b)
{
    if (a.size() != b.size())
        return a.size() < b.size() ? -1 : 1;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (a[i].digitValue() != b[i].digitValue())
            return a[i].digitValue() < b[i].digitValue() ? -1 : 1;
    }
    return 0;
}

} // namespace

bool numberOrderLess(QStringView a, QStringView b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            if (const int order = compareNumbers(numberAt(a, i), numberAt(b, j)))
                return order < 0;
            continue;
        }
        const char16_t fa = folded(a[i++].unicode());
        const char16_t fb = folded(b[j++].unicode());
        if (fa != fb)
            return fa < fb;
    }
    return a.size() - i < b.size() - j;
}

QByteArray caseBlindName(const QByteArray &name)
{
    const QString text = QString::fromUtf8(name);
    return text.contains(QChar::ReplacementCharacter) ? name : text.toCaseFolded().toUtf8();
}

namespace {

void swapAsciiCase(QByteArray &name)
{
    for (char &c : name) {
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        else if (c >= 'A' && c <= 'Z')
            c = char(c - 'A' + 'a');
    }
}

} // namespace

bool ignoresLetterCase(const platform::FolderHandle &folder, const QList<QByteArray> &names,
                       const std::function<bool(const QByteArray &name)> &listed)
{
    int tries = 0;
    for (const QByteArray &name : names) {
        if (!listed(name)) {
            if (folder.lookup(name))
                return true;
            continue;
        }
        QByteArray other = name;
        swapAsciiCase(other);
        if (other == name)
            continue;
        if (listed(other))
            return false;
        const auto found = folder.lookup(other);
        if (!found)
            return false;
        if (found == folder.lookup(name))
            return true;
        if (++tries == 4)
            break; // another entry of that spelling each time: no answer, so case counts
    }
    return false;
}

} // namespace meloport
