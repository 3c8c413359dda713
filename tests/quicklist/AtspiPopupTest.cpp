// The popup as a screen reader reads it: over AT-SPI, from another process,
// with the accessibility bus of Debian's at-spi2-core on a private session
// bus and the popup (PopupChild.cpp) on the virtual display.

#include "PopupClient.h"
#include "store/LocalizedText.h"
#include "store/TextKeys.h"
#include "support/PrivateBus.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

constexpr int generousMs = PopupClient::generousMs;
const QString busLauncher = QStringLiteral("/usr/libexec/at-spi-bus-launcher");
const QString accessibleInterface = QStringLiteral("org.a11y.atspi.Accessible");

// AT-SPI's state numbers (AtspiStateType).
enum class AtspiState : uint { collapsed = 5, expanded = 10, focused = 12 };

// One accessible object of another process on the accessibility bus.
struct Accessible
{
    QString service;
    QString path;
    bool operator==(const Accessible &) const = default;
};

// The structures of the array a reply holds, as tuples of their fields.
template<typename... Fields>
QList<std::tuple<Fields...>> structuresOf(const QDBusMessage &reply)
{
    QList<std::tuple<Fields...>> structures;
    if (reply.type() != QDBusMessage::ReplyMessage)
        return structures;
    const auto array = reply.arguments().value(0).value<QDBusArgument>();
    array.beginArray();
    while (!array.atEnd()) {
        std::tuple<Fields...> fields;
        array.beginStructure();
        std::apply([&](auto &...field) { ((array >> field), ...); }, fields);
        array.endStructure();
        structures.append(fields);
    }
    array.endArray();
    return structures;
}

// The accessibility bus of a private session: the bus launcher answers
// org.a11y.Bus, its bus activates the registry.
class AccessibilityBus
{
public:
    AccessibilityBus()
    {
        auto environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_session.address);
        m_launcher.setProcessEnvironment(environment);
        m_launcher.start(busLauncher, {QStringLiteral("--launch-immediately")});
        const QDBusConnection session = m_session.client();
        QString address;
        processUntil(
            [&] {
                const QDBusMessage reply = session.call(
                    QDBusMessage::createMethodCall("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress"));
                if (reply.type() == QDBusMessage::ReplyMessage)
                    address = reply.arguments().value(0).toString();
                return !address.isEmpty();
            },
            generousMs);
        if (!address.isEmpty())
            connection = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, connectionName));
    }
    ~AccessibilityBus()
    {
        connection.reset();
        QDBusConnection::disconnectFromBus(connectionName);
        // The launcher ends its bus, and with it the registry.
        m_launcher.terminate();
        if (!m_launcher.waitForFinished(10000))
            m_launcher.kill();
        m_launcher.waitForFinished();
    }

    QString sessionAddress() const { return m_session.address; }

    QDBusMessage call(const Accessible &object, const QString &interface, const QString &method,
                      const QVariantList &arguments = {}) const
    {
        QDBusMessage message = QDBusMessage::createMethodCall(object.service, object.path, interface, method);
        message.setArguments(arguments);
        return connection->call(message, QDBus::Block, generousMs);
    }
    QList<Accessible> children(const Accessible &object) const
    {
        QList<Accessible> children;
        for (const auto &[service, path] :
             structuresOf<QString, QDBusObjectPath>(call(object, accessibleInterface, "GetChildren")))
            children.append({service, path.path()});
        return children;
    }
    QString name(const Accessible &object) const
    {
        const QDBusMessage reply = call(object, "org.freedesktop.DBus.Properties", "Get",
                                        {accessibleInterface, QStringLiteral("Name")});
        return reply.arguments().value(0).value<QDBusVariant>().variant().toString();
    }
    QString roleName(const Accessible &object) const
    {
        return call(object, accessibleInterface, "GetRoleName").arguments().value(0).toString();
    }
    bool hasState(const Accessible &object, AtspiState state) const
    {
        const auto words = qdbus_cast<QList<uint>>(call(object, accessibleInterface, "GetState").arguments().value(0));
        const uint bit = uint(state);
        return words.size() == 2 && (words.at(bit / 32) >> (bit % 32) & 1u);
    }
    // Does the action of that name (name, description, key binding).
    bool doAction(const Accessible &object, const QString &name) const
    {
        const QString actions = QStringLiteral("org.a11y.atspi.Action");
        const auto list = structuresOf<QString, QString, QString>(call(object, actions, "GetActions"));
        const auto found = std::find_if(list.begin(), list.end(),
                                        [&](const auto &a) { return std::get<0>(a) == name; });
        return found != list.end()
               && call(object, actions, "DoAction", {int(found - list.begin())}).arguments().value(0).toBool();
    }
    // The first object under root, root included, that has role and name.
    std::optional<Accessible> find(const Accessible &root, const QString &role, const QString &name = {}) const
    {
        for (QList<Accessible> nodes{root}; !nodes.isEmpty();) {
            const Accessible node = nodes.takeFirst();
            if (roleName(node) == role && (name.isEmpty() || this->name(node) == name))
                return node;
            nodes.append(children(node));
        }
        return std::nullopt;
    }
    // Asks the registry to have applications send these events.
    bool listenFor(const QString &event) const
    {
        return call({"org.a11y.atspi.Registry", "/org/a11y/atspi/registry"}, "org.a11y.atspi.Registry", "RegisterEvent",
                    {event})
                   .type()
               == QDBusMessage::ReplyMessage;
    }

    inline static const QString connectionName = QStringLiteral("accessibility bus");
    std::unique_ptr<QDBusConnection> connection;

private:
    PrivateBus m_session;
    QProcess m_launcher;
};

// The objects that got the focus, in order: from the "focused" state
// changes and from the focus events applications send.
class FocusEvents final : public QObject
{
    Q_OBJECT
public:
    explicit FocusEvents(QDBusConnection &connection)
    {
        connection.connect({}, {}, "org.a11y.atspi.Event.Object", "StateChanged", this,
                           SLOT(stateChanged(QDBusMessage)));
        connection.connect({}, {}, "org.a11y.atspi.Event.Focus", "Focus", this, SLOT(focused(QDBusMessage)));
    }

    QList<Accessible> stateFocused;
    QList<Accessible> focusEvents;

private Q_SLOTS:
    void stateChanged(const QDBusMessage &message)
    {
        if (message.arguments().value(0).toString() == "focused" && message.arguments().value(1).toInt() == 1)
            stateFocused.append({message.service(), message.path()});
    }
    void focused(const QDBusMessage &message) { focusEvents.append({message.service(), message.path()}); }
};

TEST(AtspiPopupTest, AScreenReaderReadsTheListFollowsTheHighlightAndActsOnRows)
{
    if (!QFileInfo(busLauncher).isExecutable())
        GTEST_SKIP() << "no AT-SPI bus launcher (Debian package at-spi2-core)";
    Localization::setTable(loadLanguageTable(QStringLiteral("English")));
    AccessibilityBus bus;
    ASSERT_TRUE(bus.connection && bus.connection->isConnected()) << "no accessibility bus";
    // Applications send only the events someone listens for.
    ASSERT_TRUE(bus.listenFor("object:state-changed:focused") && bus.listenFor("focus:"));
    FocusEvents events(*bus.connection);
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.sessionAddress());
    environment.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
    PopupClient child(environment);
    child.send("show");
    ASSERT_FALSE(child.waitFor("shown").empty()) << child.errors().toStdString();

    // The popup: a window with its name, among the registry's applications
    // (a top-level window is a "frame" in AT-SPI's roles).
    std::optional<Accessible> window;
    processUntil(
        [&] {
            window = bus.find({"org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root"}, "frame",
                              LocalizedText(Text::favouritesTitle));
            return window.has_value();
        },
        generousMs);
    ASSERT_TRUE(window) << "no popup window on the accessibility bus; " << child.errors().toStdString();
    const std::optional<Accessible> list = bus.find(*window, "list");
    ASSERT_TRUE(list);
    const QList<Accessible> rows = bus.children(*list);
    QStringList rowNames;
    for (const Accessible &row : rows)
        rowNames.append(bus.roleName(row) + ": " + bus.name(row));
    ASSERT_EQ(rowNames, QStringList({"list item: Apps", "list item: Docs site", "list item: News site",
                                     "list item: Colours", "list item: Brand green"}));

    // The highlight moved by the keyboard, from none to the first row and on
    // to the next: each time the new row gets the focus, with its events.
    for (const qsizetype highlighted : {0, 1}) {
        const qsizetype stateEventsBefore = events.stateFocused.size();
        const qsizetype focusEventsBefore = events.focusEvents.size();
        child.send("down");
        const Accessible &row = rows.at(highlighted);
        EXPECT_TRUE(processUntil(
            [&] {
                return events.stateFocused.indexOf(row, stateEventsBefore) >= 0
                       && events.focusEvents.indexOf(row, focusEventsBefore) >= 0;
            },
            generousMs))
            << "no focus event for row " << highlighted;
        EXPECT_TRUE(bus.hasState(row, AtspiState::focused));
    }
    EXPECT_FALSE(bus.hasState(rows.at(0), AtspiState::focused));

    // Open, done from the screen reader, opens the item.
    ASSERT_TRUE(bus.doAction(rows.at(1), LocalizedText(Text::openAction)));
    EXPECT_FALSE(child.waitFor("opened https://docs.example.org").empty());

    // A heading is expanded, and collapses by its action.
    const Accessible heading = rows.at(0);
    ASSERT_TRUE(bus.doAction(heading, LocalizedText(Text::collapseHeading)));
    EXPECT_TRUE(processUntil([&] { return bus.children(*list).size() == 3; }, generousMs))
        << "the group's items hidden";
    EXPECT_TRUE(bus.hasState(heading, AtspiState::collapsed) && !bus.hasState(heading, AtspiState::expanded));
}

} // namespace

#include "AtspiPopupTest.moc"
