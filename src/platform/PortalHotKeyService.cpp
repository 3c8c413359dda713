#include "platform/PortalHotKeyService.h"

#include "platform/X11HotKeyService.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QLoggingCategory>
#include <QTimer>

Q_LOGGING_CATEGORY(lcPortalHotKeys, "brimble.platform.portal")

namespace {

// XKB names of the keysyms a trigger can end in, other than letters and
// digits, which name themselves.
constexpr std::pair<quint32, const char *> keysymNames[] = {
    {' ', "space"},
    {'\'', "apostrophe"},
    {',', "comma"},
    {'-', "minus"},
    {'.', "period"},
    {'/', "slash"},
    {';', "semicolon"},
    {'=', "equal"},
    {'[', "bracketleft"},
    {'\\', "backslash"},
    {']', "bracketright"},
    {'`', "grave"},
    {0xff08, "BackSpace"},
    {0xff09, "Tab"},
    {0xff0b, "Clear"},
    {0xff0d, "Return"},
    {0xff1b, "Escape"},
    {0xff50, "Home"},
    {0xff51, "Left"},
    {0xff52, "Up"},
    {0xff53, "Right"},
    {0xff54, "Down"},
    {0xff55, "Prior"},
    {0xff56, "Next"},
    {0xff57, "End"},
    {0xff6a, "Help"},
    {0xff8d, "KP_Enter"},
    {0xffaa, "KP_Multiply"},
    {0xffab, "KP_Add"},
    {0xffad, "KP_Subtract"},
    {0xffae, "KP_Decimal"},
    {0xffaf, "KP_Divide"},
    {0xffbd, "KP_Equal"},
    {0xffff, "Delete"},
    {0x1008ff11, "XF86AudioLowerVolume"},
    {0x1008ff12, "XF86AudioMute"},
    {0x1008ff13, "XF86AudioRaiseVolume"},
};
constexpr quint32 xkKeypad0 = 0xffb0;
constexpr quint32 xkF1 = 0xffbe;

QString keysymName(quint32 keysym)
{
    if ((keysym >= 'a' && keysym <= 'z') || (keysym >= '0' && keysym <= '9'))
        return QString(QChar(char16_t(keysym)));
    if (keysym >= xkKeypad0 && keysym <= xkKeypad0 + 9)
        return QStringLiteral("KP_%1").arg(keysym - xkKeypad0);
    if (keysym >= xkF1 && keysym < xkF1 + 20)
        return QStringLiteral("F%1").arg(keysym - xkF1 + 1);
    for (const auto &[known, name] : keysymNames) {
        if (known == keysym)
            return QString::fromLatin1(name);
    }
    return {};
}

QString objectPathText(const QVariant &value)
{
    if (value.canConvert<QDBusObjectPath>() && value.metaType() == QMetaType::fromType<QDBusObjectPath>())
        return value.value<QDBusObjectPath>().path();
    return value.toString();
}

// The shortcut list a signal or a response carries, read whatever form Qt
// handed it over in.
PortalShortcutList shortcutList(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QDBusArgument>())
        return qdbus_cast<PortalShortcutList>(value.value<QDBusArgument>());
    return value.value<PortalShortcutList>();
}

QMap<QString, QString> triggerDescriptions(const PortalShortcutList &shortcuts)
{
    QMap<QString, QString> bound;
    for (const PortalShortcut &shortcut : shortcuts)
        bound.insert(shortcut.id, shortcut.properties.value(QStringLiteral("trigger_description")).toString());
    return bound;
}

} // namespace

QDBusArgument &operator<<(QDBusArgument &argument, const PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, PortalShortcut &shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

PortalHotKeyService::PortalHotKeyService(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
{
    qDBusRegisterMetaType<PortalShortcut>();
    qDBusRegisterMetaType<PortalShortcutList>();

    const QString service = QString::fromLatin1(serviceName);
    // Any request object may answer: the path is matched in the slot.
    m_bus.connect(service, QString(), QString::fromLatin1(requestInterface), QStringLiteral("Response"), this,
                  SLOT(requestAnswered(QDBusMessage)));
    const QString path = QString::fromLatin1(objectPath);
    const QString interface = QString::fromLatin1(interfaceName);
    m_bus.connect(service, path, interface, QStringLiteral("Activated"), this, SLOT(shortcutActivated(QDBusMessage)));
    m_bus.connect(service, path, interface, QStringLiteral("Deactivated"), this,
                  SLOT(shortcutDeactivated(QDBusMessage)));
    m_bus.connect(service, path, interface, QStringLiteral("ShortcutsChanged"), this,
                  SLOT(shortcutsChanged(QDBusMessage)));

    m_watcher = new QDBusServiceWatcher(service, m_bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(m_watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString &, const QString &oldOwner, const QString &newOwner) {
                if (!oldOwner.isEmpty())
                    portalVanished();
                if (!newOwner.isEmpty())
                    portalAppeared();
            });
}

PortalHotKeyService::~PortalHotKeyService()
{
    closeSession();
}

void PortalHotKeyService::registerApplication(const QDBusConnection &bus, const QString &applicationId)
{
    if (applicationId.isEmpty())
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(serviceName), QString::fromLatin1(objectPath),
        QStringLiteral("org.freedesktop.host.portal.Registry"), QStringLiteral("Register"));
    call << applicationId << QVariantMap();
    // Messages on one connection arrive in order: no need to wait.
    bus.call(call, QDBus::NoBlock);
}

bool PortalHotKeyService::portalOffersShortcuts(const QDBusConnection &bus, int timeoutMs)
{
    QDBusMessage get = QDBusMessage::createMethodCall(QString::fromLatin1(serviceName), QString::fromLatin1(objectPath),
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << QString::fromLatin1(interfaceName) << QStringLiteral("version");
    const QDBusMessage reply = bus.call(get, QDBus::Block, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        qCInfo(lcPortalHotKeys) << "No global shortcuts portal:" << reply.errorMessage();
        return false;
    }
    return reply.arguments().constFirst().value<QDBusVariant>().variant().toUInt() >= 1;
}

QString PortalHotKeyService::triggerText(quint32 keyCode, quint32 modifiers)
{
    const QString key = keysymName(X11HotKeyService::keysymForKeyCode(keyCode));
    if (key.isEmpty())
        return {};
    QString trigger;
    if (modifiers & HotKeyService::shiftKey)
        trigger += QStringLiteral("SHIFT+");
    if (modifiers & HotKeyService::commandKey)
        trigger += QStringLiteral("CTRL+");
    if (modifiers & HotKeyService::optionKey)
        trigger += QStringLiteral("ALT+");
    if (modifiers & HotKeyService::controlKey)
        trigger += QStringLiteral("LOGO+");
    return trigger + key;
}

qint32 PortalHotKeyService::registerEventHotKey(quint32 keyCode, quint32 modifiers, HotKeyId id,
                                                Reference *outReference)
{
    const QString trigger = triggerText(keyCode, modifiers);
    if (trigger.isEmpty())
        return eventHotKeyInvalidErr;
    for (const Registration &existing : std::as_const(m_registrations)) {
        if (existing.trigger == trigger)
            return eventHotKeyExistsErr;
    }
    *outReference = ++m_lastReference;
    // The id follows the combination: a desktop keeps the trigger it once
    // bound for an id and would ignore a newly recorded combination.
    m_registrations.insert(*outReference, {id, QStringLiteral("brimble-") + trigger, trigger});
    scheduleSync();
    return noErr;
}

qint32 PortalHotKeyService::unregisterEventHotKey(Reference reference)
{
    if (!m_registrations.remove(reference))
        return eventHotKeyInvalidErr;
    scheduleSync();
    return noErr;
}

qint32 PortalHotKeyService::installEventHandler(EventHandler handler, Reference *outReference)
{
    m_handler = std::move(handler);
    *outReference = ++m_lastReference;
    return noErr;
}

QString PortalHotKeyService::boundTriggerDescription() const
{
    QStringList triggers;
    for (const Registration &registration : m_registrations) {
        const QString bound = m_bound.value(registration.shortcutId);
        if (!bound.isEmpty())
            triggers.append(bound);
    }
    return triggers.join(QStringLiteral(", "));
}

void PortalHotKeyService::setBindingChangedHandler(std::function<void()> handler)
{
    m_bindingChanged = std::move(handler);
}

void PortalHotKeyService::setShortcutDescription(const QString &description)
{
    m_description = description;
}

void PortalHotKeyService::scheduleSync()
{
    m_dirty = true;
    if (m_syncScheduled)
        return;
    // Unregistering the old combination and registering the new one come
    // together; one new session binds the result.
    m_syncScheduled = true;
    QTimer::singleShot(0, this, [this] {
        m_syncScheduled = false;
        sync();
    });
}

void PortalHotKeyService::sync()
{
    if (m_step != Step::none || !m_dirty)
        return;
    m_dirty = false;
    closeSession();
    setBound({});
    if (!m_registrations.isEmpty())
        createSession();
}

void PortalHotKeyService::closeSession()
{
    if (m_session.isEmpty())
        return;
    const QDBusMessage close = QDBusMessage::createMethodCall(
        QString::fromLatin1(serviceName), m_session, QString::fromLatin1(sessionInterface), QStringLiteral("Close"));
    m_bus.call(close, QDBus::NoBlock);
    m_session.clear();
}

void PortalHotKeyService::createSession()
{
    const QString token = nextToken();
    const QVariantMap options{{QStringLiteral("handle_token"), token},
                              {QStringLiteral("session_handle_token"), QString(QStringLiteral("session_") + token)}};
    sendRequest(Step::creatingSession, QStringLiteral("CreateSession"), {options}, token);
}

void PortalHotKeyService::bindShortcuts()
{
    PortalShortcutList shortcuts;
    for (const Registration &registration : std::as_const(m_registrations)) {
        const QString description = m_description.isEmpty() ? registration.trigger : m_description;
        shortcuts.append(
            {registration.shortcutId, QVariantMap{{QStringLiteral("description"), description},
                                                  {QStringLiteral("preferred_trigger"), registration.trigger}}});
    }
    const QString token = nextToken();
    const QVariantMap options{{QStringLiteral("handle_token"), token}};
    sendRequest(Step::binding, QStringLiteral("BindShortcuts"),
                {QVariant::fromValue(QDBusObjectPath(m_session)), QVariant::fromValue(shortcuts), QString(), options},
                token);
}

void PortalHotKeyService::sendRequest(Step step, const QString &method, const QVariantList &arguments,
                                      const QString &token)
{
    m_step = step;
    m_requestToken = token;
    m_requestPaths = {requestPathFor(token)};
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(serviceName), QString::fromLatin1(objectPath), QString::fromLatin1(interfaceName), method);
    call.setArguments(arguments);
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, token](QDBusPendingCallWatcher *finished) { requestCallFinished(finished, token); });
}

void PortalHotKeyService::requestCallFinished(QDBusPendingCallWatcher *watcher, const QString &token)
{
    watcher->deleteLater();
    if (m_step == Step::none || token != m_requestToken)
        return;
    const QDBusPendingReply<QDBusObjectPath> reply = *watcher;
    if (reply.isValid()) {
        // Portals before version 0.9 chose the path themselves.
        const QString path = reply.value().path();
        if (!m_requestPaths.contains(path))
            m_requestPaths.append(path);
        return;
    }
    m_step = Step::none;
    m_requestPaths.clear();
    // A portal that was not on the bus when the call went out binds the
    // shortcuts when it comes back (or already came back meanwhile).
    const QDBusError::ErrorType error = reply.error().type();
    if (error == QDBusError::ServiceUnknown) {
        m_dirty = true;
        if (m_bus.interface() && m_bus.interface()->isServiceRegistered(QString::fromLatin1(serviceName)))
            scheduleSync();
        return;
    }
    qCWarning(lcPortalHotKeys) << "The portal failed the request:" << reply.error().message();
    refuseAll();
}

void PortalHotKeyService::requestAnswered(const QDBusMessage &message)
{
    if (m_step == Step::none || !m_requestPaths.contains(message.path()))
        return;
    const QList<QVariant> arguments = message.arguments();
    const uint response = arguments.value(0, 2u).toUInt();
    const QVariantMap results = qdbus_cast<QVariantMap>(arguments.value(1));
    const Step step = m_step;
    m_step = Step::none;
    m_requestPaths.clear();

    if (response != 0) {
        // 1 is the user's cancel, 2 any other end; either way nothing is bound.
        qCInfo(lcPortalHotKeys) << "The portal refused the shortcut, response" << response;
        // A change made meanwhile gets its own try.
        if (!m_dirty)
            refuseAll();
        closeSession();
        sync();
        return;
    }
    if (step == Step::creatingSession) {
        m_session = objectPathText(results.value(QStringLiteral("session_handle")));
        if (m_session.isEmpty()) {
            qCWarning(lcPortalHotKeys) << "The portal created a session without naming it";
            refuseAll();
            return;
        }
        if (m_dirty) {
            sync();
            return;
        }
        bindShortcuts();
        return;
    }
    setBound(triggerDescriptions(shortcutList(results.value(QStringLiteral("shortcuts")))));
    sync();
}

void PortalHotKeyService::refuseAll()
{
    const QList<Registration> refused = m_registrations.values();
    for (const Registration &registration : refused) {
        if (!m_handler)
            break;
        const Event event{hotKeyRefused, registration.id, noErr};
        // Copied: the handler may unregister and replace itself.
        const EventHandler handler = m_handler;
        handler(&event);
    }
}

void PortalHotKeyService::shortcutActivated(const QDBusMessage &message)
{
    dispatchFor(message, hotKeyPressed);
}

void PortalHotKeyService::shortcutDeactivated(const QDBusMessage &message)
{
    dispatchFor(message, hotKeyReleased);
}

void PortalHotKeyService::dispatchFor(const QDBusMessage &message, quint32 kind)
{
    const QList<QVariant> arguments = message.arguments();
    if (m_session.isEmpty() || objectPathText(arguments.value(0)) != m_session || !m_handler)
        return;
    const QString shortcutId = arguments.value(1).toString();
    for (const Registration &registration : std::as_const(m_registrations)) {
        if (registration.shortcutId != shortcutId)
            continue;
        const Event event{kind, registration.id, noErr};
        const EventHandler handler = m_handler;
        handler(&event);
        return;
    }
}

void PortalHotKeyService::shortcutsChanged(const QDBusMessage &message)
{
    const QList<QVariant> arguments = message.arguments();
    if (m_session.isEmpty() || objectPathText(arguments.value(0)) != m_session)
        return;
    setBound(triggerDescriptions(shortcutList(arguments.value(1))));
}

void PortalHotKeyService::portalVanished()
{
    qCInfo(lcPortalHotKeys) << "The desktop portal left the bus; shortcuts wait for its return";
    // The session and any request went with the portal.
    m_session.clear();
    m_step = Step::none;
    m_requestPaths.clear();
    m_dirty = true;
    setBound({});
}

void PortalHotKeyService::portalAppeared()
{
    m_dirty = true;
    scheduleSync();
}

void PortalHotKeyService::setBound(const QMap<QString, QString> &bound)
{
    if (bound == m_bound)
        return;
    m_bound = bound;
    if (const std::function<void()> changed = m_bindingChanged)
        changed();
}

QString PortalHotKeyService::nextToken()
{
    // Unique per connection is enough: the portal files requests under the
    // sender's bus name.
    return QStringLiteral("brimble_%1").arg(++m_tokenCount);
}

QString PortalHotKeyService::requestPathFor(const QString &token) const
{
    QString sender = m_bus.baseService();
    sender.remove(0, sender.startsWith(u':') ? 1 : 0).replace(u'.', u'_');
    return QString::fromLatin1(objectPath) + QStringLiteral("/request/") + sender + u'/' + token;
}
