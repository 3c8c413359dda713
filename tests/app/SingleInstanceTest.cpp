#include "BrimbleProcess.h"

#include "app/SingleInstance.h"
#include "platform/Paths.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

namespace {

void writeText(int descriptor, const char *text)
{
    EXPECT_EQ(::write(descriptor, text, std::strlen(text)), ssize_t(std::strlen(text)));
}

TEST(SingleInstance, ReadsRequestsThatArriveInPiecesWhileAnotherClientStaysSilent)
{
    TestFolder home;
    const QString preferences = home.filePath(QStringLiteral("config/preferences.plist"));
    const QString runtime = home.filePath(QStringLiteral("runtime"));
    // A crashed process left its socket file behind.
    QDir().mkpath(runtime);
    ::close(connectedSocket(runtime + QStringLiteral("/instance.socket"), false));

    SingleInstance primary(preferences, runtime);
    ASSERT_TRUE(primary.becomePrimary());
    primary.acceptRequests();
    struct stat status;
    ASSERT_EQ(::stat(QFile::encodeName(primary.socketPath()).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u);
    QSignalSpy received(&primary, &SingleInstance::requestReceived);

    const int silent = connectedSocket(primary.socketPath());
    const int slow = connectedSocket(primary.socketPath());
    writeText(slow, "\nbogus\nsh");
    QTest::qWait(50);
    writeText(slow, "ow\ntog");
    ASSERT_TRUE(received.wait(2000));
    writeText(slow, "gle\n");
    ::close(slow);
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 2; }, 2000));

    const SingleInstance later(preferences, runtime);
    EXPECT_FALSE(SingleInstance(preferences, runtime).becomePrimary());
    EXPECT_TRUE(later.sendToPrimary(SingleInstance::showRequest));
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 3; }, 2000));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(received.at(i).at(0).toByteArray(), QByteArrayList({"show", "toggle", "show"}).at(i));
    ::close(silent);
}

TEST(SingleInstance, AClientsLineLongerThanAnyRequestEndsItsReading)
{
    const QByteArray longest(InstanceRequestParser::maximumLineBytes, 'x');
    InstanceRequestParser parser;
    EXPECT_EQ(parser.append(QByteArray(longest + "\ntoggle\n" + longest)), QByteArrayList{"toggle"});
    EXPECT_FALSE(parser.overflowed());
    EXPECT_EQ(parser.append("x\nshow\n"), QByteArrayList());
    EXPECT_TRUE(parser.overflowed());
}

TEST(SingleInstance, ALockSyncedFromAnotherComputerBlocksNoStartButOneHeldThereDoes)
{
    TestFolder home;
    const QString preferences = home.filePath(QStringLiteral("preferences.plist"));
    const QString lock = Paths::lockFileFor(preferences);
    const auto writeLock = [&] {
        QFile file(lock);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("4242\nbrimble\nanother-computer\n");
    };
    // Held by a process there, over a file system that shares file locks.
    writeLock();
    const int held = ::open(QFile::encodeName(lock).constData(), O_RDWR);
    ASSERT_EQ(::flock(held, LOCK_EX | LOCK_NB), 0);
    EXPECT_FALSE(SingleInstance(preferences, home.filePath(QStringLiteral("runtime"))).becomePrimary());
    ::close(held);

    // A copy the sync tool brought along.
    SingleInstance primary(preferences, home.filePath(QStringLiteral("runtime")));
    EXPECT_TRUE(primary.becomePrimary());
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

} // namespace
