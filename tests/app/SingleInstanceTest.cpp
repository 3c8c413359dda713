#include "BrimbleProcess.h"

#include "app/SingleInstance.h"
#include "platform/Paths.h"

#include <QFileInfo>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <thread>

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
        {"fields a command does not take are dropped",
         InstanceMessage::encoded({"list", "query", "x", "target", "/a", "creates-group", "1"}),
         {{Kind::list}},
         false},
        {"a line longer than any request", longest + "\ntoggle\n" + longest + "x\nshow\n", {{Kind::toggle}}, true},
        {"a field longer than any message", huge, {}, true},
        {"a length with a leading zero", "04:list,\n", {}, true},
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

    // Nothing listens where no instance runs.
    const SingleInstance elsewhere(instance.preferences, instance.home.filePath(u"other"_qs));
    EXPECT_EQ(elsewhere.askPrimary(list, false).outcome, SingleInstance::Answer::Outcome::unreachable);
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
