#pragma once

#include "items/FaviconFetcher.h"
#include "items/ItemAdder.h"
#include "items/ItemServices.h"
#include "store/FileBookmarks.h"
#include "support/FavoritesFixture.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>

// The favourites fixture with two groups and the services items need. The
// fetcher is pointed at an address nothing listens on unless a test serves.
class ItemsFixture : public FavoritesFixture
{
protected:
    ItemsFixture()
    {
        fetcher.setServiceOverride(QUrl(QStringLiteral("http://127.0.0.1:9")));
        favorites.setGroups({Group(QStringLiteral("Work")), Group(QStringLiteral("Home"))});
    }

    QStringList filesInSupportFolder() const { return QDir(supportFiles.folder()).entryList(QDir::Files); }
    static QByteArray contentOf(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }
    QStringList storedTitles(const QString &group) const { return titlesOf(favorites.items(group)); }
    // The record of the item uid as the file holds it.
    QVariantMap storedRecord(const QString &group, qint64 uid) const
    {
        for (const QVariant &element :
             preferences.arrayForKey(FavoritesStore::itemListKey(group)).value_or(QVariantList())) {
            if (element.toMap().value(RecordKeys::uid) == uid)
                return element.toMap();
        }
        return {};
    }

    FileBookmarks bookmarks{preferences};
    FaviconFetcher fetcher;
    ItemServices services{favorites, supportFiles, bookmarks, sortSettings, links, fetcher};
    ItemAdder adder{services};
};
