#include "app/StatePaths.h"

#include "app/Product.h"
#include "app/SettingsStore.h"

#include <QStandardPaths>

namespace meloport {

StatePaths StatePaths::forCurrentUser()
{
    // The runtime folder belongs to the user alone and is emptied at logout: the right home for
    // a lock. Without one, no lock can be tried and the program starts anyway.
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return {SettingsStore::userFilePath(),
            runtime.isEmpty() ? QString() : runtime + u'/' + productName() + u".lock"};
}

} // namespace meloport
