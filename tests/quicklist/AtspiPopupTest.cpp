// The popup as a screen reader reads it: over AT-SPI, from another process,
// with the accessibility bus of Debian's at-spi2-core on a private session
// bus and the popup (AtspiPopupChild.cpp) on the virtual display.

#include "store/LocalizedText.h"
#include "store/TextKeys.h"
#include "support/PrivateBus.h"
#include "support/ProcessUntil.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

namespace {

constexpr int generousMs = 30000;
const QString busLauncher = QStringLiteral("/usr/libexec/at-spi-bus-launcher");

// AT-SPI's state numbers (AtspiStateType).
enum class AtspiState : uint { collapsed = 5, expandable = 9, expanded = 10, focusable = 11, focused = 12 };

// One accessible object of another process on the accessibility bus.
struct Accessible
{
    QString service;
    QString path;

    bool operator==(const Accessible &) const = default;
};

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
        processUntil(
            [&] {
                const QDBusMessage reply = session.call(
                    QDBusMessage::createMethodCall(QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                                                   QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress")));
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
        const QDBusMessage reply = call(object, accessibleInterface, QStringLiteral("GetChildren"));
        const auto array = reply.arguments().value(0).value<QDBusArgument>();
        if (reply.type() != QDBusMessage::ReplyMessage)
            return children;
        array.beginArray();
        while (!array.atEnd()) {
            QString service;
            QDBusObjectPath path;
            array.beginStructure();
            array >> service >> path;
            array.endStructure();
            children.append({service, path.path()});
        }
        array.endArray();
        return children;
    }

    QString name(const Accessible &object) const
    {
        return call(object, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"),
                    {accessibleInterface, QStringLiteral("Name")})
            .arguments()
            .value(0)
            .value<QDBusVariant>()
            .variant()
            .toString();
    }

    QString roleName(const Accessible &object) const
    {
        return call(object, accessibleInterface, QStringLiteral("GetRoleName")).arguments().value(0).toString();
    }

    bool hasState(const Accessible &object, AtspiState state) const
    {
        const QDBusMessage reply = call(object, accessibleInterface, QStringLiteral("GetState"));
        const auto words = qdbus_cast<QList<uint>>(reply.arguments().value(0));
        const uint bit = uint(state);
        return words.size() == 2 && (words.at(bit / 32) >> (bit % 32) & 1u);
    }

    QStringList actionNames(const Accessible &object) const
    {
        QStringList names;
        const auto array =
            call(object, actionInterface, QStringLiteral("GetActions")).arguments().value(0).value<QDBusArgument>();
        array.beginArray();
        while (!array.atEnd()) {
            QString name, description, keyBinding;
            array.beginStructure();
            array >> name >> description >> keyBinding;
            array.endStructure();
            names.append(name);
        }
        array.endArray();
        return names;
    }

    bool doAction(const Accessible &object, const QString &name) const
    {
        const qsizetype index = actionNames(object).indexOf(name);
        return index >= 0
               && call(object, actionInterface, QStringLiteral("DoAction"), {int(index)}).arguments().value(0).toBool();
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
        return call({QStringLiteral("org.a11y.atspi.Registry"), QStringLiteral("/org/a11y/atspi/registry")},
                    QStringLiteral("org.a11y.atspi.Registry"), QStringLiteral("RegisterEvent"), {event})
                   .type()
               == QDBusMessage::ReplyMessage;
    }

    inline static const QString accessibleInterface = QStringLiteral("org.a11y.atspi.Accessible");
    inline static const QString actionInterface = QStringLiteral("org.a11y.atspi.Action");
    inline static const QString connectionName = QStringLiteral("accessibility bus");
    QString address;
    std::unique_ptr<QDBusConnection> connection;

private:
    PrivateBus m_session;
    QProcess m_launcher;
};

// The focus events applications send: the objects that got the focus, in
// order, from the "focused" state changes and from the focus events.
class FocusEvents final : public QObject
{
    Q_OBJECT
public:
    explicit FocusEvents(QDBusConnection &connection)
    {
        connection.connect({}, {}, QStringLiteral("org.a11y.atspi.Event.Object"), QStringLiteral("StateChanged"), this,
                           SLOT(stateChanged(QDBusMessage)));
        connection.connect({}, {}, QStringLiteral("org.a11y.atspi.Event.Focus"), QStringLiteral("Focus"), this,
                           SLOT(focused(QDBusMessage)));
    }

    QList<Accessible> stateFocused;
    QList<Accessible> focusEvents;

private Q_SLOTS:
    void stateChanged(const QDBusMessage &message)
    {
        if (message.arguments().value(0).toString() == QLatin1String("focused")
            && message.arguments().value(1).toInt() == 1)
            stateFocused.append({message.service(), message.path()});
    }
    void focused(const QDBusMessage &message) { focusEvents.append({message.service(), message.path()}); }
};

// The popup's process.
class PopupChild
{
public:
    explicit PopupChild(const AccessibilityBus &bus)
    {
        auto environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.sessionAddress());
        environment.insert(QStringLiteral("QT_LINUX_ACCESSIBILITY_ALWAYS_ON"), QStringLiteral("1"));
        m_process.setProcessEnvironment(environment);
        m_process.start(QStringLiteral(BRIMBLE_ATSPI_POPUP_CHILD));
    }
    ~PopupChild()
    {
        m_process.closeWriteChannel();
        if (!m_process.waitForFinished(10000))
            m_process.kill();
        m_process.waitForFinished();
    }

    // Waits for a line the popup writes.
    bool waitFor(const QByteArray &line)
    {
        return processUntil(
            [&] {
                m_output += m_process.readAllStandardOutput();
                return m_output.contains(QByteArray(line + '\n'));
            },
            generousMs);
    }
    void pressDown() { m_process.write("down\n"); }
    QString errors() { return QString::fromLocal8Bit(m_process.readAllStandardError()); }

private:
    QProcess m_process;
    QByteArray m_output;
};

TEST(AtspiPopupTest, AScreenReaderReadsTheListFollowsTheHighlightAndActsOnRows)
{
    if (!QFileInfo(busLauncher).isExecutable())
        GTEST_SKIP() << "no AT-SPI bus launcher (Debian package at-spi2-core)";
    Localization::setTable(loadLanguageTable(QStringLiteral("English")));
    AccessibilityBus bus;
    ASSERT_TRUE(bus.connection && bus.connection->isConnected()) << "no accessibility bus";
    // Applications send only the events someone listens for.
    ASSERT_TRUE(bus.listenFor(QStringLiteral("object:state-changed:focused")));
    ASSERT_TRUE(bus.listenFor(QStringLiteral("focus:")));
    FocusEvents events(*bus.connection);
    PopupChild child(bus);
    ASSERT_TRUE(child.waitFor("shown")) << child.errors().toStdString();

    // The popup: a window with its name, among the registry's applications
    // (a top-level window is a "frame" in AT-SPI's roles).
    const Accessible desktop{QStringLiteral("org.a11y.atspi.Registry"),
                             QStringLiteral("/org/a11y/atspi/accessible/root")};
    std::optional<Accessible> window;
    processUntil(
        [&] {
            window = bus.find(desktop, QStringLiteral("frame"), LocalizedText(Text::favouritesTitle));
            return window.has_value();
        },
        generousMs);
    ASSERT_TRUE(window) << "no popup window on the accessibility bus; " << child.errors().toStdString();
    const std::optional<Accessible> list = bus.find(*window, QStringLiteral("list"));
    ASSERT_TRUE(list);
    EXPECT_TRUE(bus.hasState(*list, AtspiState::focusable));
    const QList<Accessible> rows = bus.children(*list);
    QStringList rowNames;
    for (const Accessible &row : rows) {
        EXPECT_EQ(bus.roleName(row), QStringLiteral("list item"));
        rowNames.append(bus.name(row));
    }
    ASSERT_EQ(rowNames, QStringList({"Apps", "Docs site", "News site", "Colours", "Brand green"}));

    // The highlight moved by the keyboard, from none to the first row and on
    // to the next: each time the new row gets the focus, with its events.
    for (const Accessible &row : rows)
        EXPECT_FALSE(bus.hasState(row, AtspiState::focused)) << "nothing highlighted yet";
    for (const qsizetype highlighted : {0, 1}) {
        const qsizetype stateEventsBefore = events.stateFocused.size();
        const qsizetype focusEventsBefore = events.focusEvents.size();
        child.pressDown();
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

    // A heading is expanded, and collapses and expands by its actions.
    const Accessible heading = rows.at(0);
    EXPECT_TRUE(bus.hasState(heading, AtspiState::expandable));
    EXPECT_TRUE(bus.hasState(heading, AtspiState::expanded));
    EXPECT_FALSE(bus.hasState(heading, AtspiState::collapsed));
    ASSERT_TRUE(bus.doAction(heading, LocalizedText(Text::collapseHeading)));
    EXPECT_TRUE(processUntil([&] { return bus.children(*list).size() == 3; }, generousMs))
        << "the group's items hidden";
    EXPECT_TRUE(bus.hasState(heading, AtspiState::collapsed));
    EXPECT_FALSE(bus.hasState(heading, AtspiState::expanded));
    ASSERT_TRUE(bus.doAction(heading, LocalizedText(Text::expandHeading)));
    EXPECT_TRUE(processUntil([&] { return bus.children(*list).size() == 5; }, generousMs));

    // Open, done from the screen reader, opens the item.
    ASSERT_EQ(bus.name(rows.at(1)), QStringLiteral("Docs site"));
    ASSERT_TRUE(bus.doAction(rows.at(1), LocalizedText(Text::openAction)));
    EXPECT_TRUE(child.waitFor("opened https://docs.example.org"));
}

} // namespace

#include "AtspiPopupTest.moc"
