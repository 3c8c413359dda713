// The real brimble before its window: the command line, the single-instance
// lock and socket, and reading the store ahead.

#include "BrimbleProcess.h"

#include "app/SingleInstance.h"
#include "app/StoreReadAhead.h"
#include "platform/Paths.h"
#include "platform/PlistPreferencesStore.h"
#include "store/StoreKeys.h"

#include <QElapsedTimer>
#include <QTest>

#include <atomic>
#include <cstddef>
#include <thread>

#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>

// Qt calls the hook in slot 3 of this table (the one debugging tools use)
// for every QObject made.
extern Q_DECL_IMPORT quintptr qtHookData[];

namespace {

bool launchChangesSaved(const TestFolder &home)
{
    const auto stored = PlistPreferencesStore::readFile(preferencesPath(home)).root;
    return stored && stored->toMap().contains(StoreKeys::checkUniquiidAdded);
}

TEST(Startup, HelpVersionAndMistakesNeedNoDisplayAndReadNoStore)
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
    for (const bool fifo : {true, false}) {
        TestFolder home;
        QDir().mkpath(home.filePath(u"config/brimble"_qs));
        const QByteArray store = QFile::encodeName(preferencesPath(home));
        ASSERT_EQ(fifo ? ::mkfifo(store.constData(), 0600) : ::symlink("/dev/zero", store.constData()), 0);
        const struct
        {
            QStringList arguments;
            int status;
            QByteArray expected;
        } runs[] = {
            {{u"--version"_qs}, 0, "brimble " BRIMBLE_VERSION "\n"},
            {{u"-platform"_qs, u"xcb"_qs, u"--help"_qs}, 0, keyedText("English", "IDS_BR_347")},
            {{u"--bogus"_qs}, 1, "brimble: " + keyedText("English", "IDS_BR_348").replace("%1", "--bogus") + '\n'},
        };
        for (const auto &run : runs) {
            BrimbleProcess brimble(home, {.arguments = run.arguments, .environment = silentDisplay});
            ASSERT_TRUE(brimble.finish()) << run.arguments.join(u' ').toStdString();
            EXPECT_EQ(brimble.process.exitCode(), run.status);
            EXPECT_TRUE(QByteArray(brimble.output + brimble.process.readAllStandardError()).contains(run.expected));
        }
    }
    ::close(display);
}

TEST(Startup, AskingTheRunningBrimbleReadsNoStore)
{
    TestFolder home;
    BrimbleProcess running(home);
    ASSERT_TRUE(running.waitForLine("en"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return launchChangesSaved(home); }, 10000));
    // The folder is watched, as the running one replaces the file to save it.
    const int watch = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(::inotify_add_watch(watch, QFile::encodeName(home.filePath(u"config/brimble"_qs)).constData(), IN_OPEN),
              0);
    // The running one may still look at its own save (its watcher sees the
    // file replaced): the others are asked once the folder has been quiet a while.
    char events[4096];
    QElapsedTimer quiet;
    quiet.start();
    for (int waited = 0; quiet.elapsed() < 1500 && waited < 15000; waited += 50) {
        if (::read(watch, events, sizeof events) > 0)
            quiet.restart();
        QTest::qWait(50);
    }
    for (const QStringList &arguments : {QStringList{u"--toggle"_qs}, QStringList{}})
        EXPECT_EQ(exitCodeOf(home, {.arguments = arguments}), 0);
    const QByteArray opened(events, qMax<ssize_t>(0, ::read(watch, events, sizeof events)));
    EXPECT_FALSE(opened.contains(QByteArrayView("preferences.plist\0", 18))) << "the store was opened";
    ::close(watch);
    running.terminate();
}

TEST(Startup, ALockFileThatCannotBeCreatedIsSaidSo)
{
    TestFolder home;
    QFile notAFolder(home.filePath(u"file"_qs));
    ASSERT_TRUE(notAFolder.open(QIODevice::WriteOnly));
    const struct
    {
        RunOptions options;
        QString lockFile;
        int error;
    } cases[] = {
        {{.fileSizeLimit = rlim_t(0)}, Paths::lockFileFor(preferencesPath(home)), EFBIG}, // as a full disk
        {{.environment = {u"XDG_CONFIG_HOME="_qs + notAFolder.fileName()}},
         Paths::lockFileFor(notAFolder.fileName() + u"/brimble/preferences.plist"_qs),
         ENOTDIR},
    };
    for (const auto &run : cases) {
        BrimbleProcess brimble(home, run.options);
        ASSERT_TRUE(brimble.finish());
        EXPECT_EQ(brimble.process.exitCode(), 1);
        const QString expected = QString::fromUtf8(keyedText("English", "IDS_BR_440"))
                                     .arg(run.lockFile, QString::fromLocal8Bit(std::strerror(run.error)));
        EXPECT_EQ(brimble.process.readAllStandardError(), "brimble: " + expected.toUtf8() + '\n');
    }
}

TEST(Startup, ALockLeftByAnEndedBrimbleInAFolderThatCannotBeWrittenIsSaidSo)
{
    TestFolder home;
    BrimbleProcess crashed(home);
    ASSERT_TRUE(crashed.waitForLine("en")) << crashed.output.toStdString();
    crashed.process.kill();
    crashed.finish();
    const QString lockFile = Paths::lockFileFor(preferencesPath(home));
    ASSERT_TRUE(QFile::exists(lockFile));

    // The folder may be entered and read, not written; the lock stays.
    const QString folder = QFileInfo(lockFile).absolutePath();
    const auto writable = QFile::permissions(folder);
    QFile::setPermissions(folder, writable & ~(QFileDevice::WriteOwner | QFileDevice::WriteUser));
    BrimbleProcess brimble(home, {.unprivileged = true});
    ASSERT_TRUE(brimble.finish());
    QFile::setPermissions(folder, writable);
    EXPECT_EQ(brimble.process.exitCode(), 1);
    const QString expected = QString::fromUtf8(keyedText("English", "IDS_BR_580"))
                                 .arg(lockFile, QString::fromLocal8Bit(std::strerror(EACCES)));
    EXPECT_EQ(brimble.process.readAllStandardError(), "brimble: " + expected.toUtf8() + '\n');

    // Once the folder can be written, the lock left behind blocks no start.
    BrimbleProcess next(home);
    EXPECT_TRUE(next.waitForLine("en")) << next.process.readAllStandardError().toStdString();
    next.terminate();
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
    EXPECT_LE(brimble.process.readAllStandardError().count("brimble.app.instance"), 1);
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

    // Only a regular file is read: a FIFO would wait for a writer.
    const QString fifo = home.filePath(u"fifo"_qs);
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    EXPECT_EQ(StoreReadAhead(fifo).take().refusal, RegularFile::Refusal::notRegularFile);
}

} // namespace
