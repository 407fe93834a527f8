#include "app/Collation.h"

#include <algorithm>

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

bool listOrderLess(const QString &a, const QString &b)
{
    // Sorting a large folder makes millions of comparisons: this is QString::compare's
    // case-insensitive order without its per-call overhead.
    const QChar *pa = a.constData();
    const QChar *pb = b.constData();
    const qsizetype n = std::min(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        if (pa[i] == pb[i])
            continue;
        const char16_t fa = folded(pa[i].unicode());
        const char16_t fb = folded(pb[i].unicode());
        if (fa != fb)
            return fa < fb;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

void sortListEntries(QStringList &entries)
{
    std::sort(entries.begin(), entries.end(), listOrderLess);
}

} // namespace meloport
