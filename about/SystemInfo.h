#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

namespace meloport {

// A program that shows what this computer is made of, and how to start it.
struct SystemInfoTool {
    QString program;
    QStringList arguments;
};

// The desktop's system-information tool, or nothing when none is installed.
std::optional<SystemInfoTool> findSystemInfoTool();

// The decimal text of a number read from the registry (REG_DWORD), whose bytes come least
// significant first: {0x02, 0x01, 0x00, 0x00} gives "258".
QString registryNumberText(QByteArrayView bytes);

} // namespace meloport
