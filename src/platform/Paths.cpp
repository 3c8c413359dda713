#include "platform/Paths.h"

#include <QDir>
#include <QStandardPaths>

namespace {
constexpr auto folderName = "brimble";

QString under(QStandardPaths::StandardLocation location)
{
    return QStandardPaths::writableLocation(location) + QLatin1Char('/') + QLatin1String(folderName);
}
} // namespace

namespace Paths {

QString configFolder()
{
    return under(QStandardPaths::GenericConfigLocation);
}

QString preferencesFile()
{
    return configFolder() + QStringLiteral("/preferences.plist");
}

QString supportFolder()
{
    return under(QStandardPaths::GenericDataLocation);
}

QString runtimeFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime.isEmpty() ? configFolder() : runtime + QLatin1Char('/') + QLatin1String(folderName);
}

} // namespace Paths
