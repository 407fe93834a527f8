#include "core/about/SystemInfo.h"

#include <QStandardPaths>

namespace meloport {

std::optional<SystemInfoTool> findSystemInfoTool()
{
    struct Candidate {
        QStringView program;
        QStringView argument;
    };
    // The information centres of the common desktops; the first one installed is used.
    static constexpr Candidate candidates[] = {
        {u"kinfocenter", {}},
        {u"gnome-control-center", u"info-overview"},
        {u"hardinfo", {}},
    };
    for (const Candidate &candidate : candidates) {
        const QString path = QStandardPaths::findExecutable(candidate.program.toString());
        if (path.isEmpty())
            continue;
        SystemInfoTool tool{path, {}};
        if (!candidate.argument.isEmpty())
            tool.arguments.append(candidate.argument.toString());
        return tool;
    }
    return std::nullopt;
}

} // namespace meloport
