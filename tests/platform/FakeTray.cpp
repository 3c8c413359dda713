// A stand-in for a desktop's tray, run by the tests on a private bus:
// fake_tray <bus address> [--without-host]. It is the
// StatusNotifierWatcher and, unless told otherwise, a host that shows the
// items registered with it, reading them as a panel does. It writes one line on standard output
// for what it sees:
//   ready | registered <service> | item <property>=<value>... | layout <revision> <entries>
//   | signal <the item's or menu's signal> | error <D-Bus error name>
// where entries are the menu's items joined by '|': a label, "-" for a
// separator, "(off)" after a disabled one.
// The tests steer it by calling these methods (one text argument) on its
// watcher object, interface org.brimble.Test:
//   activate "x y" / contextmenu "x y"   the item's Activate / ContextMenu
//   layout                               read the whole menu
//   click <label> / event <id>           the menu's "clicked" event
//   host / nohost                        a host registers / leaves

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>

#include <cstdio>
#include <utility>

namespace {

constexpr char watcherPath[] = "/StatusNotifierWatcher";
const QString itemPath = QStringLiteral("/StatusNotifierItem");
const QString watcherInterface = QStringLiteral("org.kde.StatusNotifierWatcher");
const QString itemInterface = QStringLiteral("org.kde.StatusNotifierItem");
const QString menuInterface = QStringLiteral("com.canonical.dbusmenu");

void say(const QString &line)
{
    std::puts(qPrintable(line));
    std::fflush(stdout);
}

struct MenuEntry
{
    int id = 0;
    QVariantMap properties;
    QList<MenuEntry> children;
};

// Read field by field, the way a host written in another language would.
MenuEntry readLayout(const QDBusArgument &argument)
{
    MenuEntry entry;
    argument.beginStructure();
    argument >> entry.id >> entry.properties;
    argument.beginArray();
    while (!argument.atEnd()) {
        QDBusVariant child;
        argument >> child;
        entry.children.append(readLayout(child.variant().value<QDBusArgument>()));
    }
    argument.endArray();
    argument.endStructure();
    return entry;
}

QStringList readImages(const QDBusArgument &argument, QByteArray *firstPixel)
{
    QStringList sizes;
    argument.beginArray();
    while (!argument.atEnd()) {
        int width = 0, height = 0;
        QByteArray pixels;
        argument.beginStructure();
        argument >> width >> height >> pixels;
        argument.endStructure();
        if (pixels.size() != qsizetype(width) * height * 4)
            sizes.append(QStringLiteral("bad"));
        sizes.append(QStringLiteral("%1x%2").arg(width).arg(height));
        if (firstPixel->isEmpty())
            *firstPixel = pixels.left(4).toHex();
    }
    argument.endArray();
    return sizes;
}

class Tray final : public QDBusVirtualObject
{
    Q_OBJECT

public:
    Tray(QDBusConnection bus, bool withHost)
        : m_bus(std::move(bus))
        , m_hostRegistered(withHost)
    {
    }

    QString introspect(const QString &) const override { return {}; }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &) override
    {
        const QString member = message.member();
        const QString text = message.arguments().value(0).toString();
        if (message.interface() == u"org.freedesktop.DBus.Properties") { // IsStatusNotifierHostRegistered
            m_bus.send(message.createReply(QVariant::fromValue(QDBusVariant(m_hostRegistered))));
            return true;
        }
        m_bus.send(message.createReply());
        if (member == u"RegisterStatusNotifierItem")
            itemRegistered(text);
        else if (member == u"activate" || member == u"contextmenu")
            callItem(member == u"activate" ? "Activate" : "ContextMenu", text);
        else if (member == u"layout")
            readMenu();
        else if (member == u"click")
            click(m_labels.value(text, -1));
        else if (member == u"event")
            click(text.toInt());
        else if (member == u"host" || member == u"nohost")
            setHost(member == u"host");
        return true;
    }

public Q_SLOTS:
    void itemSignalled(const QDBusMessage &message) { say(u"signal "_qs + message.member()); }

private:
    void itemRegistered(const QString &name)
    {
        m_item = name;
        say(u"registered " + name);
        if (m_hostRegistered)
            readItem();
    }

    void readItem()
    {
        QDBusMessage getAll = QDBusMessage::createMethodCall(
            m_item, itemPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("GetAll"));
        const QDBusMessage reply = m_bus.call(getAll << itemInterface);
        if (failed(reply))
            return;
        const QVariantMap properties = qdbus_cast<QVariantMap>(reply.arguments().value(0).value<QDBusArgument>());
        m_menuPath = properties.value(QStringLiteral("Menu")).value<QDBusObjectPath>().path();
        QByteArray pixel;
        const QStringList sizes = readImages(properties.value(QStringLiteral("IconPixmap")).value<QDBusArgument>(),
                                             &pixel);
        const QDBusArgument toolTip = properties.value(QStringLiteral("ToolTip")).value<QDBusArgument>();
        QString iconName, toolTipTitle;
        QByteArray unused;
        toolTip.beginStructure();
        toolTip >> iconName;
        readImages(toolTip, &unused);
        toolTip >> toolTipTitle;
        toolTip.endStructure();
        QStringList line{QStringLiteral("item")};
        for (const char *name : {"Id", "Category", "Status", "Title", "ItemIsMenu"})
            line.append(
                QStringLiteral("%1=%2").arg(QLatin1String(name), properties.value(QLatin1String(name)).toString()));
        line << u"Menu="_qs + m_menuPath << u"icons="_qs + sizes.join(u',') << u"pixel="_qs + QString::fromLatin1(pixel)
             << u"tooltip="_qs + toolTipTitle
             << u"iconname="_qs + properties.value(QStringLiteral("IconName")).toString()
             << u"themepath="_qs + properties.value(QStringLiteral("IconThemePath")).toString();
        say(line.join(u' '));
        for (const char *name : {"NewIcon", "NewToolTip"})
            m_bus.connect(m_item, itemPath, itemInterface, QLatin1String(name), this,
                          SLOT(itemSignalled(QDBusMessage)));
        for (const char *name : {"LayoutUpdated", "ItemsPropertiesUpdated"})
            m_bus.connect(m_item, m_menuPath, menuInterface, QLatin1String(name), this,
                          SLOT(itemSignalled(QDBusMessage)));
    }

    void callItem(const char *method, const QString &position)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(m_item, itemPath, itemInterface, QLatin1String(method));
        failed(m_bus.call(call << position.section(u' ', 0, 0).toInt() << position.section(u' ', 1, 1).toInt()));
    }

    void readMenu()
    {
        QDBusMessage call = QDBusMessage::createMethodCall(m_item, m_menuPath, menuInterface,
                                                           QStringLiteral("GetLayout"));
        const QDBusMessage reply = m_bus.call(call << 0 << -1 << QStringList());
        if (failed(reply))
            return;
        const MenuEntry root = readLayout(reply.arguments().value(1).value<QDBusArgument>());
        QStringList entries;
        m_labels.clear();
        for (const MenuEntry &child : root.children) {
            const QString label = child.properties.value(QStringLiteral("label")).toString();
            const bool separator = child.properties.value(QStringLiteral("type")) == u"separator"_qs;
            const bool enabled = child.properties.value(QStringLiteral("enabled"), true).toBool();
            entries.append(separator ? QStringLiteral("-") : label + (enabled ? QString() : QStringLiteral("(off)")));
            m_labels.insert(label, child.id);
        }
        say(QStringLiteral("layout %1 %2").arg(reply.arguments().value(0).toString(), entries.join(u'|')));
    }

    void click(int id)
    {
        QDBusMessage event = QDBusMessage::createMethodCall(m_item, m_menuPath, menuInterface, QStringLiteral("Event"));
        failed(m_bus.call(event << id << QStringLiteral("clicked") << QVariant::fromValue(QDBusVariant(0)) << 0u));
    }

    void setHost(bool registered)
    {
        m_hostRegistered = registered;
        const QString name = registered ? QStringLiteral("StatusNotifierHostRegistered")
                                        : QStringLiteral("StatusNotifierHostUnregistered");
        m_bus.send(QDBusMessage::createSignal(QLatin1String(watcherPath), watcherInterface, name));
        if (registered && !m_item.isEmpty())
            readItem();
    }

    bool failed(const QDBusMessage &reply)
    {
        if (reply.type() != QDBusMessage::ErrorMessage)
            return false;
        say(u"error " + reply.errorName());
        return true;
    }

    QDBusConnection m_bus;
    bool m_hostRegistered;
    QString m_item;
    QString m_menuPath;
    QHash<QString, int> m_labels;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QStringList options = app.arguments().mid(2);
    QDBusConnection bus = QDBusConnection::connectToBus(QString::fromLocal8Bit(argv[1]), QStringLiteral("tray"));
    Tray tray(bus, !options.contains(u"--without-host"_qs));
    if (!bus.registerVirtualObject(QLatin1String(watcherPath), &tray)
        || !bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")))
        return 3;
    say(QStringLiteral("ready"));
    return app.exec();
}

#include "FakeTray.moc"
