#pragma once

#include "items/FaviconFetcher.h"
#include "manager/DimmingLayer.h"
#include "manager/ManagerController.h"
#include "manager/ManagerServices.h"
#include "platform/FakeDesktopServices.h"
#include "platform/FakePreferencesStore.h"
#include "quicklist/SelectTagVc.h"
#include "store/ColorText.h"
#include "store/FavoritesStore.h"
#include "store/FileBookmarks.h"
#include "store/LocalizedText.h"
#include "store/Records.h"
#include "store/Sorting.h"
#include "store/StoreKeys.h"
#include "store/SupportFiles.h"
#include "store/ViewLinks.h"
#include "support/TestFolders.h"

#include <QDateTime>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

inline void PrintTo(const QString &text, std::ostream *os)
{
    *os << '"' << text.toStdString() << '"';
}

// A store in memory, a private support folder, the platform fakes, and
// helpers to fill the store.
class ManagerFixture : public ::testing::Test
{
protected:
    ManagerFixture()
        : supportFiles(folder.filePath(QStringLiteral("support")), favorites)
    {
        QDir().mkpath(supportFiles.folder());
        fetcher.setServiceOverride(QUrl(QStringLiteral("http://127.0.0.1:9")));
        Localization::setTable(loadLanguageTable(QStringLiteral("English")));
    }
    ~ManagerFixture() override { Localization::setTable(std::nullopt); }

    ManagerServices services()
    {
        return {favorites, supportFiles, bookmarks, sortSettings, links, fetcher, preferences, desktop.services(), picker};
    }

    void addGroup(const QString &title, const QList<QVariantMap> &items = {}, const QString &color = {})
    {
        QVariantMap group = Records::newGroup(title);
        if (!color.isEmpty())
            group.insert(RecordKeys::color, color);
        QList<QVariantMap> groups = favorites.groups();
        groups.append(group);
        favorites.setGroups(groups);
        if (!items.isEmpty())
            favorites.setItems(title, items);
    }

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

    // A file in the support folder (a note body, an icon).
    QString supportFile(const QString &name, const QByteArray &contents = "text")
    {
        const QString path = supportFiles.folder() + QLatin1Char('/') + name;
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(contents);
        return path;
    }
    // A file of the user's, outside the support folder.
    QString userFile(const QString &name, const QByteArray &contents = "mine")
    {
        const QString path = folder.filePath(name);
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(contents);
        return path;
    }

    static QStringList titlesOf(const QList<QVariantMap> &records)
    {
        QStringList titles;
        for (const QVariantMap &record : records)
            titles.append(Records::title(record));
        return titles;
    }
    QStringList storedGroupTitles() const { return favorites.groupTitles(); }
    QStringList storedItemTitles(const QString &group) const { return titlesOf(favorites.items(group)); }

    TestFolder folder;
    FakePreferencesStore preferences;
    FavoritesStore favorites{preferences};
    FileBookmarks bookmarks{preferences};
    SupportFiles supportFiles;
    SortSettings sortSettings;
    ViewLinks links;
    FaviconFetcher fetcher;
    FakeDesktopServices desktop;
    SelectTagVc picker;
};
