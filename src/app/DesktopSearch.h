#pragma once

#include "store/Item.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class FavoritesStore;
class SupportFiles;

// What the desktop's search (GNOME Shell's overview, KRunner) finds among
// the favourites. Items match as in the popup's search (PopupSearch), and
// the best few are kept: those whose title matches before those found by
// their address or path, each in the order the popup lists them.
class DesktopSearch final
{
public:
    static constexpr int maximumResults = 5;

    struct Result
    {
        // The item's uid in decimal: how the desktop names it back.
        QString id;
        Item item;
        QString groupTitle;
        // The title matched, not only the address or path.
        bool titleMatched = false;
    };

    // How a result is drawn: a picture file (a bookmark's icon), else
    // pixels (a colour's swatch), else icons of the theme, the first found.
    struct Icon
    {
        QString file;
        QImage image;
        QStringList themeNames;
    };

    DesktopSearch(const FavoritesStore &favorites, const SupportFiles &supportFiles);

    QList<Result> search(const QString &text) const;
    // The item of a result found earlier, as the store holds it now;
    // nothing when it has gone since. The results of the last search are
    // looked for in their group first: the desktop asks about those.
    std::optional<Result> find(const QString &id) const;
    Icon iconOf(const Item &item) const;

    // The text the desktop's terms search for, as typed into the popup.
    static QString textOf(const QStringList &terms);

private:
    QList<Result> remembered(const QList<Result> &results) const;

    const FavoritesStore &m_favorites;
    const SupportFiles &m_supportFiles;
    // The group of each result of the last search, by its id.
    mutable QHash<QString, QString> m_lastGroups;
};
