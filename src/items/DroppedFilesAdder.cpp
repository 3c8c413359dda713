#include "items/DroppedFilesAdder.h"

#include "store/FavoritesStore.h"
#include "store/FileBookmarks.h"
#include "store/Sorting.h"
#include "store/ViewLinks.h"

DroppedFilesAdder::DroppedFilesAdder(const ItemServices &services)
    : m_services(services)
{
}

std::optional<qint64> DroppedFilesAdder::addDroppedFiles(const QString &groupTitle, QList<Item> &selectedGroupItems,
                                                         const QStringList &paths)
{
    if (paths.isEmpty())
        return std::nullopt;
    std::optional<qint64> lastUid;
    QStringList addedPaths;
    for (const QString &path : paths) {
        const Item item = m_services.favorites.makeFileItem(path);
        selectedGroupItems.append(item);
        lastUid = item.uid();
        addedPaths.append(item.target());
    }
    Sorting::sortSelectedGroupItems(m_services.favorites, selectedGroupItems, groupTitle, m_services.sortSettings);
    // Recorded once the items are stored, so a failure here leaves them in place.
    for (const QString &path : std::as_const(addedPaths))
        m_services.fileBookmarks.storeFileBookmark(path);
    m_services.links.requestQuickListReload();
    return lastUid;
}
