#pragma once

#include "items/FaviconFetcher.h"
#include "items/ItemAdder.h"
#include "items/ItemServices.h"
#include "platform/FakePreferencesStore.h"
#include "store/FavoritesStore.h"
#include "store/FileBookmarks.h"
#include "store/LocalizedText.h"
#include "store/Records.h"
#include "store/Sorting.h"
#include "store/StoreKeys.h"
#include "store/SupportFiles.h"
#include "store/ViewLinks.h"

#include "support/TestFolders.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>

#include <gtest/gtest.h>

// A fake store, a private support folder, the services items need and the
// English texts. The fetcher is pointed at an address nothing listens on
// unless a test serves.
class ItemsFixture : public ::testing::Test
{
protected:
    ItemsFixture()
    {
        Localization::setTable(loadLanguageTable(QStringLiteral("English")));
        fetcher.setServiceOverride(QUrl(QStringLiteral("http://127.0.0.1:9")));
        favorites.setGroups({Records::newGroup(QStringLiteral("Work")), Records::newGroup(QStringLiteral("Home"))});
    }
    ~ItemsFixture() override { Localization::setTable(std::nullopt); }

    QStringList filesInSupportFolder() const { return QDir(folder.path()).entryList(QDir::Files); }
    static QByteArray contentOf(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }
    QStringList storedTitles(const QString &group) const
    {
        QStringList titles;
        for (const QVariantMap &item : favorites.items(group))
            titles.append(Records::title(item));
        return titles;
    }

    TestFolder folder;
    FakePreferencesStore preferences;
    FavoritesStore favorites{preferences};
    FileBookmarks bookmarks{preferences};
    SupportFiles supportFiles{folder.path(), favorites};
    SortSettings sortSettings;
    ViewLinks links;
    FaviconFetcher fetcher;
    ItemServices services{favorites, supportFiles, bookmarks, sortSettings, links, fetcher};
    ItemAdder adder{services};
};
