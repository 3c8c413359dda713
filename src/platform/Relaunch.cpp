#include "platform/Relaunch.h"

#include <QProcess>

namespace Relaunch {

bool relaunchAfterExit(const QString &executable, qint64 *pid)
{
    QProcess shell;
    shell.setProgram(QStringLiteral("/bin/sh"));
    shell.setArguments({QStringLiteral("-c"), QStringLiteral("sleep 2; exec \"$0\""), executable});
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(markerVariable), QStringLiteral("1"));
    shell.setProcessEnvironment(environment);
    shell.setStandardInputFile(QProcess::nullDevice());
    return shell.startDetached(pid);
}

bool takeRelaunchMarker()
{
    if (!qEnvironmentVariableIsSet(markerVariable))
        return false;
    qunsetenv(markerVariable);
    return true;
}

} // namespace Relaunch
