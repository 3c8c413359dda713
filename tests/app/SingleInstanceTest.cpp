// The real brimble before its window: the command line, the single-instance
// lock and socket, and reading the store ahead.

#include "BrimbleProcess.h"

#include "app/SingleInstance.h"
#include "app/StoreReadAhead.h"
#include "platform/Paths.h"
#include "platform/PlistPreferencesStore.h"
#include "store/StoreKeys.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <cstring>
#include <optional>
#include <thread>

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/stat.h>

// Qt calls the hook in slot 3 of this table (the one debugging tools use)
// for every QObject made.
extern Q_DECL_IMPORT quintptr qtHookData[];

namespace {

TEST(SingleInstance, TakesOverASocketLeftBehindAndKeepsItToItsUser)
{
    TestFolder home;
    const QString preferences = home.filePath(u"config/preferences.plist"_qs);
    const QString runtime = home.filePath(u"runtime"_qs);
    // A crashed process left its socket file behind.
    QDir().mkpath(runtime);
    ::close(connectedSocket(runtime + u"/instance.socket"_qs, false));

    SingleInstance primary(preferences, runtime);
    ASSERT_TRUE(primary.becomePrimary());
    primary.acceptRequests();
    struct stat status;
    ASSERT_EQ(::stat(QFile::encodeName(primary.socketPath()).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    QSignalSpy received(&primary, &SingleInstance::requestReceived);
    EXPECT_FALSE(SingleInstance(preferences, runtime).becomePrimary());
    EXPECT_TRUE(SingleInstance(preferences, runtime).sendToPrimary(SingleInstance::toggleRequest));
    ASSERT_TRUE(received.wait(10000));
    EXPECT_EQ(received.at(0).at(0).toByteArray(), "toggle");
}

TEST(SingleInstance, RequestsAreReadWhateverTheirBytesAndSomethingNotOursEndsTheReading)
{
    using Kind = InstanceRequest::Kind;
    InstanceRequest add{Kind::add};
    // A line feed and a comma in a file's name, a group named with digits.
    add.targets = {u"/home/someone/new\nline,.txt"_qs, u"https://example.org/a b"_qs};
    add.group = u"12:3,"_qs;
    add.createsGroup = true;
    InstanceRequest list{Kind::list};
    list.json = true;
    list.group = u"Work"_qs;
    InstanceRequest open{Kind::open};
    open.query = QString();
    const QByteArray framed = add.encoded() + list.encoded() + open.encoded();
    const QByteArray notUtf8 = InstanceMessage::encoded({"open", "query", "\xff\xfe"});
    const QByteArray later = InstanceMessage::encoded({"rename", "group", "a"});
    const QByteArray longest(InstanceRequestParser::maximumLineBytes, 'x');
    const QByteArray huge = QByteArray::number(InstanceRequestParser::maximumMessageBytes) + ":";
    const struct
    {
        const char *name;
        QByteArray bytes;
        QList<InstanceRequest> expected;
        bool stopped;
    } cases[] = {
        {"plain lines and messages mixed",
         "show\n" + framed + "bogus\ntoggle\n",
         {{Kind::show}, add, list, open, {Kind::toggle}},
         false},
        {"text that is not UTF-8 is no request", notUtf8 + "show\n", {{Kind::show}}, false},
        {"a later version's command is answered", later, {{Kind::unknown}}, false},
        {"a line longer than any request", longest + "\ntoggle\n" + longest + "x\nshow\n", {{Kind::toggle}}, true},
        {"a field longer than any message", huge, {}, true},
        {"a field not ended by a comma", "4:list;\nshow\n", {}, true},
        {"an empty line after a message", "4:list,\n\nshow\n", {{Kind::list}, {Kind::show}}, false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        InstanceRequestParser whole;
        EXPECT_EQ(whole.append(c.bytes), c.expected);
        EXPECT_EQ(whole.stopped(), c.stopped);
        // The same, a byte at a time.
        InstanceRequestParser bytewise;
        QList<InstanceRequest> read;
        for (const char byte : c.bytes)
            read += bytewise.append(QByteArrayView(&byte, 1));
        EXPECT_EQ(read, c.expected);
        EXPECT_EQ(bytewise.stopped(), c.stopped);
    }
}

// The running instance's side of a command: answered when the handler
// replies, however late and however long the reply.
struct Answering
{
    Answering()
    {
        EXPECT_TRUE(primary.becomePrimary());
        primary.acceptRequests();
    }
    // Asks on another thread, as a later process would, while this one answers.
    SingleInstance::Answer ask(const InstanceRequest &request)
    {
        std::optional<SingleInstance::Answer> answer;
        std::thread client([&] { answer = SingleInstance(preferences, runtime).askPrimary(request, false); });
        EXPECT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }, 20000));
        client.join();
        return answer.value_or(SingleInstance::Answer());
    }

    TestFolder home;
    const QString preferences = home.filePath(u"config/preferences.plist"_qs);
    const QString runtime = home.filePath(u"runtime"_qs);
    SingleInstance primary{preferences, runtime};
};

TEST(SingleInstance, ACommandIsAnsweredOnItsConnectionWhenItsHandlerReplies)
{
    Answering instance;
    InstanceRequest list{InstanceRequest::Kind::list};
    // Without a handler the connection ends unanswered.
    EXPECT_EQ(instance.ask(list).outcome, SingleInstance::Answer::Outcome::noReply);

    // Several megabytes, more than the socket holds: written as the client reads.
    InstanceReply large;
    large.status = 3;
    for (int i = 0; i < 20000; ++i)
        large.print(QString(200, QChar(u'a' + i % 26)));
    large.printError(u"last\nline"_qs);
    QList<InstanceRequest> asked;
    instance.primary.setCommandHandler([&](const InstanceRequest &request, const SingleInstance::Replier &reply) {
        asked.append(request);
        QTimer::singleShot(100, [reply, large] { reply(large); });
    });
    list.group = u"Work"_qs;
    const SingleInstance::Answer answer = instance.ask(list);
    EXPECT_EQ(answer.outcome, SingleInstance::Answer::Outcome::replied);
    EXPECT_EQ(answer.reply, large);
    EXPECT_EQ(asked, QList<InstanceRequest>{list});
}

TEST(SingleInstance, AClientThatLeavesBeforeItsReplyIsForgotten)
{
    Answering instance;
    SingleInstance::Replier pending;
    instance.primary.setCommandHandler(
        [&](const InstanceRequest &, const SingleInstance::Replier &reply) { pending = reply; });
    const int client = connectedSocket(instance.primary.socketPath());
    const QByteArray request = InstanceRequest{InstanceRequest::Kind::list}.encoded();
    ASSERT_EQ(::write(client, request.constData(), size_t(request.size())), request.size());
    ASSERT_TRUE(QTest::qWaitFor([&] { return bool(pending); }, 5000));
    ::close(client);
    // Another client takes the descriptor meanwhile; the reply reaches neither.
    const int other = connectedSocket(instance.primary.socketPath());
    QTest::qWait(50);
    pending(InstanceReply::failure(u"late"_qs));
    char byte = 0;
    ::fcntl(other, F_SETFL, O_NONBLOCK);
    EXPECT_EQ(::read(other, &byte, 1), -1);
    ::close(other);
}

TEST(SingleInstance, ALockSyncedFromAnotherComputerBlocksNoStartButOneHeldThereDoes)
{
    TestFolder home;
    const QString preferences = home.filePath(u"preferences.plist"_qs);
    QFile lock(Paths::lockFileFor(preferences));
    ASSERT_TRUE(lock.open(QIODevice::WriteOnly) && lock.write("4242\nbrimble\nanother-computer\n") > 0);
    lock.flush();
    // Held by a process there, over a file system that shares file locks.
    ASSERT_EQ(::flock(lock.handle(), LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE(SingleInstance(preferences, home.filePath(u"runtime"_qs)).becomePrimary());
    lock.close();
    // A copy the sync tool brought along.
    EXPECT_TRUE(SingleInstance(preferences, home.filePath(u"runtime"_qs)).becomePrimary());
}

TEST(SingleInstance, ASocketPathTooLongForTheSystemIsNeverShortened)
{
    TestFolder home;
    const QString runtime = home.filePath(QString(120, u'r'));
    SingleInstance primary(home.filePath(QStringLiteral("preferences.plist")), runtime);
    EXPECT_TRUE(primary.becomePrimary()) << "the lock alone keeps the store to one process";
    EXPECT_FALSE(primary.sendToPrimary(SingleInstance::showRequest));
    EXPECT_EQ(QDir(runtime).entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System), QStringList());
    const QString shortened = QFile::decodeName(QFile::encodeName(primary.socketPath()).left(107));
    EXPECT_FALSE(QFileInfo::exists(shortened));
}

bool launchChangesSaved(const TestFolder &home)
{
    const auto stored = PlistPreferencesStore::readFile(preferencesPath(home)).root;
    return stored && stored->toMap().contains(StoreKeys::checkUniquiidAdded);
}

TEST(Startup, HelpVersionAndMistakesNeedNoDisplayReadNoStoreAndSpeakTheSystemsLanguage)
{
    // An X display that takes connections and never answers, like the
    // forwarded one of an ssh session whose other end has gone; abstract,
    // as libxcb tries those first.
    const int display = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int number = 4200;
    for (sockaddr_un address{AF_UNIX, {}}; number < 4300; ++number) {
        const QByteArray name = "/tmp/.X11-unix/X" + QByteArray::number(number);
        std::memcpy(address.sun_path + 1, name.constData(), size_t(name.size()));
        const auto length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + size_t(name.size()));
        if (::bind(display, reinterpret_cast<sockaddr *>(&address), length) == 0)
            break;
    }
    ASSERT_EQ(::listen(display, 8), 0);
    const QStringList silentDisplay{u"DISPLAY=:%1"_qs.arg(number), u"QT_QPA_PLATFORM=xcb"_qs};
    const QStringList frenchWithoutDisplay{u"LANGUAGE=fr_FR"_qs, u"DISPLAY="_qs, u"WAYLAND_DISPLAY="_qs,
                                           u"QT_QPA_PLATFORM="_qs};
    const auto error = [](const char *language, const char *key, const char *named = "") -> QByteArray {
        return "brimble: " + keyedText(language, key).replace("%1", named) + '\n';
    };
    // The options, the commands for scripts too.
    const QList<QByteArray> frenchHelp{keyedText("French", "IDS_BR_343"), keyedText("French", "IDS_BR_608")};
    const struct
    {
        QStringList arguments;
        QStringList environment;
        int status;
        QList<QByteArray> expected;
    } runs[] = {
        {{u"--version"_qs}, silentDisplay, 0, {"brimble " BRIMBLE_VERSION "\n"}},
        {{u"--toggle=yes"_qs},
         silentDisplay + QStringList{u"LANGUAGE=fr_FR"_qs},
         1,
         {error("French", "IDS_BR_349", "--toggle")}},
        {{u"--help"_qs}, frenchWithoutDisplay, 0, frenchHelp},
        // Starting without a display says why it cannot.
        {{u"--toggle"_qs}, frenchWithoutDisplay, 1, {error("French", "IDS_BR_340")}},
    };
    // A store that would never end being read.
    TestFolder home;
    QDir().mkpath(home.filePath(u"config/brimble"_qs));
    ASSERT_EQ(::mkfifo(QFile::encodeName(preferencesPath(home)).constData(), 0600), 0);
    for (const auto &run : runs) {
        SCOPED_TRACE(run.arguments.join(u' ').toStdString());
        BrimbleProcess brimble(home, {.arguments = run.arguments, .environment = run.environment});
        ASSERT_TRUE(brimble.finish());
        EXPECT_EQ(brimble.process.exitCode(), run.status);
        const QByteArray printed = brimble.output + brimble.process.readAllStandardError();
        for (const QByteArray &text : run.expected)
            EXPECT_TRUE(printed.contains(text)) << text.toStdString() << "\n" << printed.toStdString();
    }
    ::close(display);
}

TEST(Startup, ALockFileThatCannotBeCreatedOrRemovedIsSaidSo)
{
    const auto refused = [](const TestFolder &home, const RunOptions &options, const char *key, const QString &lock,
                            int error) {
        BrimbleProcess brimble(home, options);
        ASSERT_TRUE(brimble.finish());
        EXPECT_EQ(brimble.process.exitCode(), 1);
        const QString expected =
            QString::fromUtf8(keyedText("English", key)).arg(lock, QString::fromLocal8Bit(std::strerror(error)));
        EXPECT_EQ(brimble.process.readAllStandardError(), "brimble: " + expected.toUtf8() + '\n');
    };
    TestFolder home;
    refused(home, {.fileSizeLimit = rlim_t(0)}, "IDS_BR_440", Paths::lockFileFor(preferencesPath(home)),
            EFBIG); // as a full disk

    // Left by a Brimble that ended, in a folder that may be entered and read, not written.
    TestFolder crashedHome;
    BrimbleProcess crashed(crashedHome);
    ASSERT_TRUE(crashed.waitForLine("en")) << crashed.output.toStdString();
    crashed.process.kill();
    crashed.finish();
    const QString leftLock = Paths::lockFileFor(preferencesPath(crashedHome));
    const QString folder = QFileInfo(leftLock).absolutePath();
    const auto writable = QFile::permissions(folder);
    QFile::setPermissions(folder, writable & ~(QFileDevice::WriteOwner | QFileDevice::WriteUser));
    refused(crashedHome, {.unprivileged = true}, "IDS_BR_580", leftLock, EACCES);
    QFile::setPermissions(folder, writable);
}

TEST(Startup, AFloodOfIdleClientsNeitherStopsSavingNorQuitting)
{
    rlimit files{};
    ::getrlimit(RLIMIT_NOFILE, &files);
    files.rlim_cur = std::min<rlim_t>(files.rlim_max, 4096);
    ::setrlimit(RLIMIT_NOFILE, &files);
    TestFolder home;
    BrimbleProcess brimble(home, {.openFileLimit = rlim_t(64)});
    ASSERT_TRUE(brimble.waitForLine("en"));
    std::vector<int> idle;
    while (idle.size() < std::min<rlim_t>(1000, files.rlim_cur - 64))
        idle.push_back(connectedSocket(home.filePath(u"runtime/brimble/instance.socket"_qs)));
    EXPECT_TRUE(QTest::qWaitFor([&] { return launchChangesSaved(home); }, 10000)) << "nothing saved";
    brimble.terminate();
    for (const int descriptor : idle)
        ::close(descriptor);
}

std::thread::id mainThread;
std::atomic<int> objectsMadeElsewhere = 0;

TEST(Startup, ReadingAheadMakesNoQtObjectOffTheMainThreadBeforeTheApplication)
{
    TestFolder home;
    const QString damaged = home.filePath(u"preferences.plist"_qs);
    QFile file(damaged);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write("bplist00 damaged: its parser warns") > 0);
    file.close();
    const int watch = ::inotify_init1(IN_CLOEXEC);
    ASSERT_GE(::inotify_add_watch(watch, QFile::encodeName(damaged).constData(), IN_CLOSE_NOWRITE), 0);
    mainThread = std::this_thread::get_id();
    const quintptr previousHook = std::exchange(qtHookData[3], reinterpret_cast<quintptr>(+[](QObject *) {
                                                    objectsMadeElsewhere += std::this_thread::get_id() != mainThread;
                                                }));

    StoreReadAhead readAhead(damaged);
    pollfd closed{watch, POLLIN, 0};
    EXPECT_EQ(::poll(&closed, 1, 10000), 1) << "the file was not read";
    EXPECT_EQ(objectsMadeElsewhere, 0);
    readAhead.applicationCreated();
    const auto contents = readAhead.take();
    qtHookData[3] = previousHook;
    ::close(watch);
    EXPECT_TRUE(contents.exists && !contents.root);
}

} // namespace
