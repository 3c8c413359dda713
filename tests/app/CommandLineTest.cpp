// `brimble --add`, `--list` and `--open`: what the commands print, store and
// refuse, then end to end from the real program, answered by the running
// Brimble or by the program itself under the store's lock when none runs;
// and the running program's desktop search.

#include "BrimbleProcess.h"

#include "app/DesktopSearchService.h"
#include "app/ScriptCommands.h"
#include "items/ItemsFixture.h"
#include "platform/Paths.h"
#include "platform/PlistPreferencesStore.h"
#include "store/FavoritesStore.h"
#include "store/StoreKeys.h"
#include "store/TextKeys.h"
#include "support/PrivateBus.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QTest>

#include <sys/inotify.h>
#include <sys/stat.h>

namespace {

// A store of two groups, the first holding one file, written as Brimble writes it.
void writeStore(const TestFolder &home)
{
    QFile file(home.filePath(u"note.txt"_qs));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    PlistPreferencesStore store(preferencesPath(home));
    FavoritesStore favorites(store);
    favorites.setGroups({Group(u"Work"_qs), Group(u"Home"_qs)});
    favorites.appendItemToGroup(u"Work"_qs, favorites.makeFileItem(file.fileName()));
    store.setInteger(1, StoreKeys::first);
    store.setBool(true, StoreKeys::checkUniquiidAdded);
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
        int counted = 0;
        alignas(inotify_event) char buffer[64 * 1024];
        for (ssize_t length; (length = ::read(m_watch, buffer, sizeof buffer)) > 0;) {
            for (char *at = buffer; at < buffer + length;) {
                const auto *event = reinterpret_cast<const inotify_event *>(at);
                counted += (event->mask & mask) && event->len > 0 && name == event->name;
                at += sizeof(inotify_event) + event->len;
            }
        }
        return counted;
    }

private:
    int m_watch;
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
    EXPECT_TRUE(added.status == 0 && added.errors.isEmpty()) << added.errors.toStdString();
    EXPECT_EQ(store.count(IN_MOVED_TO, "preferences.plist"), 1);
    EXPECT_TRUE(brimble(home, {u"--list"_qs, u"--group"_qs, u"Home"_qs})
                    .output.contains(QByteArray('\t' + home.filePath(u"Projects"_qs).toUtf8() + '\n')));

    // Held by a Brimble that does not answer: nothing is written, and it is said.
    {
        QLockFile lock(Paths::lockFileFor(preferencesPath(home)));
        ASSERT_TRUE(lock.tryLock());
        const Finished blocked = brimble(home, {u"--add"_qs, u"Projects"_qs, u"--group"_qs, u"Work"_qs});
        EXPECT_EQ(blocked.status, 1);
        EXPECT_EQ(blocked.errors, errorLines({english("IDS_BR_341")}));
    }
    EXPECT_EQ(store.count(IN_MOVED_TO, "preferences.plist"), 0);
}

TEST(CommandLine, WrongInputIsRefusedWithItsMessageAndStatusAndChangesNothing)
{
    TestFolder home;
    writeStore(home);
    const QByteArray stored = contentsOf(preferencesPath(home));
    QFile locked(home.filePath(u"locked.txt"_qs));
    ASSERT_TRUE(locked.open(QIODevice::WriteOnly));
    locked.setPermissions({});
    const QStringList noDisplay{u"QT_QPA_PLATFORM="_qs, u"DISPLAY="_qs, u"WAYLAND_DISPLAY="_qs};
    const struct
    {
        QStringList arguments;
        QList<QByteArray> errors;
        QStringList environment = {};
        bool unprivileged = false;
    } cases[] = {
        {{u"--add"_qs, u"note.txt"_qs}, {english("IDS_BR_626"), english("IDS_BR_620")}, noDisplay},
        {{u"--add"_qs}, {english("IDS_BR_613")}},
        {{u"note.txt"_qs}, {english("IDS_BR_614", u"note.txt"_qs)}},
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

TEST(CommandLine, TheRunningBrimbleAnswersWithoutTheClientReadingTheStoreAndServesTheDesktopsSearch)
{
    PrivateBus bus;
    ASSERT_FALSE(bus.address.isEmpty());
    TestFolder home;
    writeStore(home);
    QDir(home.path()).mkpath(u"Projects"_qs);
    BrimbleProcess running(home, {.environment = {u"DBUS_SESSION_BUS_ADDRESS="_qs + bus.address}});
    ASSERT_TRUE(running.waitForLine("en")) << running.output.toStdString();
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return QFile::exists(home.filePath(u"runtime/brimble/instance.socket"_qs)); }, 10000));
    FolderWatch store(QFileInfo(preferencesPath(home)).absolutePath());
    // The running one may still look at its own saves (its watcher sees the
    // file replaced): the others ask once the folder has been quiet a while.
    QElapsedTimer quiet, waited;
    quiet.start();
    waited.start();
    while (quiet.elapsed() < 1500 && waited.elapsed() < 15000) {
        QTest::qWait(50);
        if (store.count(IN_OPEN | IN_MOVED_TO, "preferences.plist") > 0)
            quiet.restart();
    }

    const Finished listed = brimble(home, {u"--list"_qs, u"--group"_qs, u"Work"_qs});
    EXPECT_EQ(listed.output, "note.txt\t" + home.filePath(u"note.txt"_qs).toUtf8() + '\n');
    EXPECT_EQ(store.count(IN_OPEN, "preferences.plist"), 0) << "the store was opened";

    const Finished added = brimble(home, {u"--add"_qs, u"Projects"_qs, u"--group"_qs, u"Home"_qs});
    EXPECT_EQ(added.status, 0) << added.errors.toStdString();

    // The desktop's search finds the favourites on the session bus.
    QDBusConnection client = bus.client();
    const QString name = QString::fromLatin1(DesktopSearchService::serviceName);
    ASSERT_TRUE(QTest::qWaitFor([&] { return client.interface()->isServiceRegistered(name); }, 15000));
    const QDBusMessage reply = client.call(
        QDBusMessage::createMethodCall(name, QLatin1String(DesktopSearchService::shellObjectPath),
                                       u"org.gnome.Shell.SearchProvider2"_qs, u"GetInitialResultSet"_qs)
            << QStringList{u"NOTE"_qs},
        QDBus::Block, 15000);
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    EXPECT_EQ(reply.arguments().value(0).toStringList(), QStringList{u"1"_qs});

    running.terminate();
    // What the running Brimble added is in the file once it ended.
    PlistPreferencesStore saved(preferencesPath(home));
    EXPECT_EQ(FavoritesStore(saved).itemCount(u"Home"_qs), 1);
}

class ScriptCommandsTest : public ItemsFixture
{
protected:
    ScriptCommandsTest()
    {
        QDir().mkpath(folderPath);
        QFile file(filePath);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    }

    static QStringList linesOf(const InstanceReply &reply, bool errors = false)
    {
        QStringList lines;
        for (const InstanceReply::Line &line : reply.lines) {
            if (line.isError == errors)
                lines.append(line.text);
        }
        return lines;
    }

    const QString folderPath = folder.filePath(u"Projects"_qs);
    const QString filePath = folder.filePath(u"report.pdf"_qs);
    ScriptCommands scripts{services, desktop.services()};
};

TEST_F(ScriptCommandsTest, ListsEveryGroupAsLinesOrAsJson)
{
    favorites.setItems(u"Work"_qs, {pinned(fileItem(u"Report\nfinal"_qs, 1, filePath)),
                                    bookmark(u"Docs"_qs, 2, u"docs.example.org"_qs)});
    favorites.setItems(u"Home"_qs,
                       {note(u"Shopping"_qs, 3, u"/notes/3.txt"_qs), colorItem(u"Moss"_qs, 4, u"47CE64"_qs)});

    const InstanceReply all = scripts.list({}, false);
    EXPECT_EQ(all.status, 0);
    EXPECT_EQ(linesOf(all), QStringList({u"Work"_qs, u"  Report final\t"_qs + filePath, u"  Docs\tdocs.example.org"_qs,
                                         u"Home"_qs, u"  Shopping\t/notes/3.txt"_qs, u"  Moss\t#47CE64"_qs}))
        << "one line each, whatever the title holds";

    const QJsonArray items = QJsonDocument::fromJson(scripts.list({}, true).lines.value(0).text.toUtf8()).array();
    EXPECT_EQ(items.size(), 4);
    EXPECT_EQ(items.at(0).toObject(), QJsonObject({{u"title"_qs, u"Report\nfinal"_qs},
                                                   {u"kind"_qs, u"file"_qs},
                                                   {u"target"_qs, filePath},
                                                   {u"group"_qs, u"Work"_qs},
                                                   {u"pinned"_qs, true},
                                                   {u"uid"_qs, 1}}));
}

TEST_F(ScriptCommandsTest, OpensTheFirstItemThePopupsSearchShowsFirst)
{
    favorites.setItems(u"Work"_qs,
                       {bookmark(u"Plan"_qs, 1, u"reports.example.org"_qs), fileItem(u"Report"_qs, 2, filePath)});
    favorites.setItems(u"Home"_qs, {colorItem(u"Plum"_qs, 3, u"8E4585"_qs)});

    // The bookmark's address holds "report" too, and the popup lists it first.
    EXPECT_EQ(scripts.open(u"REPORT"_qs).status, 0);
    EXPECT_EQ(desktop.urls.opened, QList<QUrl>{QUrl(u"http://reports.example.org"_qs)});
    EXPECT_EQ(linesOf(scripts.open(u"plum"_qs)), QStringList{u"#8E4585"_qs});
    EXPECT_EQ(desktop.clipboard.text(), u"#8E4585"_qs);

    // An empty search finds nothing rather than everything.
    const InstanceReply nothing = scripts.open(QString());
    EXPECT_EQ(nothing.status, 1);
    EXPECT_EQ(linesOf(nothing, true), QStringList{LocalizedText(Text::openFoundNothing).arg(QString())});
}

TEST_F(ScriptCommandsTest, AddsFilesFoldersAndWebAddressesOrNothingAtAll)
{
    const InstanceReply added = scripts.add({filePath, folderPath, u"HTTPS://www.example.org/page"_qs}, u"Work"_qs,
                                            false);
    EXPECT_TRUE(added.status == 0 && added.lines.isEmpty());
    QStringList titles = storedTitles(u"Work"_qs);
    titles.sort();
    EXPECT_EQ(titles, QStringList({u"Projects"_qs, u"report.pdf"_qs, u"www.example.org"_qs}));

    // One target that cannot be added refuses all of them, each said.
    const quint64 writes = preferences.changesMade();
    const QString gone = folder.filePath(u"gone.txt"_qs);
    const InstanceReply refusedReply = scripts.add(
        {filePath, gone, u"ftp://files.example.org/a"_qs, u"http://"_qs, u"relative/path"_qs}, u"Work"_qs, false);
    EXPECT_EQ(refusedReply.status, 1);
    EXPECT_EQ(linesOf(refusedReply, true),
              QStringList({LocalizedText(Text::addTargetMissing).arg(gone),
                           LocalizedText(Text::addTargetUnsupported).arg(u"ftp://files.example.org/a"_qs),
                           LocalizedText(Text::addTargetUnsupported).arg(u"http://"_qs),
                           LocalizedText(Text::addTargetMissing).arg(u"relative/path"_qs),
                           LocalizedText(Text::nothingAdded)}));
    EXPECT_EQ(preferences.changesMade(), writes) << "nothing stored";
}

} // namespace
