#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr auto folderName = "brimble";
// As the kernel's own limit on links followed in one lookup.
constexpr int maximumLinksFollowed = 40;

QString under(QStandardPaths::StandardLocation location)
{
    return QStandardPaths::writableLocation(location) + QLatin1Char('/') + QLatin1String(folderName);
}

// The folder with every link in it resolved, as far as it exists.
QString canonicalFolder(const QString &folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    if (!canonical.isEmpty() || folder == QLatin1String("/"))
        return canonical.isEmpty() ? folder : canonical;
    // A folder not made yet: resolve what exists of it.
    const QFileInfo info(folder);
    return QDir::cleanPath(canonicalFolder(info.absolutePath()) + QLatin1Char('/') + info.fileName());
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

QString stateFolder()
{
    // The XDG base directories want an absolute path; anything else is ignored.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QLatin1Char('/') + QLatin1String(folderName);
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

QString resolvedFile(const QString &path)
{
    QString current = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    for (int hops = 0; hops <= maximumLinksFollowed; ++hops) {
        const QFileInfo info(current);
        current = QDir::cleanPath(canonicalFolder(info.absolutePath()) + QLatin1Char('/') + info.fileName());
        struct stat status
        {
        };
        if (::lstat(QFile::encodeName(current).constData(), &status) != 0 || !S_ISLNK(status.st_mode))
            return current;
        QByteArray target(PATH_MAX, '\0');
        const ssize_t length = ::readlink(QFile::encodeName(current).constData(), target.data(), size_t(target.size()));
        if (length <= 0)
            return current;
        const QString next = QFile::decodeName(target.left(length));
        current = QDir::cleanPath(QDir::isAbsolutePath(next) ? next : info.absolutePath() + QLatin1Char('/') + next);
    }
    return current; // a loop of links: the last one reached
}

QString lockFileFor(const QString &preferencesFile)
{
    return resolvedFile(preferencesFile) + QStringLiteral(".lock");
}

bool makePrivateFolder(const QString &folder)
{
    const QString clean = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    if (QFileInfo(clean).isDir())
        return true;
    // A link to a folder not made yet (a synced folder on a new computer)
    // gets its target made.
    const QString target = resolvedFile(clean);
    const QString parent = QFileInfo(target).absolutePath();
    if (parent != target && !QFileInfo(parent).isDir() && !makePrivateFolder(parent))
        return false;
    if (::mkdir(QFile::encodeName(target).constData(), S_IRWXU) != 0 && errno != EEXIST)
        return false;
    return QFileInfo(clean).isDir();
}

} // namespace Paths
