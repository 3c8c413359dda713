#include "platform/DBusFilePreviewer.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QLoggingCategory>
#include <QUrl>

Q_LOGGING_CATEGORY(lcPreview, "brimble.platform.preview")

namespace {
const QString previewerName = QStringLiteral("org.gnome.NautilusPreviewer");
const QString previewerPath = QStringLiteral("/org/gnome/NautilusPreviewer");
constexpr int busTimeoutMs = 300;
} // namespace

DBusFilePreviewer::DBusFilePreviewer(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
{
}

bool DBusFilePreviewer::serviceAvailable()
{
    QDBusConnection &bus = m_bus;
    if (!bus.isConnected())
        return false;
    // A bus that does not answer at once must not freeze the window.
    const auto ask = [&bus](const QString &method, const QVariantList &arguments) {
        QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                           QStringLiteral("/org/freedesktop/DBus"),
                                                           QStringLiteral("org.freedesktop.DBus"), method);
        call.setArguments(arguments);
        const QDBusMessage reply = bus.call(call, QDBus::Block, busTimeoutMs);
        return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty() ? reply.arguments().first()
                                                                                          : QVariant();
    };
    if (ask(QStringLiteral("NameHasOwner"), {previewerName}).toBool())
        return true;
    return ask(QStringLiteral("ListActivatableNames"), {}).toStringList().contains(previewerName);
}

bool DBusFilePreviewer::toggleFile(const QString &path, const std::function<void()> &refused)
{
    if (path.isEmpty() || !serviceAvailable())
        return false;
    QDBusMessage call = QDBusMessage::createMethodCall(previewerName, previewerPath, previewerName,
                                                       QStringLiteral("ShowFile"));
    // The window to stack on is not needed: the previewer places itself.
    call.setArguments({QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded), 0, true});
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
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
