#pragma once

#include "platform/FakeDesktopServices.h"
#include "platform/FakePreferencesStore.h"
#include "quicklist/ColorTagPicker.h"
#include "store/FavoritesStore.h"
#include "store/LocalizedText.h"
#include "store/Sorting.h"
#include "store/StoreKeys.h"
#include "store/SupportFiles.h"
#include "store/ViewLinks.h"
#include "support/TestFolders.h"

#include <QDateTime>

#include <gtest/gtest.h>

// Readable failure messages.
inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

// A store of favourites in memory, a private support folder, the platform
// fakes and the English texts, with helpers that make items and fill the
// store. The popup's and the manager's fixtures build on it.
class FavoritesFixture : public ::testing::Test
{
protected:
    FavoritesFixture()
        : supportFiles(folder.filePath(QStringLiteral("support")), favorites)
    {
        Localization::setTable(loadLanguageTable(QStringLiteral("English")));
    }
    ~FavoritesFixture() override { Localization::setTable(std::nullopt); }

    // Appends group to the stored groups and, with storeList, its items
    // under its title.
    void storeGroup(const Group &group, const QList<Item> &items, bool storeList = true)
    {
        QList<Group> groups = favorites.groups();
        groups.append(group);
        favorites.setGroups(groups);
        if (storeList)
            favorites.setItems(group.title(), items);
    }

    // An item of no kind with the given uid and a date made from it; the
    // store's "uniqueid" is raised to it, so items made later get uids of
    // their own.
    Item item(const QString &title, qint64 uid) { return withIdentity(Item(), title, uid); }
    Item fileItem(const QString &title, qint64 uid, const QString &path)
    {
        return withIdentity(Item::file(path), title, uid);
    }
    Item bookmark(const QString &title, qint64 uid, const QString &address, const QString &icon = {})
    {
        return withIdentity(Item::bookmark(title, address, icon), title, uid);
    }
    Item note(const QString &title, qint64 uid, const QString &path)
    {
        return withIdentity(Item::note(title, path), title, uid);
    }
    Item colorItem(const QString &title, qint64 uid, const QString &color)
    {
        return withIdentity(Item::color(title, color), title, uid);
    }
    static Item pinned(Item item)
    {
        item.setPinned(true);
        return item;
    }

    // Records as another program writes them, stored as they are.
    void storeRecords(const QString &groupTitle, const QVariantList &records)
    {
        preferences.setObject(records, FavoritesStore::itemListKey(groupTitle));
    }

    static QStringList titlesOf(const QList<Item> &items)
    {
        QStringList titles;
        for (const Item &item : items)
            titles.append(item.title());
        return titles;
    }

    Item withIdentity(Item item, const QString &title, qint64 uid)
    {
        item.setTitle(title);
        item.setUid(uid);
        item.setDate(QDateTime::fromSecsSinceEpoch(1'700'000'000 + uid, Qt::UTC));
        preferences.setInteger(qMax(uid, preferences.integerForKey(StoreKeys::uniqueid).value_or(0)),
                               StoreKeys::uniqueid);
        return item;
    }

    TestFolder folder;
    FakePreferencesStore preferences;
    FavoritesStore favorites{preferences};
    SupportFiles supportFiles;
    SortSettings sortSettings;
    ViewLinks links;
    FakeDesktopServices desktop;
    ColorTagPicker picker;
};
