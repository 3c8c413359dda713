// `brimble --add`, `--list` and `--open` end to end, from the real program:
// answered by the running Brimble, or by the program itself under the
// store's lock when none runs; and the running program's desktop search.

#include "BrimbleProcess.h"

#include "app/DesktopSearchService.h"
#include "platform/DBusSearchTypes.h"
#include "platform/Paths.h"
#include "platform/PlistPreferencesStore.h"
#include "store/FavoritesStore.h"
#include "store/StoreKeys.h"

#include "support/PrivateBus.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLockFile>
#include <QTest>

#include <sys/inotify.h>
#include <sys/stat.h>

namespace {

// A store of two groups, the first holding one file, written as Brimble writes it.
void writeStore(const TestFolder &home, const std::function<void(PreferencesStore &)> &more = {})
{
    QFile file(home.filePath(u"note.txt"_qs));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    PlistPreferencesStore store(preferencesPath(home));
    FavoritesStore favorites(store);
    favorites.setGroups({Group(u"Work"_qs), Group(u"Home"_qs)});
    favorites.appendItemToGroup(u"Work"_qs, favorites.makeFileItem(file.fileName()));
    store.setInteger(1, StoreKeys::first);
    store.setBool(true, StoreKeys::checkUniquiidAdded);
    if (more)
        more(store);
}

struct Finished
{
    int status = -1;
    QByteArray output;
    QByteArray errors;
};

Finished brimble(const TestFolder &home, const QStringList &arguments, const QStringList &environment = {},
                 bool unprivileged = false)
{
    BrimbleProcess process(home, {.arguments = arguments, .environment = environment, .unprivileged = unprivileged});
    EXPECT_TRUE(process.finish()) << arguments.join(u' ').toStdString();
    return {process.process.exitCode(), process.output, process.process.readAllStandardError()};
}

QByteArray errorLines(const QList<QByteArray> &texts)
{
    QByteArray lines;
    for (const QByteArray &text : texts)
        lines += "brimble: " + text + '\n';
    return lines;
}

QByteArray english(const char *key, const QString &argument = {})
{
    const QByteArray text = keyedText("English", key);
    return argument.isNull() ? text : QString::fromUtf8(text).arg(argument).toUtf8();
}

// Counts what happens to the store's folder: files opened, and files put
// in place by a rename (how the store is written).
class FolderWatch
{
public:
    explicit FolderWatch(const QString &folder)
        : m_watch(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        EXPECT_GE(::inotify_add_watch(m_watch, QFile::encodeName(folder).constData(), IN_OPEN | IN_MOVED_TO), 0);
    }
    ~FolderWatch() { ::close(m_watch); }

    // How many events of mask named name came since the last call.
    int count(uint32_t mask, const QByteArray &name)
    {
        alignas(inotify_event) char buffer[64 * 1024];
        for (ssize_t length; (length = ::read(m_watch, buffer, sizeof buffer)) > 0;) {
            for (char *at = buffer; at < buffer + length;) {
                const auto *event = reinterpret_cast<const inotify_event *>(at);
                m_events.append({event->mask, QByteArray(event->len ? event->name : "")});
                at += sizeof(inotify_event) + event->len;
            }
        }
        const auto counted = std::count_if(m_events.cbegin(), m_events.cend(), [&](const auto &event) {
            return (event.first & mask) && event.second == name;
        });
        m_events.clear();
        return int(counted);
    }

private:
    int m_watch;
    QList<QPair<uint32_t, QByteArray>> m_events;
};

TEST(CommandLine, WithNoBrimbleRunningTheProgramDoesTheWorkItselfUnderTheStoresLock)
{
    TestFolder home;
    writeStore(home);
    QDir(home.path()).mkpath(u"Projects"_qs);
    FolderWatch store(QFileInfo(preferencesPath(home)).absolutePath());

    const Finished listed = brimble(home, {u"--list"_qs});
    EXPECT_EQ(listed.status, 0) << listed.errors.toStdString();
    EXPECT_EQ(listed.output, "Work\n  note.txt\t" + home.filePath(u"note.txt"_qs).toUtf8() + "\nHome\n");
    EXPECT_EQ(store.count(IN_MOVED_TO, "preferences.plist"), 0) << "listing writes nothing";

    // Relative paths are the working folder's; the store is written once.
    const Finished added = brimble(home, {u"--add"_qs, u"Projects"_qs, u"./note.txt"_qs, u"--group"_qs, u"Home"_qs});
    EXPECT_EQ(added.status, 0) << added.errors.toStdString();
    EXPECT_EQ(added.errors, QByteArray());
    EXPECT_EQ(store.count(IN_MOVED_TO, "preferences.plist"), 1);
    const Finished json = brimble(home, {u"--list"_qs, u"--group"_qs, u"Home"_qs, u"--json"_qs});
    const QJsonArray items = QJsonDocument::fromJson(json.output).array();
    ASSERT_EQ(items.size(), 2) << json.output.toStdString();
    QStringList targets;
    for (const QJsonValue &item : items)
        targets.append(item[u"target"_qs].toString());
    targets.sort();
    EXPECT_EQ(targets, QStringList({home.filePath(u"Projects"_qs), home.filePath(u"note.txt"_qs)}));

    // Held by a Brimble that does not answer: nothing is written, and it is said.
    {
        QLockFile lock(Paths::lockFileFor(preferencesPath(home)));
        ASSERT_TRUE(lock.tryLock());
        const Finished blocked = brimble(home, {u"--add"_qs, u"Projects"_qs, u"--group"_qs, u"Work"_qs});
        EXPECT_EQ(blocked.status, 1);
        EXPECT_EQ(blocked.errors, errorLines({english("IDS_BR_341")}));
    }
    EXPECT_EQ(store.count(IN_MOVED_TO, "preferences.plist"), 0);

    // The interface's language, as chosen in the preferences.
    writeStore(home, [](PreferencesStore &preferences) { preferences.setInteger(1, StoreKeys::selectedLanguage); });
    const Finished french = brimble(home, {u"--list"_qs, u"--group"_qs, u"Trips"_qs});
    EXPECT_EQ(french.status, 1);
    EXPECT_EQ(french.errors,
              errorLines({QString::fromUtf8(keyedText("French", "IDS_BR_616")).arg(u"Trips"_qs).toUtf8()}));
}

TEST(CommandLine, WrongInputIsRefusedWithItsMessageAndStatusAndChangesNothing)
{
    TestFolder home;
    writeStore(home);
    const QByteArray stored = contentsOf(preferencesPath(home));
    QFile locked(home.filePath(u"locked.txt"_qs));
    ASSERT_TRUE(locked.open(QIODevice::WriteOnly));
    locked.setPermissions({});
    const QString missing = home.filePath(u"missing.txt"_qs);
    const QStringList noDisplay{u"QT_QPA_PLATFORM="_qs, u"DISPLAY="_qs, u"WAYLAND_DISPLAY="_qs};
    const struct
    {
        QStringList arguments;
        QList<QByteArray> errors;
        QStringList environment = {};
        bool unprivileged = false;
    } cases[] = {
        {{u"--add"_qs, u"missing.txt"_qs, u"ftp://example.org/f"_qs, u"--group"_qs, u"Work"_qs},
         {english("IDS_BR_617", missing), english("IDS_BR_619", u"ftp://example.org/f"_qs), english("IDS_BR_620")}},
        {{u"--add"_qs, u"note.txt"_qs, u"--group"_qs, u"Trips"_qs},
         {english("IDS_BR_616", u"Trips"_qs), english("IDS_BR_620")}},
        {{u"--add"_qs, u"note.txt"_qs}, {english("IDS_BR_626"), english("IDS_BR_620")}, noDisplay},
        {{u"--add"_qs}, {english("IDS_BR_613")}},
        {{u"--group"_qs, u"Work"_qs}, {english("IDS_BR_611")}},
        {{u"--json"_qs}, {english("IDS_BR_612")}},
        {{u"--open"_qs}, {english("IDS_BR_609", u"--open"_qs)}},
        {{u"--list"_qs, u"--open"_qs, u"x"_qs}, {english("IDS_BR_610")}},
        {{u"note.txt"_qs}, {english("IDS_BR_614", u"note.txt"_qs)}},
        {{u"--open"_qs, u"nothing like it"_qs}, {english("IDS_BR_621", u"nothing like it"_qs)}},
        {{u"--open"_qs, u"note"_qs}, {english("IDS_BR_340")}, noDisplay},
        // Run as a user who cannot read it (root reads everything); last,
        // as the folder is then that user's.
        {{u"--add"_qs, u"locked.txt"_qs, u"--group"_qs, u"Work"_qs},
         {english("IDS_BR_618", locked.fileName()), english("IDS_BR_620")},
         {},
         true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments.join(u' ').toStdString());
        const Finished run = brimble(home, c.arguments, c.environment, c.unprivileged);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.errors, errorLines(c.errors));
        EXPECT_EQ(run.output, QByteArray());
    }
    // A file name that is no text in the system's encoding is never stored
    // as another name.
    BrimbleProcess undecodable(home,
                               {.arguments = {u"-c"_qs, u"exec \"$0\" --add \"$(printf 'a\\377')\" --group Work"_qs,
                                              QStringLiteral(BRIMBLE_EXECUTABLE)},
                                .program = u"/bin/sh"_qs});
    ASSERT_TRUE(undecodable.finish());
    EXPECT_EQ(undecodable.process.exitCode(), 1);
    EXPECT_EQ(undecodable.process.readAllStandardError(), errorLines({english("IDS_BR_615", u"a\uFFFD"_qs)}));
    EXPECT_EQ(contentsOf(preferencesPath(home)), stored);
}

TEST(CommandLine, TheRunningBrimbleAnswersWithoutTheClientReadingTheStore)
{
    TestFolder home;
    writeStore(home);
    QDir(home.path()).mkpath(u"Projects"_qs);
    BrimbleProcess running(home);
    ASSERT_TRUE(running.waitForLine("en")) << running.output.toStdString();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return QFile::exists(home.filePath(u"runtime/brimble/instance.socket"_qs)); }, 10000));
    FolderWatch store(QFileInfo(preferencesPath(home)).absolutePath());

    const Finished listed = brimble(home, {u"--list"_qs, u"--group"_qs, u"Work"_qs});
    EXPECT_EQ(listed.status, 0);
    EXPECT_EQ(listed.output, "note.txt\t" + home.filePath(u"note.txt"_qs).toUtf8() + '\n');
    const Finished notFound = brimble(home, {u"--open"_qs, u"nothing like it"_qs});
    EXPECT_EQ(notFound.status, 1);
    EXPECT_EQ(notFound.errors, errorLines({english("IDS_BR_621", u"nothing like it"_qs)}));
    EXPECT_EQ(store.count(IN_OPEN, "preferences.plist"), 0) << "the store was opened";

    const Finished added = brimble(home, {u"--add"_qs, u"Projects"_qs, u"--group"_qs, u"Home"_qs});
    EXPECT_EQ(added.status, 0) << added.errors.toStdString();
    const Finished refused = brimble(home, {u"--add"_qs, u"Projects"_qs, u"--group"_qs, u"Trips"_qs});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.errors, errorLines({english("IDS_BR_616", u"Trips"_qs), english("IDS_BR_620")}));
    EXPECT_EQ(brimble(home, {u"--list"_qs, u"--group"_qs, u"Home"_qs}).output,
              "Projects\t" + home.filePath(u"Projects"_qs).toUtf8() + '\n');

    running.terminate();
    // What the running Brimble added is in the file once it ended.
    PlistPreferencesStore saved(preferencesPath(home));
    EXPECT_EQ(FavoritesStore(saved).itemCount(u"Home"_qs), 1);
}

TEST(CommandLine, TheRunningBrimbleServesTheDesktopsSearchOnTheSessionBus)
{
    PrivateBus bus;
    ASSERT_FALSE(bus.address.isEmpty());
    TestFolder home;
    writeStore(home);
    BrimbleProcess running(home, {.environment = {u"DBUS_SESSION_BUS_ADDRESS="_qs + bus.address}});
    QDBusConnection client = bus.client();
    const QString name = QString::fromLatin1(DesktopSearchService::serviceName);
    ASSERT_TRUE(QTest::qWaitFor([&] { return client.interface()->isServiceRegistered(name); }, 15000));

    QDBusMessage call = QDBusMessage::createMethodCall(name, QString::fromLatin1(DesktopSearchService::shellObjectPath),
                                                       u"org.gnome.Shell.SearchProvider2"_qs,
                                                       u"GetInitialResultSet"_qs);
    call.setArguments({QStringList{u"NOTE"_qs}});
    const QDBusMessage reply = client.call(call, QDBus::Block, 15000);
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    EXPECT_EQ(reply.arguments().value(0).toStringList(), QStringList{u"1"_qs});
    running.terminate();
}

} // namespace
