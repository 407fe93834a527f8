#include "about/SystemInfo.h"

#include <QFileInfo>

#include <array>
#include <windows.h>

namespace meloport {

namespace {

const wchar_t *wide(const QString &text)
{
    return reinterpret_cast<const wchar_t *>(text.utf16());
}

// Reads the value `SubKeyRef` of the key `KeyName` under `KeyRoot` into `KeyVal`: text as it is,
// a number as decimal text. False, with `KeyVal` empty, when the key or value cannot be read; a
// value of another type leaves `KeyVal` as it was.
bool GetKeyValue(HKEY KeyRoot, const QString &KeyName, const QString &SubKeyRef, QString &KeyVal)
{
    HKEY key = nullptr;
    // Read access only: asking for more under HKEY_LOCAL_MACHINE fails for a standard user.
    if (RegOpenKeyExW(KeyRoot, wide(KeyName), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        KeyVal.clear();
        return false;
    }
    std::array<BYTE, 2048> data{};
    DWORD size = static_cast<DWORD>(data.size());
    DWORD type = 0;
    const LONG result = RegQueryValueExW(key, wide(SubKeyRef), nullptr, &type, data.data(), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) {
        KeyVal.clear();
        return false;
    }

    switch (type) {
    case REG_SZ: {
        QString text = QString::fromWCharArray(reinterpret_cast<const wchar_t *>(data.data()),
                                               static_cast<qsizetype>(size / sizeof(wchar_t)));
        if (text.endsWith(QChar(0)))
            text.chop(1);
        KeyVal = text;
        break;
    }
    case REG_DWORD:
        KeyVal = registryNumberText(QByteArrayView(data.data(), static_cast<qsizetype>(size)));
        break;
    default:
        break;
    }
    return true;
}

} // namespace

std::optional<SystemInfoTool> findSystemInfoTool()
{
    QString path;
    if (GetKeyValue(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                    QStringLiteral("PATH"), path))
        return SystemInfoTool{path, {}};
    if (GetKeyValue(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                    QStringLiteral("MSINFO"), path)) {
        path += QStringLiteral("\\MSINFO32.EXE");
        if (QFileInfo::exists(path))
            return SystemInfoTool{path, {}};
    }
    return std::nullopt;
}

} // namespace meloport
