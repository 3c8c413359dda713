// brimble-login-helper: what the desktop's autostart runs at login. It owns
// the launcher name on the session bus, starts brimble (which sees the name,
// skips its manager window and emits killLauncher), and quits on that signal
// or after a while on its own.

#include "platform/LoginItems.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>

#include <cstdio>

namespace {

// brimble beside the helper (a build folder), else ../bin/brimble (an
// installation that keeps the helper in libexec), else from PATH.
QString brimbleExecutable()
{
    const QDir folder(QCoreApplication::applicationDirPath());
    for (const QString &candidate :
         {folder.filePath(QStringLiteral("brimble")), folder.filePath(QStringLiteral("../bin/brimble"))}) {
        const QFileInfo info(candidate);
        if (info.isFile() && info.isExecutable())
            return info.absoluteFilePath();
    }
    return QStringLiteral("brimble");
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();

    // Without a bus brimble cannot tell it was started at login; it still starts.
    const bool owned = bus.isConnected() && bus.registerService(LoginHelper::serviceName);
    if (bus.isConnected() && !owned) {
        std::fputs("brimble-login-helper: another login helper is running\n", stderr);
        return 0;
    }
    if (owned)
        bus.connect(QString(), LoginHelper::objectPath, LoginHelper::interfaceName, LoginHelper::killSignal, &app,
                    SLOT(quit()));

    if (!QProcess::startDetached(brimbleExecutable(), {})) {
        std::fputs("brimble-login-helper: cannot start brimble\n", stderr);
        return 1;
    }
    if (!owned)
        return 0;
    QTimer::singleShot(LoginHelper::lifetimeMs, &app, &QCoreApplication::quit);
    return app.exec();
}
