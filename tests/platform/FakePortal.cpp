// A stand-in for the desktop portal's global shortcuts, run by the tests on a
// private bus: fake_portal <bus address>. It owns org.freedesktop.portal.Desktop
// and answers CreateSession, BindShortcuts and Session.Close the way a portal
// does (a request object path at once, the outcome later in a Response
// signal). What it is asked is written to standard output, one line each:
//   ready | register <app id> | create <session> | bind <session> <id> <preferred trigger>
//   | close <session>
// Commands on standard input, one a line:
//   refuse            answer the next binds with response 2
//   accept            bind again, reporting "Desktop " + the preferred trigger as bound
//   activate <id>     send Activated for id in the last session (deactivate likewise)
//   changed <text>    send ShortcutsChanged: every shortcut now bound to text
// Each command is answered by "done <command>" once carried out.

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>

#include <unistd.h>

namespace {

constexpr char portalPath[] = "/org/freedesktop/portal/desktop";
constexpr char shortcutsInterface[] = "org.freedesktop.portal.GlobalShortcuts";

struct Shortcut
{
    QString id;
    QVariantMap properties;
};
using ShortcutList = QList<Shortcut>;

QDBusArgument &operator<<(QDBusArgument &argument, const Shortcut &shortcut)
{
    argument.beginStructure();
    argument << shortcut.id << shortcut.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, Shortcut &shortcut)
{
    argument.beginStructure();
    argument >> shortcut.id >> shortcut.properties;
    argument.endStructure();
    return argument;
}

void say(const QString &line)
{
    std::fputs(qPrintable(line + u'\n'), stdout);
    std::fflush(stdout);
}

QString senderElement(const QString &sender)
{
    return sender.mid(1).replace(u'.', u'_');
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
        if (member == QLatin1String("Get")) { // the interface's version
            m_bus.send(message.createReply(QVariant::fromValue(QDBusVariant(uint(1)))));
        } else if (member == QLatin1String("Register") || member == QLatin1String("Close")) {
            say(member == QLatin1String("Close") ? QStringLiteral("close ") + message.path()
                                                 : QStringLiteral("register ") + arguments.value(0).toString());
            m_bus.send(message.createReply());
        } else if (member == QLatin1String("CreateSession")) {
            const QVariantMap options = qdbus_cast<QVariantMap>(arguments.value(0));
            m_session = QString::fromLatin1(portalPath) + QStringLiteral("/session/") + senderElement(message.service())
                        + u'/' + options.value(QStringLiteral("session_handle_token")).toString();
            say(QStringLiteral("create ") + m_session);
            respond(message, 0, {{QStringLiteral("session_handle"), m_session}});
        } else if (member == QLatin1String("BindShortcuts")) {
            const QString session = arguments.value(0).value<QDBusObjectPath>().path();
            ShortcutList bound;
            for (const Shortcut &shortcut : qdbus_cast<ShortcutList>(arguments.value(1).value<QDBusArgument>())) {
                const QString preferred = shortcut.properties.value(QStringLiteral("preferred_trigger")).toString();
                say(QStringLiteral("bind %1 %2 %3").arg(session, shortcut.id, preferred));
                bound.append({shortcut.id, {{QStringLiteral("trigger_description"), QString(u"Desktop " + preferred)}}});
                m_ids.append(shortcut.id);
            }
            respond(message, m_refuse ? 2 : 0,
                    m_refuse ? QVariantMap() : QVariantMap{{QStringLiteral("shortcuts"), QVariant::fromValue(bound)}});
        } else {
            m_bus.send(message.createErrorReply(QDBusError::UnknownMethod, member));
        }
        return true;
    }

    void command(const QString &line)
    {
        const QString verb = line.section(u' ', 0, 0);
        const QString rest = line.section(u' ', 1);
        if (verb == QLatin1String("refuse"))
            m_refuse = true;
        else if (verb == QLatin1String("accept"))
            m_refuse = false;
        else if (verb == QLatin1String("activate") || verb == QLatin1String("deactivate"))
            signal(verb == QLatin1String("activate") ? "Activated" : "Deactivated",
                   {QVariant::fromValue(QDBusObjectPath(m_session)), rest, qulonglong(1), QVariantMap()});
        else if (verb == QLatin1String("changed")) {
            ShortcutList now;
            for (const QString &id : std::as_const(m_ids))
                now.append({id, {{QStringLiteral("trigger_description"), rest}}});
            signal("ShortcutsChanged", {QVariant::fromValue(QDBusObjectPath(m_session)), QVariant::fromValue(now)});
        }
        say(QStringLiteral("done ") + verb);
    }

private:
    // The call's reply names the request object; its Response follows.
    void respond(const QDBusMessage &call, uint response, const QVariantMap &results)
    {
        const QVariantMap options = qdbus_cast<QVariantMap>(
            call.arguments().value(call.member() == QLatin1String("CreateSession") ? 0 : 3));
        const QString request = QString::fromLatin1(portalPath) + QStringLiteral("/request/")
                                + senderElement(call.service()) + u'/'
                                + options.value(QStringLiteral("handle_token")).toString();
        m_bus.send(call.createReply(QVariant::fromValue(QDBusObjectPath(request))));
        QDBusMessage answer = QDBusMessage::createSignal(request, QStringLiteral("org.freedesktop.portal.Request"),
                                                         QStringLiteral("Response"));
        answer << response << results;
        m_bus.send(answer);
    }

    void signal(const char *name, const QList<QVariant> &arguments)
    {
        QDBusMessage message = QDBusMessage::createSignal(QString::fromLatin1(portalPath),
                                                          QString::fromLatin1(shortcutsInterface),
                                                          QString::fromLatin1(name));
        message.setArguments(arguments);
        m_bus.send(message);
    }

    QDBusConnection m_bus;
    QString m_session;
    QStringList m_ids;
    bool m_refuse = false;
};

} // namespace

Q_DECLARE_METATYPE(Shortcut)

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    qDBusRegisterMetaType<Shortcut>();
    qDBusRegisterMetaType<ShortcutList>();
    QDBusConnection bus = QDBusConnection::connectToBus(QString::fromLocal8Bit(argv[1]), QStringLiteral("portal"));
    Portal portal(bus);
    if (!bus.registerVirtualObject(QString::fromLatin1(portalPath), &portal,
                                   QDBusConnection::SubPath)
        || !bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")))
        return 3;

    QSocketNotifier input(0, QSocketNotifier::Read);
    QByteArray pending;
    QObject::connect(&input, &QSocketNotifier::activated, &app, [&] {
        char buffer[4096];
        const ssize_t count = ::read(0, buffer, sizeof buffer);
        if (count <= 0) {
            input.setEnabled(false);
            QCoreApplication::quit();
            return;
        }
        pending.append(buffer, count);
        for (qsizetype end = pending.indexOf('\n'); end >= 0; end = pending.indexOf('\n')) {
            portal.command(QString::fromUtf8(pending.left(end)));
            pending.remove(0, end + 1);
        }
    });
    say(QStringLiteral("ready"));
    return app.exec();
}
