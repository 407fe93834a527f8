#include "core/settings/StatePaths.h"

#include "core/Product.h"
#include "core/settings/SettingsStore.h"

#include <QDir>
#include <QStandardPaths>

namespace meloport {

StatePaths StatePaths::forCurrentUser()
{
    // The runtime folder belongs to the user alone and is emptied at logout: the right home for
    // a lock. Without one, no lock can be tried and the program starts anyway.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return {SettingsStore::userFilePath(), runtime.isEmpty() ? QString() : runtime + u'/' + productName() + u".lock",
            renameJournalForCurrentUser()};
}

QString StatePaths::renameJournalForCurrentUser()
{
    // Qt here knows no state folder yet; the XDG rule is short.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!state.startsWith(u'/'))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + u'/' + productName() + QStringLiteral("/last-rename.journal");
}

} // namespace meloport
