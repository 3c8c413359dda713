#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>
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
    // Not QStandardPaths::RuntimeLocation: without XDG_RUNTIME_DIR it falls
    // back to a folder under /tmp.
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty() || !QFileInfo(runtime).isDir())
        return configFolder();
    return runtime + QLatin1Char('/') + QLatin1String(folderName);
}

} // namespace Paths
