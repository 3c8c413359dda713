#include "platform/XdgLoginItems.h"

#include "platform/AtomicFile.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QStandardPaths>

Q_LOGGING_CATEGORY(lcLoginItems, "brimble.platform.login")

namespace {

// One argument of an Exec key: quoted, with the characters the desktop
// entry rules reserve inside quotes escaped, then with the string rules on
// top (backslashes doubled again, % doubled).
QString quotedExecArgument(const QString &argument)
{
    QString quoted;
    quoted.reserve(argument.size() + 8);
    for (const QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    quoted.replace(u'\\', QStringLiteral("\\\\"));
    quoted.replace(u'%', QStringLiteral("%%"));
    return u'"' + quoted + u'"';
}

} // namespace

XdgLoginItems::XdgLoginItems(const QString &autostartFolder, const QString &helperPath, const QDBusConnection &bus)
    : m_folder(autostartFolder)
    , m_helperPath(helperPath)
    , m_bus(bus)
{
}

QString XdgLoginItems::entryPath() const
{
    return m_folder + u'/' + LoginHelper::applicationId + QStringLiteral(".desktop");
}

bool XdgLoginItems::setEnabled(bool enabled)
{
    const QString path = entryPath();
    if (!enabled) {
        if (!QFileInfo::exists(path))
            return true;
        if (QFile::remove(path))
            return true;
        qCWarning(lcLoginItems) << "Cannot remove" << path;
        return false;
    }
    if (m_helperPath.isEmpty() || !QFileInfo(m_helperPath).isExecutable()) {
        qCWarning(lcLoginItems) << "No login helper to run at login:" << m_helperPath;
        return false;
    }
    const QByteArray entry = desktopEntry(m_helperPath);
    if (entry.isEmpty()) {
        qCWarning(lcLoginItems) << "The login helper's path cannot go into an autostart entry:" << m_helperPath;
        return false;
    }
    if (!QDir().mkpath(m_folder) || !AtomicFile::write(path, entry)) {
        qCWarning(lcLoginItems) << "Cannot write" << path;
        return false;
    }
    // Autostart entries are read by the session, not secrets: the usual mode.
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup
                                    | QFileDevice::ReadOther);
    return true;
}

bool XdgLoginItems::endLoginHelper()
{
    if (!m_bus.isConnected() || !m_bus.interface())
        return false;
    const QString service = LoginHelper::serviceName;
    if (!m_bus.interface()->isServiceRegistered(service).value())
        return false;
    QDBusMessage signal = QDBusMessage::createSignal(LoginHelper::objectPath, LoginHelper::interfaceName,
                                                     LoginHelper::killSignal);
    signal << QString(LoginHelper::applicationId);
    if (!m_bus.send(signal))
        qCWarning(lcLoginItems) << "Cannot tell the login helper to quit:" << m_bus.lastError().message();
    return true;
}

QString XdgLoginItems::userAutostartFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QStringLiteral("/autostart");
}

QString XdgLoginItems::locateHelper(const QString &applicationFolder)
{
    const QDir folder(applicationFolder);
    for (const QString &candidate : {folder.filePath(LoginHelper::executableName),
                                     folder.filePath(QStringLiteral("../libexec/") + LoginHelper::executableName)}) {
        const QFileInfo info(candidate);
        if (info.isFile() && info.isExecutable())
            return info.absoluteFilePath();
    }
    return {};
}

QByteArray XdgLoginItems::desktopEntry(const QString &helperPath)
{
    for (const QChar c : helperPath) {
        if (c.category() == QChar::Other_Control)
            return {};
    }
    const QString entry = QStringLiteral("[Desktop Entry]\n"
                                         "Type=Application\n"
                                         "Name=Brimble\n"
                                         "Exec=%1\n"
                                         "Icon=%2\n"
                                         "Terminal=false\n"
                                         "NoDisplay=true\n"
                                         "X-GNOME-Autostart-enabled=true\n")
                              .arg(quotedExecArgument(helperPath), QString(LoginHelper::applicationId));
    return entry.toUtf8();
}
