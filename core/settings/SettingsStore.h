#pragma once

#include "platform/Platform.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>
#include <utility>

namespace meloport {

// The persisted settings. All values are texts.
enum class Setting { InstalledDir, LastVersion, X, Y, Width, Height, TrackNumbers };

struct SettingDefinition {
    Setting setting;
    QStringView key;
    QStringView defaultText; // what a read gives when the key is absent
};

// Every key of the section, with its default. InstalledDir is written by whoever installs the
// program, never by the program itself. TrackNumbers is "1" for on; anything else reads as off.
inline constexpr SettingDefinition kSettingDefinitions[] = {
    {Setting::InstalledDir, u"InstalledDir", u""},
    {Setting::LastVersion, u"LastVersion", u"1.00"},
    {Setting::X, u"X", u"0"},
    {Setting::Y, u"Y", u"0"},
    {Setting::Width, u"Width", u"0"},
    {Setting::Height, u"Height", u"0"},
    {Setting::TrackNumbers, u"TrackNumbers", u"0"},
};

// The user's settings: section "Settings" of an INI file that Qt's QSettings reads.
class SettingsStore final {
public:
    explicit SettingsStore(QString filePath);

    // The current user's file: Meloport/Meloport.ini in the user's configuration folder.
    static QString userFilePath();

    const QString &filePath() const { return m_filePath; }

    // The stored text, or the setting's default when it is absent or the file cannot be read.
    QString value(Setting setting) const;

    // Stores the texts, replacing older values, and leaves every other line of the file as it
    // was. All or nothing: on failure the file keeps its old contents.
    std::optional<platform::OsError> save(const QList<std::pair<Setting, QString>> &values) const;

private:
    QString m_filePath;
};

// The INI text `ini` with each key of `values` set in `section`: lines of such keys are replaced
// where they stand, missing keys are added at the end of the section (a new section at the end
// when there is none). Every other line stays byte for byte, even one QSettings cannot parse,
// which its own rewrite would drop. The values must be plain texts that need no quoting.
QByteArray withIniValues(const QByteArray &ini, const QByteArray &section,
                         const QList<std::pair<QByteArray, QByteArray>> &values);

} // namespace meloport
