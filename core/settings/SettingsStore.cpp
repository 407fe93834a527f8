#include "core/settings/SettingsStore.h"

#include "core/Product.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>
#include <cerrno>

namespace meloport {

namespace {

const SettingDefinition &definition(Setting setting)
{
    return *std::find_if(std::begin(kSettingDefinitions), std::end(kSettingDefinitions),
                         [setting](const SettingDefinition &d) { return d.setting == setting; });
}

QString section()
{
    return QStringLiteral("Settings");
}

QString qualifiedKey(Setting setting)
{
    return section() + u'/' + definition(setting).key;
}

// The end of `line` ("\r\n", "\n", or nothing for a last line without one).
QByteArray lineEnd(const QByteArray &line)
{
    if (line.endsWith("\r\n"))
        return "\r\n";
    return line.endsWith('\n') ? "\n" : "";
}

} // namespace

SettingsStore::SettingsStore(QString filePath)
    : m_filePath(std::move(filePath))
{
}

QString SettingsStore::userFilePath()
{
    // Where QSettings keeps a user's INI file, found without opening it: a program that ends at
    // once because another one runs must not even read the settings.
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + u'/' + productName() + u'/'
        + productName() + u".ini";
}

QString SettingsStore::value(Setting setting) const
{
    // A damaged or unreadable file gives what can be read of it, and the defaults for the rest.
    const QSettings settings(m_filePath, QSettings::IniFormat);
    return settings.value(qualifiedKey(setting), definition(setting).defaultText.toString()).toString();
}

std::optional<platform::OsError> SettingsStore::save(const QList<std::pair<Setting, QString>> &values) const
{
    // QSettings would rewrite the file in place of its own: on a full disk it can cut it short
    // without a word, and it drops the lines it cannot parse. So the new text is made here and
    // the file replaced whole.
    const platform::FileContents old = platform::readWholeFile(m_filePath);
    if (old.error && old.error->code != ENOENT)
        return old.error; // what cannot be read cannot be kept: leave it as it is

    QList<std::pair<QByteArray, QByteArray>> lines;
    for (const auto &[setting, text] : values)
        lines.append({definition(setting).key.toUtf8(), text.toUtf8()});
    const QByteArray updated = withIniValues(old.bytes, section().toUtf8(), lines);

    const auto readsBack = [&values](const QString &newFile) {
        const QSettings settings(newFile, QSettings::IniFormat);
        return std::all_of(values.begin(), values.end(), [&settings](const auto &entry) {
            return settings.value(qualifiedKey(entry.first)).toString() == entry.second;
        });
    };
    // A folder that cannot be made shows in the reason why the new file could not be written.
    QDir().mkpath(QFileInfo(m_filePath).absolutePath());
    return platform::replaceFile(m_filePath, updated, readsBack);
}

QByteArray withIniValues(const QByteArray &ini, const QByteArray &section,
                         const QList<std::pair<QByteArray, QByteArray>> &values)
{
    const QByteArray newline = ini.contains("\r\n") ? "\r\n" : "\n";

    QList<QByteArray> lines;
    for (qsizetype start = 0; start < ini.size();) {
        const qsizetype next = ini.indexOf('\n', start);
        const qsizetype end = next < 0 ? ini.size() : next + 1;
        lines.append(ini.sliced(start, end - start));
        start = end;
    }

    QList<bool> found(values.size(), false);
    bool inSection = false;
    qsizetype insertAt = -1; // after the last non-blank line of the last matching section
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QByteArray content = lines[i].trimmed();
        if (i == 0 && content.startsWith("\xEF\xBB\xBF"))
            content.remove(0, 3);
        if (content.startsWith('[')) {
            // As QSettings reads it: a header without "]" names a section all the same.
            const qsizetype close = content.indexOf(']');
            inSection = content.first(close < 0 ? content.size() : close).sliced(1).trimmed() == section;
            if (inSection)
                insertAt = i + 1;
            continue;
        }
        if (!inSection || content.isEmpty())
            continue;
        insertAt = i + 1;
        const qsizetype equals = content.indexOf('=');
        if (equals < 0)
            continue;
        const QByteArray key = content.first(equals).trimmed();
        for (qsizetype v = 0; v < values.size(); ++v) {
            if (values[v].first == key) {
                lines[i] = key + '=' + values[v].second + lineEnd(lines[i]);
                found[v] = true;
            }
        }
    }

    QList<QByteArray> added;
    for (qsizetype v = 0; v < values.size(); ++v)
        if (!found[v])
            added.append(values[v].first + '=' + values[v].second + newline);
    if (added.isEmpty())
        return lines.join();

    if (insertAt < 0) {
        if (!lines.isEmpty() && lineEnd(lines.last()).isEmpty())
            lines.last() += newline;
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty())
            lines.append(newline);
        lines.append('[' + section + ']' + newline);
        insertAt = lines.size();
    } else if (lineEnd(lines[insertAt - 1]).isEmpty()) {
        lines[insertAt - 1] += newline;
    }
    for (const QByteArray &line : added)
        lines.insert(insertAt++, line);
    return lines.join();
}

} // namespace meloport
