#pragma once

#include "items/FaviconFetcher.h"
#include "manager/GroupsDropTarget.h"
#include "manager/GroupsListView.h"
#include "manager/ItemsListView.h"
#include "manager/ManagerGroups.h"
#include "manager/ManagerItems.h"
#include "manager/ManagerPage.h"
#include "manager/ManagerServices.h"
#include "store/ColorText.h"
#include "store/FavoritesHistory.h"
#include "store/FileBookmarks.h"
#include "support/FavoritesFixture.h"
#include "widgets/DimmingLayer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>

// The favourites fixture with the manager's services, a support folder on
// disk and a favicon fetcher that reaches no network.
class ManagerFixture : public FavoritesFixture
{
protected:
    ManagerFixture()
    {
        QDir().mkpath(supportFiles.folder());
        fetcher.setServiceOverride(QUrl("http://127.0.0.1:9"));
    }

    ManagerServices services()
    {
        return {favorites, supportFiles, bookmarks,          sortSettings, links,
                fetcher,   preferences,  desktop.services(), picker,       &history};
    }

    // The manager page's decisions without its widgets.
    struct Manager
    {
        explicit Manager(const ManagerServices &services)
            : groups(services)
            , items(services, groups)
            , drops(groups, items)
        {
        }
        ManagerGroups groups;
        ManagerItems items;
        GroupsDropTarget drops;
    };
    // Over the stored groups, the first one selected.
    std::unique_ptr<Manager> makeManager()
    {
        auto manager = std::make_unique<Manager>(services());
        manager->groups.loadGroups();
        if (manager->groups.groupCount() > 0)
            manager->groups.selectGroup(0);
        return manager;
    }

    void addGroup(const QString &title, const QList<Item> &groupItems = {}, const QString &color = {})
    {
        Group group(title);
        if (!color.isEmpty())
            group.setColor(color);
        storeGroup(group, groupItems, !groupItems.isEmpty());
    }

    // A file in the support folder (a note body, an icon), and one of the user's outside it.
    QString supportFile(const QString &name, const QByteArray &contents = "text")
    {
        return written(supportFiles.folder() + u'/' + name, contents);
    }
    QString userFile(const QString &name, const QByteArray &contents = "mine")
    {
        return written(folder.filePath(name), contents);
    }
    static QString written(const QString &path, const QByteArray &contents)
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(contents);
        return path;
    }
    static QByteArray contentOf(const QString &path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
    }

    // The manager page in a window of its own, shown and active.
    void openPage()
    {
        window = std::make_unique<QWidget>();
        window->resize(900, 600);
        layer = new DimmingLayer(window.get());
        page = new ManagerPage(services(), *layer, window.get());
        page->resize(window->size());
        window->show();
        QApplication::setActiveWindow(window.get());
        groups = page->findChild<GroupsListView *>("tblviewgroup");
        items = page->findChild<ItemsListView *>("tblviewItems");
    }

    QString savedPicture(const QString &name, int width, int height)
    {
        QImage picture(width, height, QImage::Format_RGB32);
        picture.fill(Qt::red);
        EXPECT_TRUE(picture.save(folder.filePath(name)));
        return folder.filePath(name);
    }

    QStringList storedGroupTitles() const { return favorites.groupTitles(); }
    Group storedGroup(const QString &title) const
    {
        return favorites.groups().value(favorites.groupTitles().indexOf(title));
    }
    // Stores a group's items as the popup would and has the open manager reload.
    void replaceItems(const QString &group, const QList<Item> &groupItems)
    {
        favorites.setItems(group, groupItems);
        links.managerLoaded = true;
        links.requestManagerGroupsReload();
    }
    QStringList storedItemTitles(const QString &group) const { return titlesOf(favorites.items(group)); }

    FileBookmarks bookmarks{preferences};
    FaviconFetcher fetcher;
    FavoritesHistory history{favorites, supportFiles, sortSettings, links};
    std::unique_ptr<QWidget> window;
    DimmingLayer *layer = nullptr;
    ManagerPage *page = nullptr;
    GroupsListView *groups = nullptr;
    ItemsListView *items = nullptr;
};
