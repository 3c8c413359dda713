// A stand-in for the desktop portal's global shortcuts, run by the tests on a
// private bus: fake_portal <bus address>. It answers CreateSession and
// BindShortcuts the way a portal does (a request object path at once, the
// outcome later in a Response signal) and writes what it is asked to standard
// output, one line each: ready | register <app id> | create <session>
// | bind <session> <id> <preferred trigger> | close <session>.
// The tests steer it by calling these methods (one text argument) on its object:
//   refuse / accept       answer the next binds with response 2 / bind again
//   activate|deactivate <id>   send Activated/Deactivated for id in the last session
//   changed <text>        send ShortcutsChanged: every shortcut now bound to text

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>

#include <cstdio>

namespace {

constexpr char portalPath[] = "/org/freedesktop/portal/desktop";
using ShortcutList = QList<QPair<QString, QVariantMap>>;

void say(const QString &line)
{
    std::puts(qPrintable(line));
    std::fflush(stdout);
}

class Portal final : public QDBusVirtualObject
{
public:
    explicit Portal(QDBusConnection bus)
        : m_bus(std::move(bus))
    {
    }

    QString introspect(const QString &) const override { return {}; }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &) override
    {
        const QString member = message.member();
        const QList<QVariant> arguments = message.arguments();
        const QString text = arguments.value(0).toString();
        if (member == u"Get") { // the interface's version
            m_bus.send(message.createReply(QVariant::fromValue(QDBusVariant(uint(1)))));
            return true;
        }
        if (member == u"CreateSession") {
            m_session = requestPath(message, u"/session/", u"session_handle_token");
            say(u"create " + m_session);
            return respond(message, 0, {{QStringLiteral("session_handle"), m_session}});
        }
        if (member == u"BindShortcuts") {
            ShortcutList bound;
            for (const auto &[id, properties] : qdbus_cast<ShortcutList>(arguments.value(1).value<QDBusArgument>())) {
                const QString preferred = properties.value(QStringLiteral("preferred_trigger")).toString();
                say(QStringLiteral("bind %1 %2 %3")
                        .arg(arguments.value(0).value<QDBusObjectPath>().path(), id, preferred));
                bound.append({id, {{QStringLiteral("trigger_description"), QString(u"Desktop " + preferred)}}});
                m_ids.append(id);
            }
            return respond(message, m_refuse ? 2 : 0,
                           m_refuse ? QVariantMap()
                                    : QVariantMap{{QStringLiteral("shortcuts"), QVariant::fromValue(bound)}});
        }
        if (member == u"Register" || member == u"Close")
            say(member == u"Close" ? QString(u"close " + message.path()) : QString(u"register " + text));
        else if (member == u"refuse" || member == u"accept")
            m_refuse = member == u"refuse";
        else if (member == u"activate" || member == u"deactivate")
            signal(member == u"activate" ? "Activated" : "Deactivated", {text, qulonglong(1), QVariantMap()});
        else if (member == u"changed") {
            ShortcutList now;
            for (const QString &id : std::as_const(m_ids))
                now.append({id, {{QStringLiteral("trigger_description"), text}}});
            signal("ShortcutsChanged", {QVariant::fromValue(now)});
        }
        m_bus.send(message.createReply());
        return true;
    }

private:
    // Portal paths end in the caller's unique name and the token it chose.
    QString requestPath(const QDBusMessage &call, QStringView kind, QStringView tokenKey) const
    {
        const QVariantMap options = qdbus_cast<QVariantMap>(
            call.arguments().value(call.member() == u"CreateSession" ? 0 : 3));
        return QLatin1String(portalPath) + kind + call.service().mid(1).replace(u'.', u'_') + u'/'
               + options.value(tokenKey.toString()).toString();
    }

    // The call's reply names the request object; its Response follows.
    bool respond(const QDBusMessage &call, uint response, const QVariantMap &results)
    {
        const QString request = requestPath(call, u"/request/", u"handle_token");
        m_bus.send(call.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QDBusMessage answer = QDBusMessage::createSignal(request, QStringLiteral("org.freedesktop.portal.Request"),
                                                         QStringLiteral("Response"));
        m_bus.send(answer << response << results);
        return true;
    }

    void signal(const char *name, const QList<QVariant> &arguments)
    {
        QDBusMessage message = QDBusMessage::createSignal(
            QLatin1String(portalPath), QStringLiteral("org.freedesktop.portal.GlobalShortcuts"), QLatin1String(name));
        message.setArguments(QList<QVariant>{QVariant::fromValue(QDBusObjectPath(m_session))} + arguments);
        m_bus.send(message);
    }

    QDBusConnection m_bus;
    QString m_session;
    QStringList m_ids;
    bool m_refuse = false;
};

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    qDBusRegisterMetaType<QPair<QString, QVariantMap>>();
    qDBusRegisterMetaType<ShortcutList>();
    QDBusConnection bus = QDBusConnection::connectToBus(QString::fromLocal8Bit(argv[1]), QStringLiteral("portal"));
    Portal portal(bus);
    if (!bus.registerVirtualObject(QLatin1String(portalPath), &portal, QDBusConnection::SubPath)
        || !bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")))
        return 3;
    say(QStringLiteral("ready"));
    return app.exec();
}
