// The preferences file shared with other programs: sync tools, editors,
// links into synced folders, and whatever else sits at its path.

#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/PlistCodec.h"
#include "platform/PlistPreferencesStore.h"

#include "support/ProcessUntil.h"
#include "support/TestFolders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using OutsideChange = PlistPreferencesStore::OutsideChange;
using Kind = OutsideChange::Kind;

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

class StoreOnDiskTest : public ::testing::Test
{
protected:
    // As a sync tool writes: a new file renamed over the old one.
    void replaceElsewhere(const QVariantMap &values, const QString &at = {})
    {
        const QString target = at.isEmpty() ? path : at;
        QFile file(target + u".incoming"_qs);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(PlistCodec::toBinary(values));
        file.close();
        ASSERT_EQ(::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(target).constData()), 0);
    }
    // As an editor that does not write atomically: the same file rewritten.
    static void rewriteInPlace(const QString &target, const QByteArray &bytes)
    {
        QFile file(target);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite | QIODevice::Truncate));
        file.write(bytes);
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

TEST_F(StoreOnDiskTest, NothingIsWrittenOverAVersionTheStoreHasNotRead)
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

TEST_F(StoreOnDiskTest, OutsideChangesAreMergedAsTheyHappenAndHalfWrittenFilesAreWaitedFor)
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

TEST_F(StoreOnDiskTest, ALinkedStoreIsWrittenThroughAndStaysALink)
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

    // Written through again, once another program changed the target.
    PlistPreferencesStore store(link);
    replaceElsewhere({{u"first"_qs, 1}, {u"theirs"_qs, true}}, target);
    store.setInteger(2, u"mine"_qs);
    ASSERT_TRUE(store.flush());
    EXPECT_TRUE(S_ISLNK(statusOf(link, false).st_mode));
    const PlistPreferencesStore reread(target);
    EXPECT_TRUE(reread.boolForKey(u"theirs"_qs) && reread.integerForKey(u"mine"_qs) == 2);
}

TEST_F(StoreOnDiskTest, ConflictCopiesAreMergedOnceAndMovedAside)
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

TEST_F(StoreOnDiskTest, OnlyRegularFilesOfBoundedSizeAreReadAndNoneElseIsWritten)
{
    struct Case
    {
        const char *name;
        std::function<void(const QString &)> make;
        RegularFile::Refusal refusal;
    };
    const Case cases[] = {
        {"pipe", [](const QString &at) { ::mkfifo(QFile::encodeName(at).constData(), 0600); },
         RegularFile::Refusal::notRegularFile},
        {"link to the zero device", [](const QString &at) { QFile::link(u"/dev/zero"_qs, at); },
         RegularFile::Refusal::notRegularFile},
        {"folder", [](const QString &at) { QDir().mkpath(at); }, RegularFile::Refusal::notRegularFile},
        {"over the limit",
         [](const QString &at) {
             QFile file(at);
             file.open(QIODevice::WriteOnly);
             file.resize(largestStoreFile + 1); // sparse: costs no disk
         },
         RegularFile::Refusal::tooLarge},
    };
    for (const Case &item : cases) {
        const QString at = folder.filePath(QString::fromLatin1(item.name));
        item.make(at);
        const struct stat before = statusOf(at, false);
        {
            PlistPreferencesStore store(at);
            EXPECT_EQ(store.loadProblem(), PlistPreferencesStore::LoadProblem::unreadable) << item.name;
            EXPECT_EQ(store.readRefusal(), item.refusal) << item.name;
            store.setInteger(1, u"first"_qs);
            EXPECT_FALSE(store.flush()) << item.name;
        }
        const struct stat after = statusOf(at, false);
        EXPECT_TRUE(before.st_mode == after.st_mode && before.st_ino == after.st_ino && before.st_size == after.st_size)
            << item.name << " is left as it was";
    }
}

TEST_F(StoreOnDiskTest, LeftoversOfInterruptedWritesGoAtTheNextStartOnlyWhenTheyAreOurs)
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

TEST_F(StoreOnDiskTest, AFolderTheUserMadeKeepsItsModeAndNewFoldersArePrivate)
{
    const QString own = folder.filePath(u"own"_qs);
    QDir().mkpath(own);
    QFile::setPermissions(own, QFileDevice::ReadOwner | QFileDevice::ExeOwner); // 0500
    PlistPreferencesStore(own + u"/preferences.plist"_qs).setInteger(1, u"first"_qs);
    EXPECT_EQ(statusOf(own).st_mode & 07777, 0500u);

    const QString made = folder.filePath(u"made/brimble"_qs);
    PlistPreferencesStore(made + u"/preferences.plist"_qs).setInteger(1, u"first"_qs);
    EXPECT_EQ(statusOf(made).st_mode & 07777, 0700u);
    EXPECT_EQ(statusOf(folder.filePath(u"made"_qs)).st_mode & 07777, 0700u);
    QFile::setPermissions(own, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

} // namespace
