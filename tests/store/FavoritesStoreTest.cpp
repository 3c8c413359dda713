#include "platform/FakePreferencesStore.h"
#include "store/ColorText.h"
#include "store/FavoritesStore.h"
#include "store/FileBookmarks.h"
#include "store/Records.h"
#include "store/StoreKeys.h"
#include "store/SupportFiles.h"

#include "support/TestFolders.h"

#include <QFile>
#include <QSet>

#include <limits>

#include <gtest/gtest.h>

namespace {

QVariantMap oldItem(const QString &title)
{
    return {{RecordKeys::title, title}, {RecordKeys::isnormalFile, true}, {RecordKeys::url, QString(QStringLiteral("/tmp/") + title)}};
}

TEST(FavoritesStore, UidCounterStartsAtOneAndNeverReusesIdentities)
{
    FakePreferencesStore preferences;
    FavoritesStore store(preferences);
    preferences.setObject(QStringLiteral("seven"), StoreKeys::uniqueid);
    EXPECT_EQ(store.nextUid(), 1); // a counter of another type restarts

    const QString group = QStringLiteral("Work");
    for (int i = 0; i < 5; ++i)
        store.appendItemToGroup(group, store.makeFileItem(QStringLiteral("/home/u/file%1.txt").arg(i)));
    QList<QVariantMap> items = store.items(group);
    ASSERT_EQ(items.size(), 5);
    EXPECT_EQ(Records::uid(items.last()), 6);
    items.removeLast();
    store.setItems(group, items);
    EXPECT_EQ(store.nextUid(), 7);

    const QVariantMap file = store.makeFileItem(QStringLiteral("/home/u/Projects/"));
    EXPECT_EQ(file.keys().size(), 5);
    EXPECT_EQ(Records::title(file), QStringLiteral("Projects"));
    EXPECT_EQ(Records::text(file, RecordKeys::url), QStringLiteral("/home/u/Projects"));
    EXPECT_EQ(Records::kindOf(file), ItemKind::normalFile);
    EXPECT_TRUE(StoredValue::dateIn(file, RecordKeys::date));
    EXPECT_EQ(store.findItem(group, 3).value().value(RecordKeys::url),
              QStringLiteral("/home/u/file1.txt"));
    EXPECT_FALSE(store.findItem(group, 6));
}

TEST(FavoritesStore, GroupTitlesNeverOverwriteTheStoresOwnKeys)
{
    FakePreferencesStore preferences;
    FavoritesStore store(preferences);
    preferences.setInteger(41, StoreKeys::uniqueid);
    preferences.setInteger(1, StoreKeys::first);
    preferences.setInteger(1, StoreKeys::selectedLanguage);
    const QStringList reserved{StoreKeys::allgroups, StoreKeys::uniqueid, StoreKeys::first,
                               StoreKeys::selectedLanguage, StoreKeys::allBookmark, QStringLiteral("items:x")};
    QList<QVariantMap> groups;
    for (const QString &title : reserved)
        groups.append(Records::newGroup(title));
    store.setGroups(groups);
    for (const QString &title : reserved)
        store.appendItemToGroup(title, store.makeFileItem(QStringLiteral("/a")));
    store.appendItemToGroup(QStringLiteral("x"), store.makeFileItem(QStringLiteral("/b")));

    EXPECT_EQ(store.groupTitles(), reserved);
    EXPECT_EQ(preferences.integerForKey(StoreKeys::uniqueid), 48);
    EXPECT_EQ(preferences.integerForKey(StoreKeys::first), 1);
    EXPECT_EQ(preferences.integerForKey(StoreKeys::selectedLanguage), 1);
    for (const QString &title : reserved)
        EXPECT_EQ(store.items(title).size(), 1) << title.toStdString();
    EXPECT_EQ(Records::text(store.items(QStringLiteral("x")).value(0), RecordKeys::url), QStringLiteral("/b"));

    // Titles differing in case are distinct groups.
    store.appendItemToGroup(QStringLiteral("X"), store.makeFileItem(QStringLiteral("/c")));
    EXPECT_EQ(store.items(QStringLiteral("x")).size(), 1);
    EXPECT_EQ(store.items(QStringLiteral("X")).size(), 1);
}

TEST(FavoritesStore, UpgradeGivesOldItemsIdentitiesOnce)
{
    FakePreferencesStore fresh;
    FavoritesStore freshStore(fresh);
    freshStore.upgradeItemRecords();
    EXPECT_EQ(fresh.boolForKey(StoreKeys::checkUniquiidAdded), true);
    EXPECT_FALSE(fresh.hasObjectForKey(StoreKeys::uniqueid));

    FakePreferencesStore preferences;
    FavoritesStore store(preferences);
    preferences.setInteger(1, StoreKeys::first);
    store.setGroups({Records::newGroup(QStringLiteral("A")), Records::newGroup(QStringLiteral("Empty")),
                     Records::newGroup(QStringLiteral("B"))});
    QVariantMap dated = oldItem(QStringLiteral("dated"));
    const QDateTime then = QDateTime::fromSecsSinceEpoch(1000000000, Qt::UTC);
    dated.insert(RecordKeys::date, then);
    store.setItems(QStringLiteral("A"), {oldItem(QStringLiteral("a1")), dated});
    store.setItems(QStringLiteral("B"), {oldItem(QStringLiteral("b1"))});

    store.upgradeItemRecords();
    const QList<QVariantMap> a = store.items(QStringLiteral("A"));
    EXPECT_EQ(Records::uid(a.at(0)), 1);
    EXPECT_EQ(Records::uid(a.at(1)), 2);
    EXPECT_EQ(StoredValue::dateIn(a.at(1), RecordKeys::date), then);
    EXPECT_TRUE(StoredValue::dateIn(a.at(0), RecordKeys::date));
    EXPECT_EQ(Records::uid(store.items(QStringLiteral("B")).at(0)), 3);
    EXPECT_FALSE(store.hasItemList(QStringLiteral("Empty")));

    const int writes = preferences.writeCount();
    store.setItems(QStringLiteral("B"), {oldItem(QStringLiteral("b2"))});
    store.upgradeItemRecords();
    EXPECT_FALSE(Records::uid(store.items(QStringLiteral("B")).at(0))) << "the upgrade runs only once";
    EXPECT_EQ(preferences.writeCount(), writes + 1);
}

// A store in the defined layout keeps each group's items under its bare title.
TEST(FavoritesStore, ListsUnderBareTitlesMoveToTheGroupsKeyBeforeTheUpgrade)
{
    FakePreferencesStore preferences;
    FavoritesStore store(preferences);
    preferences.setInteger(1, StoreKeys::first);
    preferences.setObject(QVariantList{QByteArray("/a")}, StoreKeys::allBookmark);
    const QStringList titles{QStringLiteral("Work"),       QStringLiteral("Mixed"),      QStringLiteral("first"),
                             QStringLiteral("allBookmark"), QStringLiteral("items:Work"), QStringLiteral("Empty"),
                             QStringLiteral("newSetting")};
    preferences.setObject(QVariantList{qint64(11), qint64(13)}, QStringLiteral("newSetting"));
    QList<QVariantMap> groups;
    for (const QString &title : titles)
        groups.append(Records::newGroup(title));
    preferences.setObject(Records::arrayOf(groups), StoreKeys::allgroups);
    preferences.setObject(Records::arrayOf({oldItem(QStringLiteral("w1")), oldItem(QStringLiteral("w2"))}),
                          QStringLiteral("Work"));
    const QVariantMap both = oldItem(QStringLiteral("in both"));
    preferences.setObject(Records::arrayOf({oldItem(QStringLiteral("m bare")), both}), QStringLiteral("Mixed"));
    preferences.setObject(Records::arrayOf({both, oldItem(QStringLiteral("m kept"))}),
                          FavoritesStore::itemListKey(QStringLiteral("Mixed")));

    const int writes = preferences.writeCount();
    store.adoptBareTitleItemLists();
    EXPECT_EQ(preferences.writeCount(), writes + 1) << "one write";
    store.upgradeItemRecords();

    const auto titlesOf = [](const QList<QVariantMap> &items) {
        QStringList result;
        for (const QVariantMap &item : items)
            result.append(Records::title(item));
        return result;
    };
    const QList<QVariantMap> work = store.items(QStringLiteral("Work"));
    EXPECT_EQ(titlesOf(work), (QStringList{QStringLiteral("w1"), QStringLiteral("w2")}));
    EXPECT_EQ(Records::uid(work.at(0)), 1);
    EXPECT_EQ(Records::uid(work.at(1)), 2);
    EXPECT_TRUE(StoredValue::dateIn(work.at(1), RecordKeys::date));
    EXPECT_EQ(titlesOf(store.items(QStringLiteral("Mixed"))),
              (QStringList{QStringLiteral("in both"), QStringLiteral("m kept"), QStringLiteral("m bare")}));
    for (const QString &moved : {QStringLiteral("Work"), QStringLiteral("Mixed")})
        EXPECT_FALSE(preferences.hasObjectForKey(moved)) << "each list in one place";

    // The store's own keys, and another group's list, are never a group's items.
    EXPECT_EQ(preferences.integerForKey(StoreKeys::first), 1);
    EXPECT_EQ(preferences.arrayForKey(StoreKeys::allBookmark), QVariantList{QByteArray("/a")});
    EXPECT_TRUE(store.items(QStringLiteral("allBookmark")).isEmpty());
    EXPECT_TRUE(store.items(QStringLiteral("items:Work")).isEmpty());
    EXPECT_EQ(preferences.arrayForKey(QStringLiteral("newSetting")), (QVariantList{qint64(11), qint64(13)}));
    EXPECT_EQ(store.items(QStringLiteral("Work")).size(), 2);

    const int settled = preferences.writeCount();
    store.adoptBareTitleItemLists();
    EXPECT_EQ(preferences.writeCount(), settled) << "nothing left to move";
}

TEST(FavoritesStore, ACounterAtTheLargestIntegerStillGivesUniqueIdentities)
{
    FakePreferencesStore preferences;
    FavoritesStore store(preferences);
    constexpr qint64 largest = std::numeric_limits<qint64>::max();
    preferences.setInteger(largest, StoreKeys::uniqueid);
    QVariantMap last = oldItem(QStringLiteral("last"));
    last.insert(RecordKeys::uid, largest);
    store.setItems(QStringLiteral("A"), {last});
    store.setGroups({Records::newGroup(QStringLiteral("A"))});
    for (int i = 0; i < 3; ++i)
        store.appendItemToGroup(QStringLiteral("A"), store.makeFileItem(QStringLiteral("/f%1").arg(i)));

    QSet<qint64> uids;
    for (const QVariantMap &item : store.items(QStringLiteral("A"))) {
        ASSERT_GT(Records::uid(item).value_or(0), 0);
        uids.insert(*Records::uid(item));
    }
    EXPECT_EQ(uids.size(), 4);
}

TEST(ColorText, TruncatesComponentsAndReadsBack)
{
    EXPECT_EQ(ColorText::fromColor(QColor::fromRgbF(0.999f, 0, 0)), QStringLiteral("FE0000"));
    for (int value = 0; value < 256; ++value)
        EXPECT_EQ(ColorText::fromColor(QColor(value, 255 - value, value / 2)),
                  QString::asprintf("%02X%02X%02X", value, 255 - value, value / 2));
    EXPECT_EQ(ColorText::toColor(QStringLiteral("#0A0B0C")), QColor(10, 11, 12));
    EXPECT_EQ(ColorText::toColor(QStringLiteral("47ce64")), QColor(71, 206, 100));
    EXPECT_EQ(ColorText::toColor(QStringLiteral("zz")), QColor(0, 0, 0));
}

TEST(SupportFiles, NewNamesAreNeverTakenAndDeletionStaysInsideTheFolder)
{
    TestFolder root;
    const QString folder = root.filePath(QStringLiteral("support"));
    FakePreferencesStore preferences;
    FavoritesStore store(preferences);
    quint32 next = 100;
    SupportFiles files(folder, store, [&next] { return next++; });

    // The first four names offered are taken, as files or as stored items'
    // paths; the chosen name must be the fifth.
    QStringList taken;
    for (int i = 100; i < 104; ++i)
        taken.append(folder + QStringLiteral("/%1.png").arg(i));
    QDir().mkpath(folder);
    QFile(taken.at(0)).open(QIODevice::WriteOnly);
    QFile(taken.at(2)).open(QIODevice::WriteOnly);
    store.setGroups({Records::newGroup(QStringLiteral("G"))});
    store.setItems(QStringLiteral("G"), {{{RecordKeys::imgpath, taken.at(1)}}, {{RecordKeys::imgpath, taken.at(3)}}});
    EXPECT_EQ(files.newFilePath(QStringLiteral(".png")), folder + QStringLiteral("/104.png"));

    const auto note = files.writeNote(QStringLiteral("line one\nligne deux é\n"));
    ASSERT_TRUE(note);
    QFile noteFile(*note);
    ASSERT_TRUE(noteFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(noteFile.readAll(), QStringLiteral("line one\nligne deux é\n").toUtf8());
    noteFile.close();

    const QString outside = root.filePath(QStringLiteral("precious.txt"));
    QFile(outside).open(QIODevice::WriteOnly);
    for (const QString &tampered : QStringList{outside, folder + QStringLiteral("/../precious.txt"), folder, QString()}) {
        files.removeFilesOf({{RecordKeys::istext, true}, {RecordKeys::url, tampered}, {RecordKeys::imgpath, tampered}});
        EXPECT_TRUE(QFile::exists(outside)) << tampered.toStdString();
    }
    QFile::link(outside, folder + QStringLiteral("/link.png"));
    files.removeFilesOf({{RecordKeys::isbookmark, true}, {RecordKeys::imgpath, QString(folder + QStringLiteral("/link.png"))}});
    EXPECT_TRUE(QFile::exists(outside));
    EXPECT_FALSE(QFileInfo(folder + QStringLiteral("/link.png")).isSymLink());

    // A colour item's url is not a support file; a note's is.
    files.removeFilesOf({{RecordKeys::iscolor, true}, {RecordKeys::url, *note}});
    EXPECT_TRUE(QFile::exists(*note));
    files.removeFilesOf({{RecordKeys::istext, true}, {RecordKeys::url, *note}});
    EXPECT_FALSE(QFile::exists(*note));
}

TEST(FileBookmarks, StoresEachFileOnceAndRestoresTheList)
{
    FakePreferencesStore preferences;
    FileBookmarks bookmarks(preferences);
    bookmarks.storeFileBookmark(QStringLiteral("/home/u/a.txt"));
    bookmarks.storeFileBookmark(QStringLiteral("/home/u/a.txt"));
    bookmarks.storeFileBookmark(QStringLiteral("/home/u/é b.txt"));
    testing::internal::CaptureStdout();
    bookmarks.storeFileBookmark(QStringLiteral("relative"));
    EXPECT_NE(testing::internal::GetCapturedStdout().find("Error storing bookmarks\n"), std::string::npos);
    EXPECT_EQ(preferences.arrayForKey(StoreKeys::allBookmark).value().size(), 2);

    FileBookmarks restored(preferences);
    testing::internal::CaptureStdout();
    restored.restoreFileAccess();
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "file:///home/u/a.txt\nfile:///home/u/%C3%A9%20b.txt\n");
    restored.storeFileBookmark(QStringLiteral("/home/u/a.txt"));
    EXPECT_EQ(restored.entries().size(), 2);
}

} // namespace
