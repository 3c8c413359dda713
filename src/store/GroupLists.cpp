#include "store/GroupLists.h"

#include "store/FavoritesStore.h"
#include "store/SupportFiles.h"

GroupLists::GroupLists(FavoritesStore &favorites, const SupportFiles &supportFiles)
    : m_favorites(favorites)
    , m_supportFiles(supportFiles)
{
}

bool GroupLists::sharesItems(const QList<Group> &groups, int index)
{
    if (index < 0 || index >= groups.size())
        return false;
    const QString title = groups.at(index).title();
    for (int other = 0; other < groups.size(); ++other) {
        if (other != index && groups.at(other).title() == title)
            return true;
    }
    return false;
}

void GroupLists::deleteGroup(QList<Group> &groups, int index)
{
    if (index < 0 || index >= groups.size())
        return;
    const bool shared = sharesItems(groups, index);
    const QString title = groups.takeAt(index).title();
    QStringList removedTitles;
    if (!shared) {
        for (const Item &item : m_favorites.items(title))
            m_supportFiles.removeFilesOf(item);
        removedTitles.append(title);
    }
    m_favorites.setGroupsRemovingItems(groups, removedTitles);
}

void GroupLists::renameGroup(QList<Group> &groups, int index, const QString &title)
{
    if (index < 0 || index >= groups.size())
        return;
    const bool shared = sharesItems(groups, index);
    const QString old = groups.at(index).title();
    groups[index].setTitle(title);
    if (shared)
        m_favorites.setGroupsMovingItems(groups, old, title, [this](const Item &item) { return ownCopyOf(item); });
    else
        m_favorites.setGroupsMovingItems(groups, old, title);
}

Item GroupLists::ownCopyOf(Item item)
{
    if (item.uid())
        item.setUid(m_favorites.nextUid());
    // A file that cannot be copied (gone, say) is left named as it was.
    const auto copyOf = [this](const QString &path) -> std::optional<QString> {
        if (!m_supportFiles.contains(path))
            return std::nullopt;
        return m_supportFiles.copyFile(path);
    };
    if (const auto icon = copyOf(item.iconPath()))
        item.setIconPath(*icon);
    if (item.kind() == ItemKind::text) {
        if (const auto note = copyOf(item.target()))
            item.setTarget(*note);
    }
    return item;
}
