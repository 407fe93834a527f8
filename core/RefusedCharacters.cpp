#include "core/RefusedCharacters.h"

#include <QRandomGenerator>

#include <array>

namespace meloport {

namespace {

// The characters that some disk refuses and that have a look-alike.
constexpr QByteArrayView kRefusable = "\\/:*?\"<>|";

constexpr std::array<bool, 256> refusableTable()
{
    std::array<bool, 256> table{};
    for (const char c : kRefusable)
        table[static_cast<unsigned char>(c)] = true;
    return table;
}
constexpr std::array<bool, 256> kIsRefusable = refusableTable();

bool refusable(char c)
{
    return kIsRefusable[static_cast<unsigned char>(c)];
}

// Each of them in the Unicode block of full-width forms, at the same distance from its ASCII self.
char16_t lookAlike(char c)
{
    return char16_t(0xFEE0 + static_cast<unsigned char>(c));
}

} // namespace

QByteArray RefusedCharacters::in(QByteArrayView name, const platform::FolderHandle &folder)
{
    QByteArray found;
    for (const char c : name) {
        if (!refusable(c) || found.contains(c))
            continue;
        if (!m_refused.contains(c) && !m_accepted.contains(c)) {
            // Hidden, and so unlike a user's file that it cannot be one.
            const QByteArray probe =
                ".meloport-" + QByteArray::number(QRandomGenerator::global()->generate64(), 36) + c + ".tmp";
            (folder.takesName(probe) == false ? m_refused : m_accepted).append(c);
        }
        if (m_refused.contains(c))
            found.append(c);
    }
    return found;
}

QByteArray RefusedCharacters::knownIn(QByteArrayView name) const
{
    QByteArray found;
    for (const char c : name) {
        if (m_refused.contains(c) && !found.contains(c))
            found.append(c);
    }
    return found;
}

QByteArray withLookAlikes(const QByteArray &name, QByteArrayView refused)
{
    QByteArray replaced;
    replaced.reserve(name.size());
    for (const char c : name) {
        if (refusable(c) && refused.contains(c))
            replaced += QString(QChar(lookAlike(c))).toUtf8();
        else
            replaced += c;
    }
    return replaced;
}

QString withLookAlikes(const QString &name, QByteArrayView refused)
{
    QString replaced = name;
    for (QChar &c : replaced) {
        if (c.unicode() < 0x80 && refusable(char(c.unicode())) && refused.contains(char(c.unicode())))
            c = QChar(lookAlike(char(c.unicode())));
    }
    return replaced;
}

QString shownCharacters(QByteArrayView characters)
{
    QStringList shown;
    for (const char c : characters)
        shown.append(QString(QLatin1Char(c)));
    return shown.join(u' ');
}

} // namespace meloport
