#pragma once

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

} // namespace meloport
