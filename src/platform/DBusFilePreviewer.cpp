#include "platform/DBusFilePreviewer.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusReply>
#include <QLoggingCategory>
#include <QUrl>

Q_LOGGING_CATEGORY(lcPreview, "brimble.platform.preview")

namespace {
const QString previewerName = QStringLiteral("org.gnome.NautilusPreviewer");
const QString previewerPath = QStringLiteral("/org/gnome/NautilusPreviewer");
} // namespace

DBusFilePreviewer::DBusFilePreviewer(QObject *parent)
    : QObject(parent)
{
}

bool DBusFilePreviewer::serviceAvailable() const
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    if (bus.interface()->isServiceRegistered(previewerName))
        return true;
    const QDBusReply<QStringList> activatable = bus.interface()->call(QStringLiteral("ListActivatableNames"));
    return activatable.isValid() && activatable.value().contains(previewerName);
}

bool DBusFilePreviewer::toggleFile(const QString &path, const std::function<void()> &refused)
{
    if (path.isEmpty() || !serviceAvailable())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(previewerName, previewerPath, previewerName,
                                                      QStringLiteral("ShowFile"));
    // The window to stack on is not needed: the previewer places itself.
    call.setArguments({QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded), 0, true});
    auto *watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [path, refused](QDBusPendingCallWatcher *finished) {
        finished->deleteLater();
        const QDBusPendingReply<> reply = *finished;
        if (reply.isError()) {
            qCInfo(lcPreview) << "The previewer did not show" << path << reply.error().message();
            if (refused)
                refused();
        }
    });
    return true;
}
