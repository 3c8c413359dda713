#pragma once

#include "platform/FakeDesktopServices.h"
#include "platform/FakePreferencesStore.h"
#include "quicklist/SelectTagVc.h"
#include "quicklist/ViewController.h"
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

// A store of favourites in memory, the platform fakes, and helpers to fill
// the store with groups and items.
class QuickListFixture : public ::testing::Test
{
protected:
    QuickListFixture()
        : supportFiles(folder.filePath(QStringLiteral("support")), favorites)
    {
        Localization::setTable(loadLanguageTable(QStringLiteral("English")));
    }
    ~QuickListFixture() override { Localization::setTable(std::nullopt); }

    QuickListServices services()
    {
        return {favorites, sortSettings, supportFiles, links, desktop.services(), picker};
    }

    // Adds a group with the given items; uids are handed out in order.
    void addGroup(const QString &title, bool expanded, const QList<QVariantMap> &items, bool storeList = true)
    {
        QVariantMap group = Records::newGroup(title);
        group.insert(RecordKeys::isExpanded, expanded);
        QList<QVariantMap> groups = favorites.groups();
        groups.append(group);
        favorites.setGroups(groups);
        if (storeList)
            favorites.setItems(title, items);
    }

    QVariantMap item(const QString &title, qint64 uid, const QVariantMap &keys = {})
    {
        QVariantMap record = keys;
        record.insert(RecordKeys::title, title);
        record.insert(RecordKeys::uid, uid);
        record.insert(RecordKeys::date, QDateTime::fromSecsSinceEpoch(1'700'000'000 + uid, Qt::UTC));
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

    QStringList titlesOf(const QList<QVariantMap> &records) const
    {
        QStringList titles;
        for (const QVariantMap &record : records)
            titles.append(Records::title(record));
        return titles;
    }

    TestFolder folder;
    FakePreferencesStore preferences;
    FavoritesStore favorites{preferences};
    SortSettings sortSettings;
    SupportFiles supportFiles;
    ViewLinks links;
    FakeDesktopServices desktop;
    SelectTagVc picker;
};
