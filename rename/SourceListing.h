#pragma once

#include <QString>
#include <QStringList>

#include <array>

namespace meloport {

// The music kinds, as the kind menu offers them; a kind indexes the extension table.
enum MusicKind : qint16 { KindWav = 0, KindMp3 = 1, KindWma = 2 };

// Four slots: the three kinds' extensions, upper case and without the dot, and an unused one.
using KindExtensionTable = std::array<QString, 4>;

KindExtensionTable defaultKindExtensions();

// The bare names of the folder's files of one kind, in the order of the sorted source list.
QStringList listMusicFiles(const QString &folder, const QString &extension);

} // namespace meloport
