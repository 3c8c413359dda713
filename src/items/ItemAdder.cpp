#include "items/ItemAdder.h"

#include "store/FavoritesStore.h"
#include "store/FileBookmarks.h"
#include "store/Sorting.h"
#include "store/ViewLinks.h"

ItemAdder::ItemAdder(const ItemServices &services)
    : m_services(services)
    , m_factory(services)
{
}

Item ItemAdder::addFile(const QString &groupTitle, const QString &path)
{
    const Item item = m_services.favorites.makeFileItem(path);
    m_services.favorites.appendItemToGroup(groupTitle, item);
    m_services.fileBookmarks.storeFileBookmark(item.target());
    m_services.links.requestManagerGroupsReload();
    return item;
}

ItemResult ItemAdder::addBookmark(const QString &groupTitle, const QString &title, const QString &address)
{
    return store(groupTitle, m_factory.makeBookmark(title, address));
}

ItemResult ItemAdder::addNote(const QString &groupTitle, const QString &title, const QString &text)
{
    return store(groupTitle, m_factory.makeNote(title, text));
}

ItemResult ItemAdder::addColor(const QString &groupTitle, const QString &title, const QColor &color)
{
    return store(groupTitle, m_factory.makeColor(title, color));
}

ItemResult ItemAdder::store(const QString &groupTitle, const ItemResult &result)
{
    if (!result.ok())
        return result;
    FavoritesStore &favorites = m_services.favorites;
    favorites.appendItemToGroup(groupTitle, *result.item);
    Sorting::sortAllGroupItems(favorites, favorites.groups(), m_services.sortSettings);
    m_services.links.requestManagerGroupsReload();
    return result;
}
