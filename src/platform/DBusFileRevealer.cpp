#include "platform/DBusFileRevealer.h"

#include "platform/UrlOpener.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QUrl>

Q_LOGGING_CATEGORY(lcReveal, "brimble.platform.reveal")

DBusFileRevealer::DBusFileRevealer(UrlOpener &opener, QObject *parent)
    : QObject(parent)
    , m_opener(opener)
{
}

void DBusFileRevealer::reveal(const QString &path, const Failed &failed)
{
    if (path.isEmpty())
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openContainingFolder(path, failed);
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call.setArguments({QStringList{QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded)}, QString()});
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, path, failed](QDBusPendingCallWatcher *finished) {
        finished->deleteLater();
        const QDBusPendingReply<> reply = *finished;
        if (reply.isError()) {
            qCInfo(lcReveal) << "File manager did not show" << path << reply.error().message();
            openContainingFolder(path, failed);
        }
    });
}

void DBusFileRevealer::openContainingFolder(const QString &path, const Failed &failed)
{
    if (!m_opener.openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath())) && failed)
        failed();
}
