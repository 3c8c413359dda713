// The preferences file shared with other programs: sync tools, editors,
// links into synced folders, and whatever else sits at its path.

#include "platform/PlistPreferencesStore.h"

#include "platform/AtomicFile.h"
#include "platform/Paths.h"
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

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using OutsideChange = PlistPreferencesStore::OutsideChange;
using Kind = OutsideChange::Kind;
using LoadProblem = PlistPreferencesStore::LoadProblem;

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct stat statusOf(const QString &path, bool followLinks = true)
{
    struct stat status
    {
    };
    const QByteArray name = QFile::encodeName(path);
    followLinks ? ::stat(name.constData(), &status) : ::lstat(name.constData(), &status);
    return status;
}

// As an editor that does not write atomically: the same file rewritten.
void rewriteInPlace(const QString &target, const QByteArray &bytes)
{
    QFile file(target);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

class PreferencesStoreTest : public ::testing::Test
{
protected:
    // As a sync tool writes: a new file renamed over the old one.
    void replaceElsewhere(const QVariantMap &values, const QString &at = {})
    {
        const QString target = at.isEmpty() ? path : at;
        rewriteInPlace(target + u".incoming"_qs, PlistCodec::toBinary(values));
        ASSERT_EQ(
            ::rename(QFile::encodeName(target + u".incoming"_qs).constData(), QFile::encodeName(target).constData()),
            0);
    }
    QVariantMap onDisk() const { return PlistCodec::parse(readAll(path)).value_or(QVariant()).toMap(); }
    QStringList entries(const QString &in = {}) const
    {
        return QDir(in.isEmpty() ? folder.path() : in)
            .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System);
    }

    TestFolder folder;
    const QString path = folder.filePath(u"preferences.plist"_qs);
};

TEST_F(PreferencesStoreTest, EveryValueTypeSurvivesARestartAndReadsOnlyAsItsType)
{
    // In folders not made yet, which are made private.
    const QString inNewFolder = folder.filePath(u"made/brimble/preferences.plist"_qs);
    const QVariantMap values{{"string", "Fête <&> \"quoted\""},
                             {"true", true},
                             {"integer", qint64(9007199254740993)},
                             {"real", 0.1},
                             {"date", QDateTime(QDate(2024, 2, 29), QTime(23, 59, 58), Qt::UTC)},
                             {"array", QVariantList{"a", qint64(1), QVariantList{true}}},
                             {"dictionary", QVariantMap{{"nested", QVariantMap{{"k", 2.5}}}}}};
    {
        PlistPreferencesStore store(inNewFolder);
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            store.setObject(it.value(), it.key());
        store.setObject(QStringLiteral("gone"), QStringLiteral("removed"));
        store.removeObjectForKey(QStringLiteral("removed"));
    }
    EXPECT_EQ(statusOf(inNewFolder).st_mode & 0777, 0600u);
    EXPECT_EQ(statusOf(folder.filePath(u"made"_qs)).st_mode & 07777, 0700u);
    EXPECT_EQ(statusOf(folder.filePath(u"made/brimble"_qs)).st_mode & 07777, 0700u);

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

TEST_F(PreferencesStoreTest, LongListsOfRecordsReadWhenAskedForAndMoveWhole)
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
        store.setObject(mixed, QStringLiteral("mixed"));
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
    EXPECT_EQ(reopened.objectForKey(QStringLiteral("mixed")), QVariant(mixed));
    EXPECT_FALSE(reopened.hasObjectForKey(QStringLiteral("Group"))
                 || reopened.hasObjectForKey(QStringLiteral("items:absent")));

    // Damage deep inside a long list still counts at load, not at first use.
    QVariant deep = QVariantList{};
    for (int depth = 0; depth < 100; ++depth)
        deep = QVariantList{deep};
    rewriteInPlace(path,
                   PlistCodec::toBinary(QVariantMap{{"Group", records + QVariantList{QVariantMap{{"title", deep}}}}}));
    PlistPreferencesStore damaged(path);
    EXPECT_EQ(damaged.loadProblem(), LoadProblem::setAside);
    EXPECT_FALSE(damaged.hasObjectForKey(QStringLiteral("Group")));
}

TEST_F(PreferencesStoreTest, DamagedFileIsKeptAsideAndNeverOverwritten)
{
    // Cut short, and not a dictionary.
    for (const QByteArray &content : {QByteArray("<?xml version=\"1.0\"?><plist><dict><key>allgroups</key><array>"),
                                      QByteArray("<plist><string>not a dictionary</string></plist>")}) {
        rewriteInPlace(path, content);
        PlistPreferencesStore store(path);
        EXPECT_EQ(store.loadProblem(), LoadProblem::setAside);
        EXPECT_TRUE(store.allKeys().isEmpty());
        EXPECT_TRUE(store.setAsideFilePath().startsWith(path + QStringLiteral(".corrupt-")));
        store.setInteger(1, QStringLiteral("first"));
        EXPECT_TRUE(store.flush());
        EXPECT_EQ(readAll(store.setAsideFilePath()), content);
        EXPECT_EQ(PlistPreferencesStore(path).integerForKey(QStringLiteral("first")), 1);
        QFile::remove(store.setAsideFilePath());
    }

    // A damaged file in a folder that refuses the move (even to root).
    PlistPreferencesStore unmovable(QStringLiteral("/proc/self/cmdline"));
    EXPECT_EQ(unmovable.loadProblem(), LoadProblem::damagedKept);
    EXPECT_FALSE(unmovable.isWritable());
    unmovable.setInteger(1, QStringLiteral("first"));
    EXPECT_FALSE(unmovable.flush());
}

TEST_F(PreferencesStoreTest, AFailedWriteIsRetriedAndReportedOnce)
{
    PlistPreferencesStore store(path, std::chrono::milliseconds(20));
    int reports = 0;
    store.setSaveFailureHandler([&] { ++reports; });

    // A folder where the temporary file goes makes every write fail.
    const QString blocker = AtomicFile::temporaryPathFor(path, QCoreApplication::applicationPid());
    QDir().mkpath(blocker + QStringLiteral("/inside"));
    store.setInteger(1, QStringLiteral("a"));
    EXPECT_FALSE(store.flush());
    // The report arrives through the event loop; a forced try that fails
    // again must not bring a second one.
    ASSERT_TRUE(processUntil([&] { return reports > 0; }));
    EXPECT_FALSE(store.flush());
    QCoreApplication::processEvents();
    EXPECT_EQ(reports, 1);

    QDir(blocker).removeRecursively();
    EXPECT_TRUE(processUntil([&] { return QFileInfo(path).isFile(); }, 60000)) << "retried without a new change";
    EXPECT_EQ(PlistPreferencesStore(path).integerForKey(QStringLiteral("a")), 1);
    EXPECT_EQ(reports, 1);
}

TEST_F(PreferencesStoreTest, HeldWritesReachTheFileAtFlushOrAtTheEnd)
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

TEST_F(PreferencesStoreTest, AFileReadAheadIsUsedOnlyWhileItIsUnchanged)
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
TEST_F(PreferencesStoreTest, AProcessKilledWhileWritingLeavesAWholeFile)
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

TEST_F(PreferencesStoreTest, NothingIsWrittenOverAVersionTheStoreHasNotRead)
{
    enum class Way { renamedOver, inPlace, inPlaceSameSizeAndTime };
    for (const Way way : {Way::renamedOver, Way::inPlace, Way::inPlaceSameSizeAndTime}) {
        QFile::remove(path);
        PlistPreferencesStore store(path);
        store.setObject(u"aaaa"_qs, u"mine"_qs);
        ASSERT_TRUE(store.flush());

        const QVariantMap theirs{{u"mine"_qs, u"aaaa"_qs}, {u"theirs"_qs, u"bbbb"_qs}};
        if (way == Way::renamedOver) {
            replaceElsewhere(theirs);
        } else if (way == Way::inPlace) {
            rewriteInPlace(path, PlistCodec::toBinary(theirs));
        } else {
            // A change that leaves size, inode and time as they were: only
            // the bytes tell.
            const struct stat before = statusOf(path);
            QByteArray bytes = readAll(path);
            const qsizetype at = bytes.indexOf("aaaa");
            ASSERT_GE(at, 0);
            bytes.replace(at, 4, "zzzz");
            rewriteInPlace(path, bytes);
            const timespec times[2] = {before.st_atim, before.st_mtim};
            ASSERT_EQ(::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0), 0);
        }
        store.setObject(u"cccc"_qs, u"later"_qs);
        ASSERT_TRUE(store.flush());
        const QVariantMap saved = onDisk();
        EXPECT_EQ(saved.value(u"later"_qs), u"cccc"_qs) << int(way);
        if (way == Way::inPlaceSameSizeAndTime)
            EXPECT_EQ(saved.value(u"mine"_qs), u"zzzz"_qs) << "the other program's edit is kept";
        else
            EXPECT_EQ(saved.value(u"theirs"_qs), u"bbbb"_qs) << int(way);
        EXPECT_EQ(store.objectForKey(u"theirs"_qs), saved.value(u"theirs"_qs)) << "memory holds the merge too";
    }

    // Storing what is stored already writes nothing.
    PlistPreferencesStore store(path);
    const struct stat before = statusOf(path);
    store.setObject(u"cccc"_qs, u"later"_qs);
    store.applyChanges({{u"later"_qs, u"cccc"_qs}}, {u"absent"_qs});
    ASSERT_TRUE(store.flush());
    const struct stat after = statusOf(path);
    EXPECT_TRUE(before.st_ino == after.st_ino && before.st_mtim.tv_nsec == after.st_mtim.tv_nsec);
}

TEST_F(PreferencesStoreTest, OutsideChangesAreMergedAsTheyHappenAndHalfWrittenFilesAreWaitedFor)
{
    PlistPreferencesStore store(path);
    store.setInteger(1, u"mine"_qs);
    ASSERT_TRUE(store.flush());
    QList<OutsideChange> changes;
    store.setOutsideChangeHandler([&](const OutsideChange &change) { changes.append(change); });
    store.watchForOutsideChanges();

    replaceElsewhere({{u"mine"_qs, 1}, {u"theirs"_qs, 2}});
    ASSERT_TRUE(processUntil([&] { return store.hasObjectForKey(u"theirs"_qs); }));
    ASSERT_EQ(changes.size(), 1);
    EXPECT_EQ(changes.first().kind, Kind::merged);

    // A tool that writes in pieces: the first piece alone does not parse.
    const QByteArray whole = PlistCodec::toXml(QVariantMap{{u"mine"_qs, 1}, {u"theirs"_qs, 3}});
    rewriteInPlace(path, whole.left(whole.size() / 2));
    processUntil([] { return false; }, 300); // the first piece is seen
    QFile rest(path);
    ASSERT_TRUE(rest.open(QIODevice::Append));
    rest.write(whole.mid(whole.size() / 2));
    rest.close();
    ASSERT_TRUE(processUntil([&] { return store.integerForKey(u"theirs"_qs) == 3; }));
    EXPECT_EQ(entries(), QStringList{u"preferences.plist"_qs}) << "nothing was taken for damaged";

    // A file that stays damaged is kept aside, and the store's own version
    // takes its place.
    changes.clear();
    rewriteInPlace(path, "<plist><dict><key>cut short");
    ASSERT_TRUE(processUntil([&] { return !changes.isEmpty(); }));
    EXPECT_EQ(changes.first().kind, Kind::damagedSetAside);
    EXPECT_EQ(readAll(changes.first().path), "<plist><dict><key>cut short");
    ASSERT_TRUE(store.flush());
    EXPECT_EQ(onDisk().value(u"theirs"_qs), 3);
}

TEST_F(PreferencesStoreTest, ALinkedStoreIsWrittenThroughAndStaysALink)
{
    // The link's target, in a synced folder not made yet.
    const QString root = QFileInfo(folder.path()).canonicalFilePath();
    const QString config = root + u"/config"_qs;
    const QString target = root + u"/synced/brimble/preferences.plist"_qs;
    QDir().mkpath(config);
    const QString link = config + u"/preferences.plist"_qs;
    ASSERT_TRUE(QFile::link(u"../synced/brimble/preferences.plist"_qs, link));
    EXPECT_EQ(Paths::resolvedFile(link), target);
    EXPECT_EQ(Paths::lockFileFor(link), Paths::lockFileFor(target)) << "one lock, whichever path leads to the file";
    {
        PlistPreferencesStore store(link);
        store.setInteger(1, u"first"_qs);
        ASSERT_TRUE(store.flush());
        EXPECT_EQ(store.targetPath(), target);
    }
    EXPECT_TRUE(S_ISLNK(statusOf(link, false).st_mode));
    EXPECT_EQ(PlistPreferencesStore(target).integerForKey(u"first"_qs), 1);
    EXPECT_EQ(entries(config), QStringList{u"preferences.plist"_qs}) << "no temporary file beside the link";
}

TEST_F(PreferencesStoreTest, ConflictCopiesAreMergedOnceAndMovedAside)
{
    const QStringList copies{u"preferences.sync-conflict-20250301-120000-ABCDEFG.plist"_qs,
                             u"preferences (conflicted copy 2025-03-01 120000).plist"_qs,
                             u"preferences (Alex's conflicted copy 2025-03-01 (1)).plist"_qs,
                             u"preferences_conflict-20250301-120000.plist"_qs};
    const QStringList notCopies{u"preferences.plist.bak"_qs, u"other.sync-conflict-20250301-120000-ABCDEFG.plist"_qs,
                                u"preferences (copy).plist"_qs};
    for (const QString &name : notCopies + copies)
        replaceElsewhere({{u"tasks"_qs, QVariantList{u"x"_qs, QString(u"from "_qs + name)}}}, folder.filePath(name));
    PlistPreferencesStore store(path);
    store.setObject(QVariantList{u"x"_qs, u"mine"_qs}, u"tasks"_qs);
    QList<OutsideChange> changes;
    store.setOutsideChangeHandler([&](const OutsideChange &change) { changes.append(change); });

    EXPECT_TRUE(store.mergeOutsideChanges());
    QStringList tasks;
    for (const QVariant &task : store.arrayForKey(u"tasks"_qs).value_or(QVariantList()))
        tasks.append(task.toString());
    for (const QString &name : copies) {
        EXPECT_TRUE(tasks.contains(u"from "_qs + name)) << name.toStdString();
        EXPECT_TRUE(QFileInfo::exists(folder.filePath(u"conflicts/"_qs + name))) << name.toStdString();
    }
    EXPECT_TRUE(tasks.contains(u"mine"_qs));
    EXPECT_EQ(tasks.count(u"x"_qs), 1) << "what both hold is not doubled";
    EXPECT_EQ(changes.size(), copies.size());
    for (const OutsideChange &change : std::as_const(changes))
        EXPECT_TRUE(change.kind == Kind::conflictCopyMerged && change.path.contains(u"/conflicts/"_qs));
    for (const QString &name : notCopies)
        EXPECT_TRUE(QFileInfo::exists(folder.filePath(name))) << name.toStdString();

    changes.clear();
    EXPECT_FALSE(store.mergeOutsideChanges());
    EXPECT_TRUE(changes.isEmpty()) << "told once";
}

TEST_F(PreferencesStoreTest, OnlyRegularFilesOfBoundedSizeAreReadAndNoneElseIsWritten)
{
    const QString pipe = folder.filePath(u"pipe"_qs), inside = folder.filePath(u"folder"_qs),
                  large = folder.filePath(u"large"_qs);
    ::mkfifo(QFile::encodeName(pipe).constData(), 0600);
    QDir().mkpath(inside);
    QFile file(large);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.resize(largestStoreFile + 1)); // sparse: costs no disk
    for (const auto &[at, refusal] : {std::pair{pipe, RegularFile::Refusal::notRegularFile},
                                      {inside, RegularFile::Refusal::notRegularFile},
                                      {large, RegularFile::Refusal::tooLarge}}) {
        const struct stat before = statusOf(at, false);
        {
            PlistPreferencesStore store(at);
            EXPECT_EQ(store.loadProblem(), LoadProblem::unreadable) << at.toStdString();
            EXPECT_EQ(store.readRefusal(), refusal) << at.toStdString();
            EXPECT_TRUE(store.flush()) << "nothing changed yet";
            store.setInteger(1, u"first"_qs);
            EXPECT_EQ(store.integerForKey(u"first"_qs), 1) << "kept in memory";
            EXPECT_FALSE(store.flush()) << at.toStdString();
        }
        const struct stat after = statusOf(at, false);
        EXPECT_TRUE(before.st_mode == after.st_mode && before.st_ino == after.st_ino && before.st_size == after.st_size)
            << at.toStdString() << " is left as it was";
    }
    EXPECT_EQ(entries(), QStringList({u"folder"_qs, u"large"_qs, u"pipe"_qs}));
}

TEST_F(PreferencesStoreTest, LeftoversOfInterruptedWritesGoAtTheNextStartOnlyWhenTheyAreOurs)
{
    QProcess ended;
    ended.start(u"sh"_qs, {u"-c"_qs, u"echo $$"_qs});
    ASSERT_TRUE(ended.waitForFinished());
    const QString deadWriters = AtomicFile::temporaryPathFor(path,
                                                             ended.readAllStandardOutput().trimmed().toLongLong());
    // A live process still holding its temporary file open.
    QProcess writing;
    writing.start(u"sh"_qs, {u"-c"_qs, u"exec 3>\"$0.tmp-$$\"; echo ready; sleep 60"_qs, path});
    ASSERT_TRUE(writing.waitForReadyRead(10000));
    const QString live = AtomicFile::temporaryPathFor(path, writing.processId());
    const QStringList notOurs{path + u".tmp-x1"_qs, folder.filePath(u"other.plist.tmp-1"_qs)};
    for (const QString &leftover : QStringList{deadWriters} + notOurs) {
        QFile file(leftover);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    PlistPreferencesStore store(path);
    EXPECT_FALSE(QFileInfo::exists(deadWriters));
    EXPECT_TRUE(QFileInfo::exists(live));
    for (const QString &leftover : notOurs)
        EXPECT_TRUE(QFileInfo::exists(leftover)) << leftover.toStdString();
    writing.kill();
    writing.waitForFinished();
}

} // namespace
