#pragma once

#include "platform/FakeDesktopServices.h"
#include "platform/FakePreferencesStore.h"
#include "quicklist/SelectTagVc.h"
#include "store/FavoritesStore.h"
#include "store/LocalizedText.h"
#include "store/Records.h"
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
// fakes and the English texts, with helpers that make item records and
// fill the store. The popup's and the manager's fixtures build on it.
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
    void storeGroup(const QVariantMap &group, const QList<QVariantMap> &items, bool storeList = true)
    {
        QList<QVariantMap> groups = favorites.groupRecords();
        groups.append(group);
        favorites.setGroups(groups);
        if (storeList)
            favorites.setItems(Records::title(group), items);
    }

    // An item record with the given uid; the store's "uniqueid" is raised to
    // it, so items made later get uids of their own.
    QVariantMap item(const QString &title, qint64 uid, const QVariantMap &keys = {})
    {
        QVariantMap record = keys;
        record.insert(RecordKeys::title, title);
        record.insert(RecordKeys::uid, uid);
        record.insert(RecordKeys::date, QDateTime::fromSecsSinceEpoch(1'700'000'000 + uid, Qt::UTC));
        preferences.setInteger(qMax(uid, preferences.integerForKey(StoreKeys::uniqueid).value_or(0)), StoreKeys::uniqueid);
        return record;
    }
    QVariantMap fileItem(const QString &title, qint64 uid, const QString &path)
    {
        return item(title, uid, {{RecordKeys::url, path}, {RecordKeys::isnormalFile, true}});
    }
    QVariantMap bookmark(const QString &title, qint64 uid, const QString &address, const QString &icon = {})
    {
        return item(title, uid, {{RecordKeys::Weburl, address}, {RecordKeys::imgpath, icon}, {RecordKeys::isbookmark, true}});
    }
    QVariantMap note(const QString &title, qint64 uid, const QString &path)
    {
        return item(title, uid, {{RecordKeys::url, path}, {RecordKeys::istext, true}});
    }
    QVariantMap colorItem(const QString &title, qint64 uid, const QString &color)
    {
        return item(title, uid, {{RecordKeys::color, color}, {RecordKeys::iscolor, true}});
    }

    static QStringList titlesOf(const QList<Item> &items)
    {
        QStringList titles;
        for (const Item &item : items)
            titles.append(item.title());
        return titles;
    }
    static QStringList titlesOf(const QList<QVariantMap> &records)
    {
        QStringList titles;
        for (const QVariantMap &record : records)
            titles.append(Records::title(record));
        return titles;
    }

    TestFolder folder;
    FakePreferencesStore preferences;
    FavoritesStore favorites{preferences};
    SupportFiles supportFiles;
    SortSettings sortSettings;
    ViewLinks links;
    FakeDesktopServices desktop;
    SelectTagVc picker;
};
