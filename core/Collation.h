#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>

namespace meloport {

// The order of the sorted source list: ascending, ignoring letter case, digits compared as
// characters (Track10 before Track2). Names that differ only in case, possible here, are put
// in one fixed order so that positions never depend on the order the folder was read in.
bool listOrderLess(const QString &a, const QString &b);
// The same order as a three-way comparison: 0 for equal texts only.
int listOrderCompare(const QString &a, const QString &b);

void sortListEntries(QStringList &entries);

// A file name as a disk that ignores letter case tells names apart (FAT, exFAT, NTFS): folded.
// A name that is not UTF-8 cannot be on such a disk; it stands for itself alone.
QByteArray caseBlindName(const QByteArray &name);

// The order a person counts in: runs of digits compared as numbers (Track2 before Track10),
// the rest as in the list's order.
bool numberOrderLess(QStringView a, QStringView b);

} // namespace meloport
