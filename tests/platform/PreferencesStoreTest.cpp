#include "platform/PlistPreferencesStore.h"

#include "platform/AtomicFile.h"
#include "platform/PlistCodec.h"

#include "support/ProcessUntil.h"
#include "support/TestFolders.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace {

void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

class PlistPreferencesStoreTest : public ::testing::Test
{
protected:
    TestFolder folder;
    const QString path = folder.filePath(QStringLiteral("preferences.plist"));
};

TEST_F(PlistPreferencesStoreTest, EveryValueTypeSurvivesARestartAndReadsOnlyAsItsType)
{
    // In a folder not made yet.
    const QString inNewFolder = folder.filePath(QStringLiteral("prefs/preferences.plist"));
    const QVariantMap values{{"string", "Fête <&> \"quoted\""},
                             {"true", true},
                             {"false", false},
                             {"integer", qint64(9007199254740993)},
                             {"negative", qint64(-42)},
                             {"real", 0.1},
                             {"date", QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58), Qt::UTC)},
                             {"old date", QDateTime(QDate(1999, 1, 1), QTime(0, 0, 1), Qt::UTC)},
                             {"data", QByteArray("\x00\x01\xfe\xff", 4)},
                             {"array", QVariantList{"a", qint64(1), QVariantList{true}}},
                             {"dictionary", QVariantMap{{"nested", QVariantMap{{"k", 2.5}}}}}};
    {
        PlistPreferencesStore store(inNewFolder);
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            store.setObject(it.value(), it.key());
        store.setObject(QStringLiteral("gone"), QStringLiteral("removed"));
        store.removeObjectForKey(QStringLiteral("removed"));
    }
    struct stat info
    {
    };
    ASSERT_EQ(::stat(QFile::encodeName(inNewFolder).constData(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    PlistPreferencesStore reopened(inNewFolder);
    EXPECT_EQ(reopened.allKeys().size(), values.size());
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        EXPECT_EQ(reopened.objectForKey(it.key()), it.value()) << it.key().toStdString();
    // Typed reads answer for their own type only.
    EXPECT_EQ(reopened.integerForKey(QStringLiteral("integer")), 9007199254740993);
    EXPECT_EQ(reopened.boolForKey(QStringLiteral("true")), true);
    EXPECT_FALSE(reopened.integerForKey(QStringLiteral("string")) || reopened.integerForKey(QStringLiteral("true"))
                 || reopened.integerForKey(QStringLiteral("real")) || reopened.boolForKey(QStringLiteral("integer"))
                 || reopened.stringForKey(QStringLiteral("integer")) || reopened.arrayForKey(QStringLiteral("string"))
                 || reopened.dictionaryForKey(QStringLiteral("array")));
}

TEST_F(PlistPreferencesStoreTest, LongListsOfRecordsReadWhenAskedForAndMoveWhole)
{
    QVariantList records;
    for (int i = 0; i < 40; ++i)
        records.append(QVariantMap{{"title", QStringLiteral("Item %1").arg(i)},
                                   {"uid", qint64(i)},
                                   {"date", QDateTime(QDate(2024, 5, 1), QTime(8, 0), Qt::UTC)}});
    const QVariantList mixed = records + QVariantList{"not a record"};
    {
        PlistPreferencesStore store(path);
        store.setObject(records, QStringLiteral("Group"));
        store.setObject(records, QStringLiteral("Other"));
        store.setObject(mixed, QStringLiteral("mixed"));
        store.setObject(QStringLiteral("text"), QStringLiteral("string"));
    }
    {
        PlistPreferencesStore store(path);
        EXPECT_TRUE(store.holdsListOfDictionaries(QStringLiteral("Group")));
        EXPECT_FALSE(store.holdsListOfDictionaries(QStringLiteral("mixed")));
        store.moveObjects({{QStringLiteral("Group"), QStringLiteral("items:Group")},
                           {QStringLiteral("absent"), QStringLiteral("items:absent")}});
        ASSERT_TRUE(store.flush());
    }
    PlistPreferencesStore reopened(path);
    EXPECT_EQ(reopened.objectForKey(QStringLiteral("items:Group")), QVariant(records));
    EXPECT_EQ(reopened.objectForKey(QStringLiteral("Other")), QVariant(records));
    EXPECT_EQ(reopened.objectForKey(QStringLiteral("mixed")), QVariant(mixed));
    EXPECT_FALSE(reopened.hasObjectForKey(QStringLiteral("Group"))
                 || reopened.hasObjectForKey(QStringLiteral("items:absent")));

    // Damage deep inside a long list still counts at load, not at first use.
    QVariant deep = QVariantList{};
    for (int depth = 0; depth < 100; ++depth)
        deep = QVariantList{deep};
    writeBytes(path,
               PlistCodec::toBinary(QVariantMap{{"Group", records + QVariantList{QVariantMap{{"title", deep}}}}}));
    PlistPreferencesStore damaged(path);
    EXPECT_EQ(damaged.loadProblem(), PlistPreferencesStore::LoadProblem::setAside);
    EXPECT_FALSE(damaged.hasObjectForKey(QStringLiteral("Group")));
}

TEST_F(PlistPreferencesStoreTest, DamagedFileIsKeptAsideAndNeverOverwritten)
{
    // Cut short, not a dictionary, and nested far deeper than any store.
    for (const QByteArray &content : {QByteArray("<?xml version=\"1.0\"?><plist><dict><key>allgroups</key><array>"),
                                      QByteArray("<plist><string>not a dictionary</string></plist>"),
                                      QByteArray("<plist>" + QByteArray("<array>").repeated(100000) + "</plist>")}) {
        writeBytes(path, content);
        PlistPreferencesStore store(path);
        EXPECT_EQ(store.loadProblem(), PlistPreferencesStore::LoadProblem::setAside);
        EXPECT_TRUE(store.allKeys().isEmpty());
        EXPECT_TRUE(store.setAsideFilePath().startsWith(path + QStringLiteral(".corrupt-")));
        store.setInteger(1, QStringLiteral("first"));
        EXPECT_TRUE(store.flush());
        QFile aside(store.setAsideFilePath());
        EXPECT_TRUE(aside.open(QIODevice::ReadOnly) && aside.readAll() == content);
        EXPECT_EQ(PlistPreferencesStore(path).integerForKey(QStringLiteral("first")), 1);
        QFile::remove(store.setAsideFilePath());
    }
}

TEST_F(PlistPreferencesStoreTest, UnreadableOrUnmovableFilesAreReportedAndNeverOverwritten)
{
    // Something that exists but cannot be read is left alone and never written.
    const QString unreadable = folder.filePath(QStringLiteral("unreadable.plist"));
    QDir().mkpath(unreadable + QStringLiteral("/inside"));
    {
        PlistPreferencesStore store(unreadable);
        EXPECT_EQ(store.loadProblem(), PlistPreferencesStore::LoadProblem::unreadable);
        EXPECT_EQ(store.readRefusal(), RegularFile::Refusal::notRegularFile);
        EXPECT_TRUE(store.flush()) << "nothing changed yet";
        store.setInteger(1, QStringLiteral("first"));
        EXPECT_EQ(store.integerForKey(QStringLiteral("first")), 1) << "kept in memory";
        EXPECT_FALSE(store.flush()) << "the change cannot be saved";
    }
    EXPECT_TRUE(QFileInfo(unreadable + QStringLiteral("/inside")).isDir());
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList{"unreadable.plist"});

    // A damaged file in a folder that refuses the move (even to root).
    PlistPreferencesStore unmovable(QStringLiteral("/proc/self/cmdline"));
    EXPECT_EQ(unmovable.loadProblem(), PlistPreferencesStore::LoadProblem::damagedKept);
    EXPECT_FALSE(unmovable.isWritable());
    unmovable.setInteger(1, QStringLiteral("first"));
    EXPECT_FALSE(unmovable.flush());
}

TEST_F(PlistPreferencesStoreTest, AFailedWriteIsRetriedAndReportedOnce)
{
    PlistPreferencesStore store(path, std::chrono::milliseconds(20));
    int reports = 0;
    store.setSaveFailureHandler([&] { ++reports; });

    // A folder where the temporary file goes makes every write fail.
    const QString blocker = AtomicFile::temporaryPathFor(path, QCoreApplication::applicationPid());
    QDir().mkpath(blocker + QStringLiteral("/inside"));
    store.setInteger(1, QStringLiteral("a"));
    store.setInteger(2, QStringLiteral("b"));
    EXPECT_FALSE(store.flush());
    // The report arrives through the event loop; a forced try that fails
    // again must not bring a second one.
    ASSERT_TRUE(processUntil([&] { return reports > 0; }));
    EXPECT_FALSE(store.flush());
    QCoreApplication::processEvents();
    EXPECT_EQ(reports, 1);

    QDir(blocker).removeRecursively();
    EXPECT_TRUE(processUntil([&] { return QFileInfo(path).isFile(); }, 60000)) << "retried without a new change";
    PlistPreferencesStore reopened(path);
    EXPECT_EQ(reopened.integerForKey(QStringLiteral("a")), 1);
    EXPECT_EQ(reopened.integerForKey(QStringLiteral("b")), 2);
    QCoreApplication::processEvents();
    EXPECT_EQ(reports, 1);
}

TEST_F(PlistPreferencesStoreTest, HeldWritesReachTheFileAtFlushOrAtTheEnd)
{
    {
        PlistPreferencesStore store(path);
        store.holdWritesFor(std::chrono::hours(1));
        store.setInteger(1, QStringLiteral("a"));
        store.setInteger(2, QStringLiteral("b"));
        QThread::msleep(200);
        EXPECT_FALSE(QFileInfo::exists(path)) << "held changes stay in memory";
        EXPECT_TRUE(store.flush());
        EXPECT_EQ(PlistPreferencesStore(path).integerForKey(QStringLiteral("b")), 2);

        // A hold that outlives the store still lets its last change through.
        store.holdWritesFor(std::chrono::hours(1));
        store.setInteger(3, QStringLiteral("c"));
    }
    EXPECT_EQ(PlistPreferencesStore(path).integerForKey(QStringLiteral("c")), 3);

    PlistPreferencesStore store(path);
    store.holdWritesFor(std::chrono::milliseconds(50));
    store.setInteger(4, QStringLiteral("d"));
    EXPECT_TRUE(processUntil([&] { return PlistPreferencesStore(path).integerForKey(QStringLiteral("d")) == 4; }))
        << "written when the hold ends, without a flush";
}

TEST_F(PlistPreferencesStoreTest, AFileReadAheadIsUsedOnlyWhileItIsUnchanged)
{
    PlistPreferencesStore(path).setInteger(1, QStringLiteral("version"));

    PlistPreferencesStore::FileContents early = PlistPreferencesStore::readFile(path);
    EXPECT_EQ(PlistPreferencesStore(path, std::chrono::seconds(1), early).integerForKey(QStringLiteral("version")), 1);

    // The process that held the store saved once more before it let go.
    PlistPreferencesStore(path).setInteger(2, QStringLiteral("version"));
    EXPECT_EQ(PlistPreferencesStore(path, std::chrono::seconds(1), early).integerForKey(QStringLiteral("version")), 2);
}

// A writer process is killed at many moments while it rewrites a large
// store; every time, the file left behind must parse and hold a whole version.
TEST_F(PlistPreferencesStoreTest, AProcessKilledWhileWritingLeavesAWholeFile)
{
    for (int round = 0; round < 12; ++round) {
        QProcess writer;
        writer.start(QStringLiteral(BRIMBLE_PREFS_WRITER), {path});
        ASSERT_TRUE(writer.waitForStarted());
        ASSERT_TRUE(writer.waitForReadyRead(10000)); // first version on disk
        QThread::msleep(5 + round * 7);
        writer.kill();
        writer.waitForFinished();

        PlistPreferencesStore store(path);
        EXPECT_TRUE(store.setAsideFilePath().isEmpty()) << "round " << round;
        const QVariantMap payload = store.dictionaryForKey(QStringLiteral("payload")).value_or(QVariantMap());
        const QVariantList items = payload.value(QStringLiteral("items")).toList();
        ASSERT_EQ(items.size(), 5000) << "round " << round;
        EXPECT_EQ(items.last().toMap().value(QStringLiteral("version")), payload.value(QStringLiteral("version")));
    }
}

} // namespace
