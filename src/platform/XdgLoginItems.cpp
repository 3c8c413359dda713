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

// A value of the string or locale-string type, its reserved characters escaped.
QString escapedValue(const QString &value)
{
    QString escaped;
    escaped.reserve(value.size());
    for (const QChar c : value) {
        if (c == u'\\')
            escaped += QStringLiteral("\\\\");
        else if (c == u'\n')
            escaped += QStringLiteral("\\n");
        else if (c == u'\t')
            escaped += QStringLiteral("\\t");
        else if (c == u'\r')
            escaped += QStringLiteral("\\r");
        else
            escaped += c;
    }
    // Leading spaces of a value are not read as part of it.
    if (escaped.startsWith(u' '))
        escaped.replace(0, 1, QStringLiteral("\\s"));
    return escaped;
}

} // namespace

XdgLoginItems::XdgLoginItems(const QString &autostartFolder, const QString &helperPath, const QDBusConnection &bus,
                             std::function<Comments()> comments)
    : m_folder(autostartFolder)
    , m_helperPath(helperPath)
    , m_bus(bus)
    , m_comments(std::move(comments))
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
    const QByteArray entry = desktopEntry(m_helperPath, m_comments ? m_comments() : Comments());
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

QByteArray XdgLoginItems::desktopEntry(const QString &helperPath, const Comments &comments)
{
    for (const QChar c : helperPath) {
        if (c.category() == QChar::Other_Control)
            return {};
    }
    QString entry = QStringLiteral("[Desktop Entry]\n"
                                   "Type=Application\n"
                                   "Name=Brimble\n");
    for (auto comment = comments.cbegin(); comment != comments.cend(); ++comment) {
        const QString key = comment.key().isEmpty() ? QStringLiteral("Comment")
                                                    : QStringLiteral("Comment[%1]").arg(comment.key());
        entry += key + u'=' + escapedValue(comment.value()) + u'\n';
    }
    entry += QStringLiteral("TryExec=%1\n"
                            "Exec=%2\n"
                            "Icon=%3\n"
                            "Terminal=false\n"
                            "NoDisplay=true\n"
                            "X-GNOME-Autostart-enabled=true\n")
                 .arg(escapedValue(helperPath), quotedExecArgument(helperPath), QString(LoginHelper::applicationId));
    return entry.toUtf8();
}
