#include "manager/ManagerItems.h"

#include "items/DroppedFilesAdder.h"
#include "manager/ManagerGroups.h"
#include "platform/ClipboardService.h"
#include "platform/FileRevealer.h"
#include "platform/UrlOpener.h"
#include "store/FavoritesHistory.h"
#include "store/FavoritesStore.h"
#include "store/SearchRules.h"
#include "store/SupportFiles.h"
#include "store/TextKeys.h"
#include "store/ViewLinks.h"

#include <QFileInfo>

ManagerItems::ManagerItems(const ManagerServices &services, ManagerGroups &groups, QObject *parent)
    : QObject(parent)
    , m_services(services)
    , m_groups(groups)
{
    connect(&groups, &ManagerGroups::selectionMoved, this, &ManagerItems::showSelectedGroup);
    connect(&groups, &ManagerGroups::groupsReloaded, this, [this] {
        readSelectedItems();
        refilter();
        Q_EMIT itemsReset();
    });
}

void ManagerItems::showSelectedGroup()
{
    SearchStop();
    sortSelectedItems();
    Q_EMIT itemsReset();
}

void ManagerItems::readSelectedItems()
{
    m_selectedGroupItems = m_groups.selectedRow() >= 0 ? m_services.favorites.items(m_groups.selectedGroupTitle())
                                                       : QList<Item>();
}

void ManagerItems::sortSelectedItems()
{
    m_selectedGroupItems = m_groups.selectedRow() >= 0 ? Sorting::sortStoredItems(
                               m_services.favorites, m_groups.selectedGroupTitle(), m_services.sortSettings)
                                                       : QList<Item>();
}

void ManagerItems::storeSelectedItems()
{
    if (m_groups.selectedRow() >= 0)
        m_services.favorites.setItems(m_groups.selectedGroupTitle(), m_selectedGroupItems);
}

const QList<Item> &ManagerItems::shownItems() const
{
    return m_searchBegin ? m_managerSearchResults : m_selectedGroupItems;
}

std::optional<Item> ManagerItems::shownItem(int row) const
{
    const QList<Item> &shown = shownItems();
    return row >= 0 && row < shown.size() ? std::optional(shown.at(row)) : std::nullopt;
}

int ManagerItems::indexInSelectedItems(int row) const
{
    const auto item = shownItem(row);
    if (!item)
        return -1;
    if (!m_searchBegin)
        return row;
    const auto uid = item->uid();
    return uid ? FavoritesStore::indexOfItem(m_selectedGroupItems, *uid) : -1;
}

int ManagerItems::shownRowOfUid(qint64 uid) const
{
    return FavoritesStore::indexOfItem(shownItems(), uid);
}

void ManagerItems::refilter()
{
    if (!m_searchBegin)
        return;
    const ManagerSearch search(m_searchText);
    m_managerSearchResults.clear();
    for (const Item &item : std::as_const(m_selectedGroupItems)) {
        if (search.matches(item))
            m_managerSearchResults.append(item);
    }
}

void ManagerItems::search(const QString &text)
{
    m_searchText = text;
    m_searchBegin = !text.isEmpty();
    m_managerSearchResults.clear();
    refilter();
    Q_EMIT itemsReset();
}

void ManagerItems::SearchStop()
{
    const bool wasSearching = m_searchBegin || !m_searchText.isEmpty();
    m_searchBegin = false;
    m_searchText.clear();
    m_managerSearchResults.clear();
    if (wasSearching)
        Q_EMIT searchEnded();
}

void ManagerItems::afterItemsChanged(std::optional<qint64> uid)
{
    refilter();
    Q_EMIT itemsReset();
    if (uid)
        Q_EMIT itemToReveal(*uid);
    m_groups.itemsChangedAt(m_groups.selectedRow());
    m_services.viewLinks.requestQuickListReload();
}

void ManagerItems::PinItem(int row)
{
    const int index = indexInSelectedItems(row);
    if (index < 0)
        return;
    Item &item = m_selectedGroupItems[index];
    const FavoritesHistoryStep step(m_services.history, item.isPinned() ? Text::unpinStep : Text::pinToTopStep,
                                    QStringList{m_groups.selectedGroupTitle()});
    item.setPinned(!item.isPinned());
    const auto uid = item.uid();
    Sorting::sortSelectedGroupItems(m_services.favorites, m_selectedGroupItems, m_groups.selectedGroupTitle(),
                                    m_services.sortSettings);
    afterItemsChanged(uid);
}

void ManagerItems::removeItem(int row)
{
    const int index = indexInSelectedItems(row);
    if (index < 0)
        return;
    const FavoritesHistoryStep step(m_services.history, Text::removeItemStep,
                                    QStringList{m_groups.selectedGroupTitle()});
    m_services.supportFiles.removeFilesOf(m_selectedGroupItems.at(index));
    m_selectedGroupItems.removeAt(index);
    storeSelectedItems();
    afterItemsChanged();
}

ManagerItems::Open ManagerItems::openItem(int row)
{
    const auto item = shownItem(row);
    if (!item)
        return Open::nothing;
    if (item->kind() == ItemKind::color) {
        const QString code = item->copiedColorCode();
        return !code.isEmpty() && m_services.desktop.clipboard.setText(code) ? Open::copiedColor : Open::nothing;
    }
    const auto link = m_services.supportFiles.withLocalPaths(*item).link();
    if (!link)
        return Open::nothing;
    if (link->isLocalFile() && !QFileInfo::exists(link->toLocalFile()))
        return Open::missing;
    return m_services.desktop.urls.openUrl(*link) ? Open::opened : Open::openFailed;
}

std::optional<QString> ManagerItems::filePathOf(const Item &item)
{
    if (!item.uid() || item.kind() != ItemKind::normalFile || item.target().isEmpty())
        return std::nullopt;
    return item.target();
}

void ManagerItems::revealItem(int row, const std::function<void()> &failed)
{
    const auto item = shownItem(row);
    if (const auto path = item ? filePathOf(*item) : std::nullopt)
        m_services.desktop.revealer.reveal(*path, failed);
}

std::optional<qint64> ManagerItems::addDroppedFiles(const QStringList &paths)
{
    if (m_groups.selectedRow() < 0 || paths.isEmpty())
        return std::nullopt;
    const auto uid = DroppedFilesAdder(m_services.items())
                         .addDroppedFiles(m_groups.selectedGroupTitle(), m_selectedGroupItems, paths);
    refilter();
    Q_EMIT itemsReset();
    if (uid)
        Q_EMIT itemToReveal(*uid);
    m_groups.itemsChangedAt(m_groups.selectedRow());
    return uid;
}

bool ManagerItems::moveItemToGroup(int itemRow, int groupRow)
{
    const int index = indexInSelectedItems(itemRow);
    const int selectedRow = m_groups.selectedRow();
    if (index < 0 || groupRow < 0 || groupRow >= m_groups.groupCount() || groupRow == selectedRow)
        return false;
    const FavoritesHistoryStep step(m_services.history, Text::moveItemStep,
                                    QStringList{m_groups.selectedGroupTitle(), m_groups.groupTitle(groupRow)});
    const Item item = m_selectedGroupItems.takeAt(index);
    storeSelectedItems();
    refilter();
    Q_EMIT itemsReset();
    m_services.favorites.appendItemToGroup(m_groups.groupTitle(groupRow), item);
    m_services.viewLinks.requestQuickListReload();
    m_groups.itemsChangedAt(selectedRow);
    m_groups.itemsChangedAt(groupRow);
    return true;
}

void ManagerItems::selectedItemsStored(std::optional<qint64> uid)
{
    sortSelectedItems();
    afterItemsChanged(uid);
}

void ManagerItems::setItemSortKey(SortSettings::ItemKey key)
{
    const FavoritesHistoryStep step(m_services.history, Text::sortStep);
    m_services.sortSettings.itemSortKey = key;
    selectedItemsStored(std::nullopt);
}

void ManagerItems::setItemSortAscending(bool ascending)
{
    const FavoritesHistoryStep step(m_services.history, Text::sortStep);
    m_services.sortSettings.itemSortAscending = ascending;
    selectedItemsStored(std::nullopt);
}
