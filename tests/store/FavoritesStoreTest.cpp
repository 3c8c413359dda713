#include "store/FavoritesStore.h"
#include "platform/FakePreferencesStore.h"
#include "store/FileBookmarks.h"
#include "store/Sorting.h"
#include "store/StoreKeys.h"
#include "store/StoredRecords.h"
#include "store/SupportFiles.h"

#include "support/TestFolders.h"

#include <QFile>
#include <QSet>

#include <limits>

#include <gtest/gtest.h>

namespace {

// A file item as old versions stored it: without identity or date.
Item oldItem(const QString &title)
{
    return StoredRecords::item({{RecordKeys::title, title},
                                {RecordKeys::isnormalFile, true},
                                {RecordKeys::url, QString(u"/tmp/"_qs + title)}});
}

QStringList titlesOf(const QList<Item> &items)
{
    QStringList result;
    for (const Item &item : items)
        result.append(item.title());
    return result;
}

class FavoritesStoreTest : public ::testing::Test
{
protected:
    void setGroups(const QStringList &titles)
    {
        QList<Group> groups;
        for (const QString &title : titles)
            groups.append(Group(title));
        store.setGroups(groups);
    }

    FakePreferencesStore preferences;
    FavoritesStore store{preferences};
};

TEST_F(FavoritesStoreTest, UidCounterStartsAtOneAndNeverReusesOrRunsOutOfIdentities)
{
    preferences.setObject(u"seven"_qs, StoreKeys::uniqueid);
    EXPECT_EQ(store.nextUid(), 1); // a counter of another type restarts

    for (int i = 0; i < 3; ++i)
        store.appendItemToGroup(u"Work"_qs, store.makeFileItem(u"/home/u/file%1.txt"_qs.arg(i)));
    store.setItems(u"Work"_qs, store.items(u"Work"_qs).mid(0, 2));
    EXPECT_EQ(store.nextUid(), 5) << "the removed item's 4 is not given again";
    EXPECT_EQ(store.findItem(u"Work"_qs, 3).value().target(), u"/home/u/file1.txt"_qs);
    EXPECT_FALSE(store.findItem(u"Work"_qs, 4));
    const Item file = store.makeFileItem(u"/home/u//Projects/"_qs);
    EXPECT_EQ(file.title(), u"Projects"_qs);
    EXPECT_EQ(file.target(), u"/home/u/Projects"_qs);
    EXPECT_EQ(file.uid(), 6);
    EXPECT_TRUE(file.date());

    // At the largest integer the counter still gives identities no item holds.
    constexpr qint64 largest = std::numeric_limits<qint64>::max();
    preferences.setInteger(largest, StoreKeys::uniqueid);
    Item last = oldItem(u"last"_qs);
    last.setUid(largest);
    store.setItems(u"A"_qs, {last});
    setGroups({u"Work"_qs, u"A"_qs});
    for (int i = 0; i < 3; ++i)
        store.appendItemToGroup(u"A"_qs, store.makeFileItem(u"/f%1"_qs.arg(i)));
    QSet<qint64> uids{0};
    for (const Item &item : store.items(u"A"_qs) + store.items(u"Work"_qs))
        uids.insert(qMax<qint64>(0, item.uid().value_or(0)));
    EXPECT_EQ(uids.size(), 7) << "three old and three new identities, each positive";
}

TEST_F(FavoritesStoreTest, GroupTitlesNeverOverwriteTheStoresOwnKeys)
{
    preferences.setInteger(41, StoreKeys::uniqueid);
    preferences.setInteger(1, StoreKeys::first);
    const QStringList reserved{StoreKeys::allgroups,
                               StoreKeys::uniqueid,
                               StoreKeys::first,
                               StoreKeys::allBookmark,
                               u"items:x"_qs,
                               u"x"_qs,
                               u"X"_qs}; // case makes another group
    setGroups(reserved);
    for (const QString &title : reserved)
        store.appendItemToGroup(title, store.makeFileItem(u"/"_qs + title));

    EXPECT_EQ(store.groupTitles(), reserved);
    EXPECT_EQ(preferences.integerForKey(StoreKeys::uniqueid), 48);
    EXPECT_EQ(preferences.integerForKey(StoreKeys::first), 1);
    for (const QString &title : reserved)
        EXPECT_EQ(titlesOf(store.items(title)), QStringList{title}) << title.toStdString();
}

TEST_F(FavoritesStoreTest, UpgradeGivesOldItemsIdentitiesOnce)
{
    FakePreferencesStore fresh;
    FavoritesStore(fresh).upgradeItemRecords();
    EXPECT_EQ(fresh.boolForKey(StoreKeys::checkUniquiidAdded), true);
    EXPECT_FALSE(fresh.hasObjectForKey(StoreKeys::uniqueid));

    preferences.setInteger(1, StoreKeys::first);
    setGroups({u"A"_qs, u"Empty"_qs, u"B"_qs});
    Item dated = oldItem(u"dated"_qs);
    const QDateTime then = QDateTime::fromSecsSinceEpoch(1000000000, Qt::UTC);
    dated.setDate(then);
    store.setItems(u"A"_qs, {oldItem(u"a1"_qs), dated});
    store.setItems(u"B"_qs, {oldItem(u"b1"_qs)});

    store.upgradeItemRecords();
    const QList<Item> a = store.items(u"A"_qs);
    EXPECT_EQ(a.at(0).uid(), 1);
    EXPECT_EQ(a.at(1).uid(), 2);
    EXPECT_EQ(a.at(1).date(), then);
    EXPECT_TRUE(a.at(0).date());
    EXPECT_EQ(store.items(u"B"_qs).at(0).uid(), 3);
    EXPECT_FALSE(store.hasItemList(u"Empty"_qs));

    store.setItems(u"B"_qs, {oldItem(u"b2"_qs)});
    const int writes = preferences.writeCount();
    store.upgradeItemRecords();
    EXPECT_FALSE(store.items(u"B"_qs).at(0).uid()) << "the upgrade runs only once";
    EXPECT_EQ(preferences.writeCount(), writes);
}

// A store in the defined layout keeps each group's items under its bare title.
TEST_F(FavoritesStoreTest, ListsUnderBareTitlesMoveToTheGroupsKeyBeforeTheUpgrade)
{
    // The store's own keys, and another group's list, are never a group's items.
    const QVariantMap own{{StoreKeys::first, qint64(1)},
                          {StoreKeys::allBookmark, QVariantList{QByteArray("/a")}},
                          {u"newSetting"_qs, QVariantList{qint64(11), qint64(13)}}};
    for (auto it = own.cbegin(); it != own.cend(); ++it)
        preferences.setObject(it.value(), it.key());
    setGroups(QStringList{u"Work"_qs, u"Mixed"_qs, u"items:Work"_qs, u"Empty"_qs} + own.keys());
    preferences.setObject(StoredRecords::array({oldItem(u"w1"_qs), oldItem(u"w2"_qs)}), u"Work"_qs);
    const Item both = oldItem(u"in both"_qs);
    preferences.setObject(StoredRecords::array({oldItem(u"m bare"_qs), both}), u"Mixed"_qs);
    preferences.setObject(StoredRecords::array({both, oldItem(u"m kept"_qs)}),
                          FavoritesStore::itemListKey(u"Mixed"_qs));

    const int writes = preferences.writeCount();
    store.adoptBareTitleItemLists();
    EXPECT_EQ(preferences.writeCount(), writes + 1) << "one write";
    store.adoptBareTitleItemLists();
    EXPECT_EQ(preferences.writeCount(), writes + 1) << "nothing left to move";
    store.upgradeItemRecords();

    const QList<Item> work = store.items(u"Work"_qs);
    EXPECT_EQ(titlesOf(work), (QStringList{u"w1"_qs, u"w2"_qs}));
    EXPECT_EQ(work.at(1).uid(), 2);
    EXPECT_EQ(titlesOf(store.items(u"Mixed"_qs)), (QStringList{u"in both"_qs, u"m kept"_qs, u"m bare"_qs}));
    for (const QString &moved : {u"Work"_qs, u"Mixed"_qs})
        EXPECT_FALSE(preferences.hasObjectForKey(moved)) << "each list in one place";

    for (auto it = own.cbegin(); it != own.cend(); ++it)
        EXPECT_TRUE(preferences.objectForKey(it.key()) == it.value() && store.items(it.key()).isEmpty())
            << it.key().toStdString();
    EXPECT_TRUE(store.items(u"items:Work"_qs).isEmpty());
}

TEST_F(FavoritesStoreTest, SupportFilesNamesAreNeverTakenAndDeletionStaysInsideTheFolder)
{
    TestFolder root;
    const QString folder = root.filePath(u"support"_qs);
    // The same folder of another computer, in the paths of items synced from there.
    const QString elsewhere = u"/home/someone-else/.local/share/brimble"_qs;
    quint32 next = 100;
    SupportFiles files(folder, store, [&next] { return next++; });
    const auto touch = [](const QString &path) { QFile(path).open(QIODevice::WriteOnly); };

    // The first four names offered are taken, as files or as stored items'
    // paths, here or there; the chosen name must be the fifth.
    QDir().mkpath(folder);
    for (const QString &taken : {u"/100.png"_qs, u"/102.png"_qs, u"/1.txt"_qs})
        touch(folder + taken);
    setGroups({u"G"_qs});
    store.setItems(u"G"_qs, {StoredRecords::item({{RecordKeys::imgpath, QString(folder + u"/101.png"_qs)}}),
                             StoredRecords::item({{RecordKeys::imgpath, QString(elsewhere + u"/103.png"_qs)}})});
    EXPECT_EQ(files.newFilePath(u".png"_qs), folder + u"/104.png"_qs);

    // A synced item's files are this computer's when they are here; a file
    // item's own path, or a file not here either, is left as stored.
    Item synced = Item::note(u"N"_qs, elsewhere + u"/1.txt"_qs);
    synced.setIconPath(elsewhere + u"/100.png"_qs);
    const Item local = files.withLocalPaths(synced);
    EXPECT_EQ(local.target(), folder + u"/1.txt"_qs);
    EXPECT_EQ(local.iconPath(), folder + u"/100.png"_qs);
    EXPECT_EQ(files.localPath(elsewhere + u"/3.png"_qs), elsewhere + u"/3.png"_qs);
    EXPECT_EQ(files.withLocalPaths(Item::file(elsewhere + u"/1.txt"_qs)), Item::file(elsewhere + u"/1.txt"_qs));
    files.removeFilesOf(synced);
    EXPECT_FALSE(QFile::exists(folder + u"/1.txt"_qs) || QFile::exists(folder + u"/100.png"_qs));

    const QString outside = root.filePath(u"precious.txt"_qs);
    touch(outside);
    for (const QString &tampered : QStringList{outside, folder + u"/../precious.txt"_qs, folder, QString()}) {
        files.removeFilesOf(StoredRecords::item(
            {{RecordKeys::istext, true}, {RecordKeys::url, tampered}, {RecordKeys::imgpath, tampered}}));
        EXPECT_TRUE(QFile::exists(outside)) << tampered.toStdString();
    }
    const QString link = folder + u"/link.png"_qs;
    QFile::link(outside, link);
    files.removeFilesOf(Item::bookmark(u"B"_qs, u"b.org"_qs, link));
    EXPECT_TRUE(QFile::exists(outside));
    EXPECT_FALSE(QFileInfo(link).isSymLink());

    // A colour item's url is not a support file; a note's is.
    const auto note = files.writeNote(u"text"_qs);
    ASSERT_TRUE(note);
    files.removeFilesOf(StoredRecords::item({{RecordKeys::iscolor, true}, {RecordKeys::url, *note}}));
    EXPECT_TRUE(QFile::exists(*note));
    files.removeFilesOf(Item::note(u"N"_qs, *note));
    EXPECT_FALSE(QFile::exists(*note));
}

TEST_F(FavoritesStoreTest, FileBookmarksStoreEachFileOnceAndRestoreTheList)
{
    FileBookmarks bookmarks(preferences);
    for (const QString &path : {u"/home/u/a.txt"_qs, u"/home/u/a.txt"_qs, u"/home/u/é b.txt"_qs})
        bookmarks.storeFileBookmark(path);
    bookmarks.storeFileBookmark(u"relative"_qs); // refused

    FileBookmarks restored(preferences);
    restored.restoreFileAccess();
    restored.storeFileBookmark(u"/home/u/a.txt"_qs);
    EXPECT_EQ(restored.entries().size(), 2);

    // The stored list grew elsewhere (a synced file): it is the list extended.
    QVariantList stored = preferences.arrayForKey(StoreKeys::allBookmark).value_or(QVariantList());
    stored.append(QByteArray("/elsewhere/c.txt"));
    preferences.setObject(stored, StoreKeys::allBookmark);
    restored.storeFileBookmark(u"/home/u/d.txt"_qs);
    EXPECT_EQ(preferences.arrayForKey(StoreKeys::allBookmark)->size(), 4);
}

TEST_F(FavoritesStoreTest, ElementsThatAreNotRecordsKeepTheirPlaceThroughEveryWrite)
{
    setGroups({u"G"_qs});
    const Item first = store.withNewIdentity(oldItem(u"first"_qs));
    const Item second = store.withNewIdentity(oldItem(u"second"_qs));
    const QVariantMap firstRecord = StoredRecords::record(first);
    const QVariantMap secondRecord = StoredRecords::record(second);
    preferences.setObject(QVariantList{u"kept"_qs, firstRecord, qint64(7), secondRecord},
                          StoreKeys::itemListPrefix + u"G"_qs);
    EXPECT_EQ(store.itemCount(u"G"_qs), 2);
    store.setItems(u"G"_qs, {second, first});
    EXPECT_EQ(preferences.arrayForKey(StoreKeys::itemListPrefix + u"G"_qs),
              QVariantList({u"kept"_qs, secondRecord, qint64(7), firstRecord}));
    // The sort that runs after launch is one such write.
    Sorting::sortAllGroupItems(store, store.groups(),
                               SortSettings{.itemSortKey = SortSettings::ItemKey::title, .itemSortAscending = true});
    EXPECT_EQ(preferences.arrayForKey(StoreKeys::itemListPrefix + u"G"_qs),
              QVariantList({u"kept"_qs, firstRecord, qint64(7), secondRecord}));
}

} // namespace

TEST_F(FavoritesStoreTest, ANewGroupNeedsATitleNoStoredGroupHasAndGoesLastOrWhereTheSortPutsIt)
{
    EXPECT_FALSE(store.hasGroupList());
    EXPECT_EQ(store.createGroup(QString()), FavoritesStore::GroupCreation::emptyTitle);
    EXPECT_FALSE(preferences.hasObjectForKey(StoreKeys::allgroups)) << "a refusal stores nothing";

    // Titles are taken as typed: spaces count, and so does letter case.
    for (const QString &title : {u"Work"_qs, u"  "_qs, u"work"_qs, u"Home"_qs})
        EXPECT_EQ(store.createGroup(title), FavoritesStore::GroupCreation::created) << title.toStdString();
    EXPECT_EQ(store.groupTitles(), (QStringList{u"Work"_qs, u"  "_qs, u"work"_qs, u"Home"_qs}));
    EXPECT_EQ(store.groups().last(), Group(u"Home"_qs));
    EXPECT_TRUE(store.hasGroupList());
    EXPECT_FALSE(store.hasItemList(u"Home"_qs)) << "no item list for a new group";

    // The stored groups decide, with what another program put in them.
    QVariantList stored = preferences.arrayForKey(StoreKeys::allgroups).value();
    stored.append(QVariantMap{{RecordKeys::title, u"Synced"_qs}, {u"icon"_qs, u"cloud"_qs}});
    preferences.setObject(stored, StoreKeys::allgroups);
    EXPECT_EQ(store.createGroup(u"Synced"_qs), FavoritesStore::GroupCreation::titleTaken);
    const SortSettings byTitle{.groupSortKey = SortSettings::GroupKey::title, .groupSortAscending = true};
    EXPECT_EQ(store.createGroup(u"Ideas"_qs, &byTitle), FavoritesStore::GroupCreation::created);
    EXPECT_EQ(store.groupTitles(),
              (QStringList{u"  "_qs, u"Home"_qs, u"Ideas"_qs, u"Synced"_qs, u"Work"_qs, u"work"_qs}));
    EXPECT_EQ(preferences.arrayForKey(StoreKeys::allgroups)->at(3).toMap().value(u"icon"_qs), u"cloud"_qs);
}
