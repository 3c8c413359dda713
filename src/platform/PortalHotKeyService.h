#pragma once

#include "platform/HotKeyService.h"

#include <QDBusConnection>
#include <QList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QVariantMap>

class QDBusArgument;
class QDBusMessage;
class QDBusPendingCallWatcher;
class QDBusServiceWatcher;

// One entry of the portal's shortcut lists (D-Bus type (sa{sv})): the
// shortcut's id and its properties ("description", "preferred_trigger",
// "trigger_description").
struct PortalShortcut
{
    QString id;
    QVariantMap properties;
};
using PortalShortcutList = QList<PortalShortcut>;
QDBusArgument &operator<<(QDBusArgument &argument, const PortalShortcut &shortcut);
const QDBusArgument &operator>>(const QDBusArgument &argument, PortalShortcut &shortcut);
Q_DECLARE_METATYPE(PortalShortcut)

// Global shortcuts through the desktop portal (org.freedesktop.portal.
// GlobalShortcuts), where Wayland lets no program grab keys itself. The
// portal answers every request later, through a Response signal on a request
// object: registrations are accepted at once and bound in the background,
// and a refusal arrives as a hotKeyRefused event. A portal binds the
// shortcuts of a session once, so every change of the registered set closes
// the session and binds the whole set in a new one. The desktop may bind
// another trigger than the one asked for; boundTriggerDescription() says what
// it bound. A portal that leaves the bus takes the session with it; when it
// comes back, the shortcuts are bound again.
class PortalHotKeyService final : public QObject, public HotKeyService
{
    Q_OBJECT

public:
    static constexpr char serviceName[] = "org.freedesktop.portal.Desktop";
    static constexpr char objectPath[] = "/org/freedesktop/portal/desktop";
    static constexpr char interfaceName[] = "org.freedesktop.portal.GlobalShortcuts";
    static constexpr char requestInterface[] = "org.freedesktop.portal.Request";
    static constexpr char sessionInterface[] = "org.freedesktop.portal.Session";

    explicit PortalHotKeyService(const QDBusConnection &bus, QObject *parent = nullptr);
    ~PortalHotKeyService() override;

    // Tells the portal the application id of this (unsandboxed) program
    // through org.freedesktop.host.portal.Registry, which must come before
    // any other request; portals without that interface ignore it.
    static void registerApplication(const QDBusConnection &bus, const QString &applicationId);

    // Whether a portal on bus offers global shortcuts; asks its interface
    // version, waiting at most timeoutMs.
    static bool portalOffersShortcuts(const QDBusConnection &bus, int timeoutMs = 2000);

    // The combination in the form the portal reads ("CTRL+ALT+k", modifiers
    // then the key's XKB name); empty for a key that cannot be a trigger.
    // Command is Ctrl, option Alt, control Super (LOGO), as on X11.
    static QString triggerText(quint32 keyCode, quint32 modifiers);

    bool isAvailable() const override { return true; }
    qint32 registerEventHotKey(quint32 keyCode, quint32 modifiers, HotKeyId id, Reference *outReference) override;
    qint32 unregisterEventHotKey(Reference reference) override;
    qint32 installEventHandler(EventHandler handler, Reference *outReference) override;

    bool isDesktopBound() const override { return true; }
    QString boundTriggerDescription() const override;
    void setBindingChangedHandler(std::function<void()> handler) override;
    void setShortcutDescription(const QString &description) override;

    // The portal session in use; empty while none is open.
    const QString &sessionHandle() const { return m_session; }

private Q_SLOTS:
    void requestAnswered(const QDBusMessage &message);
    void shortcutActivated(const QDBusMessage &message);
    void shortcutDeactivated(const QDBusMessage &message);
    void shortcutsChanged(const QDBusMessage &message);

private:
    struct Registration
    {
        HotKeyId id;
        QString shortcutId;
        QString trigger;
    };
    enum class Step { none, creatingSession, binding };

    // Brings the portal in line with the registrations, unless a request is
    // still out (its answer calls this again).
    void scheduleSync();
    void sync();
    void closeSession();
    void createSession();
    void bindShortcuts();
    // Sends a request whose answer comes as a Response signal; the call's own
    // reply only names the request object (or fails).
    void sendRequest(Step step, const QString &method, const QVariantList &arguments, const QString &token);
    void requestCallFinished(QDBusPendingCallWatcher *watcher, const QString &token);
    void refuseAll();
    void portalVanished();
    void portalAppeared();
    void setBound(const QMap<QString, QString> &bound);
    void dispatchFor(const QDBusMessage &message, quint32 kind);
    QString nextToken();
    QString requestPathFor(const QString &token) const;

    QDBusConnection m_bus;
    QDBusServiceWatcher *m_watcher = nullptr;
    QMap<Reference, Registration> m_registrations;
    Reference m_lastReference = 0;
    EventHandler m_handler;
    std::function<void()> m_bindingChanged;
    QString m_description;
    QString m_session;
    Step m_step = Step::none;
    // The object paths the pending request may answer on: the one derived
    // from its token and the one the portal returned.
    QStringList m_requestPaths;
    // The token of the pending request: a late reply to an earlier one
    // (from a portal that has since gone) is told apart by it.
    QString m_requestToken;
    bool m_syncScheduled = false;
    bool m_dirty = false;
    quint32 m_tokenCount = 0;
    // Trigger descriptions by shortcut id, as the portal last reported them.
    QMap<QString, QString> m_bound;
};
