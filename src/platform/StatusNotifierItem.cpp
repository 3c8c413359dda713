#include "platform/StatusNotifierItem.h"

#include "platform/DBusMenuExporter.h"

#include <QCoreApplication>
#include <QCursor>
#include <QDBusAbstractAdaptor>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QMenu>
#include <QScreen>
#include <QTimer>

Q_LOGGING_CATEGORY(lcStatusNotifier, "brimble.platform.sni")

namespace {

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString watcherPath = QStringLiteral("/StatusNotifierWatcher");
const QString watcherInterface = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString itemPath = QStringLiteral("/StatusNotifierItem");
const QString menuPath = QStringLiteral("/MenuBar");

// Launch waits this long at most for a watcher that is there but slow.
constexpr int launchQueryTimeoutMs = 500;

int itemsMade = 0;

QDBusMessage hostQuery()
{
    QDBusMessage query = QDBusMessage::createMethodCall(
        watcherService, watcherPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    query << watcherInterface << QStringLiteral("IsStatusNotifierHostRegistered");
    // A watcher is the panel's to start, never ours.
    query.setAutoStartService(false);
    return query;
}

// Hosts give positions in device pixels; Qt places windows in its own
// scaled coordinates, in which each screen keeps its native top-left corner.
QPoint logicalPosition(const QPoint &native)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (const QScreen *screen : screens) {
        const QRect logical = screen->geometry();
        const qreal ratio = screen->devicePixelRatio();
        if (QRect(logical.topLeft(), logical.size() * ratio).contains(native))
            return logical.topLeft() + (native - logical.topLeft()) / ratio;
    }
    return native;
}

} // namespace

// The org.kde.StatusNotifierItem interface over the item.
class StatusNotifierItemAdaptor final : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconName READ iconName)
    Q_PROPERTY(QString IconThemePath READ iconThemePath)
    Q_PROPERTY(QList<DBusImage> IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ noName)
    Q_PROPERTY(QList<DBusImage> OverlayIconPixmap READ noImages)
    Q_PROPERTY(QString AttentionIconName READ noName)
    Q_PROPERTY(QList<DBusImage> AttentionIconPixmap READ noImages)
    Q_PROPERTY(QString AttentionMovieName READ noName)
    Q_PROPERTY(DBusToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ menu)

public:
    explicit StatusNotifierItemAdaptor(StatusNotifierItem *item)
        : QDBusAbstractAdaptor(item)
        , m_item(*item)
    {
    }

    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const { return QCoreApplication::applicationName(); }
    QString title() const { return QGuiApplication::applicationDisplayName(); }
    QString status() const { return QStringLiteral("Active"); }
    int windowId() const { return 0; }
    QString noName() const { return {}; }
    // Hosts take the theme's icon where they find it, else the pixmaps,
    // which Brimble draws itself.
    QString iconName() const { return m_item.m_themeIcon.iconName; }
    QString iconThemePath() const { return m_item.m_themeIcon.themePath; }
    QList<DBusImage> iconPixmap() const { return m_item.m_images; }
    QList<DBusImage> noImages() const { return {}; }
    DBusToolTip toolTip() const { return {QString(), {}, m_item.m_toolTip, QString()}; }
    // A click activates; the menu is for the other button.
    bool itemIsMenu() const { return false; }
    QDBusObjectPath menu() const { return QDBusObjectPath(menuPath); }

public Q_SLOTS:
    void Activate(int x, int y) { m_item.activate(x, y); }
    void SecondaryActivate(int, int) { }
    void ContextMenu(int x, int y) { m_item.showContextMenu(x, y); }
    void Scroll(int, const QString &) { }

Q_SIGNALS:
    void NewTitle();
    void NewIcon();
    void NewAttentionIcon();
    void NewOverlayIcon();
    void NewToolTip();
    void NewStatus(const QString &status);

private:
    StatusNotifierItem &m_item;
};

StatusNotifierItem::StatusNotifierItem(const QDBusConnection &bus, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
    , m_serviceName(
          QStringLiteral("org.kde.StatusNotifierItem-%1-%2").arg(QCoreApplication::applicationPid()).arg(++itemsMade))
{
    registerDBusTrayTypes();
    m_adaptor = new StatusNotifierItemAdaptor(this);
    m_menuExporter = new DBusMenuExporter(m_bus, menuPath, this);
    if (!m_bus.isConnected()) {
        qCInfo(lcStatusNotifier) << "No session bus: no StatusNotifierItem tray";
        return;
    }
    auto *watcher = new QDBusServiceWatcher(watcherService, m_bus, QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString &, const QString &oldOwner, const QString &newOwner) {
                watcherOwnerChanged(oldOwner, newOwner);
            });
    m_bus.connect(watcherService, watcherPath, watcherInterface, QStringLiteral("StatusNotifierHostRegistered"), this,
                  SLOT(hostRegistered()));
    // Another host may still be there: the watcher knows.
    m_bus.connect(watcherService, watcherPath, watcherInterface, QStringLiteral("StatusNotifierHostUnregistered"), this,
                  SLOT(askWhetherAHostIsRegistered()));
    // Launch waits for this one answer: whether a tray is there decides
    // whether the manager window opens.
    const QDBusMessage answer = m_bus.call(hostQuery(), QDBus::Block, launchQueryTimeoutMs);
    hostPresenceRead(answer, m_watcherGeneration);
    // A watcher too slow for launch counts as no tray for now, and is asked again without hurry.
    if (answer.errorName() == u"org.freedesktop.DBus.Error.NoReply")
        askWhetherAHostIsRegistered();
}

StatusNotifierItem::~StatusNotifierItem()
{
    if (!m_exported)
        return;
    m_bus.unregisterService(m_serviceName);
    m_bus.unregisterObject(itemPath);
}

bool StatusNotifierItem::isAvailable() const
{
    return m_watcherPresent && m_hostPresent;
}

QRect StatusNotifierItem::geometry() const
{
    return m_activationPoint;
}

void StatusNotifierItem::show(const QIcon &icon, const QString &toolTip, QMenu *menu)
{
    m_images = dbusImages(icon);
    m_toolTip = toolTip;
    m_menu = menu;
    m_menuExporter->setMenu(menu);
    if (m_shown) {
        Q_EMIT m_adaptor->NewIcon();
        Q_EMIT m_adaptor->NewToolTip();
        return;
    }
    m_shown = true;
    m_waitingForTray = !isAvailable();
    if (m_bus.isConnected() && exportItem())
        registerWithWatcher();
}

void StatusNotifierItem::setThemeIcon(const TrayIconTheme &theme)
{
    m_themeIcon = theme;
    if (m_shown)
        Q_EMIT m_adaptor->NewIcon();
}

bool StatusNotifierItem::exportItem()
{
    if (!m_bus.registerObject(itemPath, this, QDBusConnection::ExportAdaptors)) {
        qCWarning(lcStatusNotifier) << "Cannot export the tray icon at" << itemPath;
        return false;
    }
    if (!m_bus.registerService(m_serviceName)) {
        qCWarning(lcStatusNotifier) << "Cannot take the bus name" << m_serviceName << m_bus.lastError().message();
        m_bus.unregisterObject(itemPath);
        return false;
    }
    m_exported = true;
    return true;
}

void StatusNotifierItem::watcherOwnerChanged(const QString &oldOwner, const QString &newOwner)
{
    ++m_watcherGeneration;
    if (!oldOwner.isEmpty())
        qCInfo(lcStatusNotifier) << "The StatusNotifierWatcher left the bus";
    setState(!newOwner.isEmpty(), false, false);
    if (newOwner.isEmpty())
        return;
    qCInfo(lcStatusNotifier) << "A StatusNotifierWatcher appeared";
    askWhetherAHostIsRegistered();
    registerWithWatcher();
}

void StatusNotifierItem::registerWithWatcher()
{
    if (!m_exported || !m_watcherPresent)
        return;
    QDBusMessage call = QDBusMessage::createMethodCall(watcherService, watcherPath, watcherInterface,
                                                       QStringLiteral("RegisterStatusNotifierItem"));
    call << m_serviceName;
    call.setAutoStartService(false);
    auto *pending = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, generation = m_watcherGeneration](QDBusPendingCallWatcher *answered) {
                answered->deleteLater();
                if (generation != m_watcherGeneration)
                    return;
                const QDBusMessage reply = answered->reply();
                if (reply.type() == QDBusMessage::ErrorMessage) {
                    qCWarning(lcStatusNotifier)
                        << "The StatusNotifierWatcher refused the tray icon:" << reply.errorMessage();
                    return;
                }
                qCInfo(lcStatusNotifier) << "Tray icon registered as" << m_serviceName;
                setState(m_watcherPresent, m_hostPresent, true);
            });
}

void StatusNotifierItem::hostRegistered()
{
    setState(true, true, m_registered);
}

void StatusNotifierItem::askWhetherAHostIsRegistered()
{
    auto *pending = new QDBusPendingCallWatcher(m_bus.asyncCall(hostQuery()), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
            [this, generation = m_watcherGeneration](QDBusPendingCallWatcher *answered) {
                answered->deleteLater();
                hostPresenceRead(answered->reply(), generation);
            });
}

void StatusNotifierItem::hostPresenceRead(const QDBusMessage &reply, int generation)
{
    if (generation != m_watcherGeneration)
        return;
    if (reply.type() != QDBusMessage::ErrorMessage) {
        const QVariant answer = reply.arguments().value(0).value<QDBusVariant>().variant();
        setState(true, answer.toBool(), m_registered);
        return;
    }
    const QString error = reply.errorName();
    if (error == u"org.freedesktop.DBus.Error.ServiceUnknown"
        || error == u"org.freedesktop.DBus.Error.NameHasNoOwner") {
        setState(false, false, false);
        return;
    }
    if (error == u"org.freedesktop.DBus.Error.NoReply") {
        qCInfo(lcStatusNotifier) << "The StatusNotifierWatcher does not answer:" << reply.errorMessage();
        setState(true, false, m_registered);
        return;
    }
    // A watcher that does not say: watchers come with their panel's host.
    qCInfo(lcStatusNotifier) << "The StatusNotifierWatcher does not say whether a host is there:"
                             << reply.errorMessage();
    setState(true, true, m_registered);
}

void StatusNotifierItem::setState(bool watcherPresent, bool hostPresent, bool registered)
{
    if (watcherPresent == m_watcherPresent && hostPresent == m_hostPresent && registered == m_registered)
        return;
    m_watcherPresent = watcherPresent;
    m_hostPresent = hostPresent;
    m_registered = registered;
    Q_EMIT trayStateChanged();
    if (m_waitingForTray && isInTray()) {
        m_waitingForTray = false;
        appeared();
    }
}

void StatusNotifierItem::activate(int x, int y)
{
    // Hosts that do not know where the click was send 0, 0.
    if (x != 0 || y != 0)
        m_activationPoint = QRect(logicalPosition(QPoint(x, y)), QSize(1, 1));
    // After the reply, so that the host is not kept waiting while the popup opens.
    QTimer::singleShot(0, this, [this] { triggered(); });
}

void StatusNotifierItem::showContextMenu(int x, int y)
{
    if (!m_menu)
        return;
    const QPoint at = x != 0 || y != 0 ? logicalPosition(QPoint(x, y)) : QCursor::pos();
    QTimer::singleShot(0, m_menu.data(), [menu = m_menu.data(), at] { menu->popup(at); });
}

#include "StatusNotifierItem.moc"
