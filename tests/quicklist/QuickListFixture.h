#pragma once

#include "quicklist/PopupWindow.h"
#include "quicklist/QuickListPage.h"
#include "support/FavoritesFixture.h"

#include <QAbstractItemModel>

// The favourites fixture with the popup's services.
class QuickListFixture : public FavoritesFixture
{
protected:
    QuickListServices services()
    {
        return {favorites, preferences, sortSettings, supportFiles, links, desktop.services(), picker};
    }

    // Adds a group, expanded or folded, with items stored under its title
    // (left unstored with storeList false, as a group whose list is missing).
    void addGroup(const QString &title, bool expanded, const QList<Item> &items, bool storeList = true)
    {
        Group group(title);
        group.setExpanded(expanded);
        storeGroup(group, items, storeList);
    }

    static QStringList rowTitlesOf(const QAbstractItemModel &model)
    {
        QStringList titles;
        for (int row = 0; row < model.rowCount(); ++row)
            titles.append(model.index(row, 0).data().toString());
        return titles;
    }
};
