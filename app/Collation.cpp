#include "app/Collation.h"

#include <algorithm>

namespace meloport {

bool listOrderLess(const QString &a, const QString &b)
{
    const int folded = a.compare(b, Qt::CaseInsensitive);
    return folded != 0 ? folded < 0 : a.compare(b, Qt::CaseSensitive) < 0;
}

void sortListEntries(QStringList &entries)
{
    std::sort(entries.begin(), entries.end(), listOrderLess);
}

} // namespace meloport
