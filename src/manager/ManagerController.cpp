#include "manager/ManagerController.h"

#include "items/DropView.h"
#include "items/DroppedFilesAdder.h"
#include "items/ItemServices.h"
#include "platform/ClipboardService.h"
#include "platform/FileRevealer.h"
#include "platform/UrlOpener.h"
#include "store/ColorText.h"
#include "store/FavoritesStore.h"
#include "store/GroupLists.h"
#include "store/SearchRules.h"
#include "store/SupportFiles.h"
#include "store/ViewLinks.h"

#include <QFileInfo>
#include <QMimeData>

namespace {
const QString defaultGroupBaseName = QStringLiteral("Group");
} // namespace

ManagerController::ManagerController(const ManagerServices &services, QObject *parent)
    : QObject(parent)
    , m_services(services)
{
}

QString ManagerController::groupTitle(int row) const
{
    return row >= 0 && row < m_grouparr.size() ? m_grouparr.at(row).title() : QString();
}

QString ManagerController::selectedGroupTitle() const
{
    return groupTitle(m_selectedRow);
}

int ManagerController::itemCount(int row) const
{
    if (row < 0 || row >= m_grouparr.size())
        return 0;
    return m_services.favorites.itemCount(groupTitle(row));
}

void ManagerController::storeGroups()
{
    m_services.favorites.setGroups(m_grouparr);
}

void ManagerController::storeSelectedItems()
{
    if (m_selectedRow >= 0)
        m_services.favorites.setItems(selectedGroupTitle(), m_selectedGroupItems);
}

void ManagerController::readSelectedItems()
{
    m_selectedGroupItems = m_selectedRow >= 0 ? m_services.favorites.items(selectedGroupTitle()) : QList<Item>();
}

void ManagerController::followSelection(const QString &title)
{
    if (m_grouparr.isEmpty()) {
        m_selectedRow = -1;
        return;
    }
    for (int row = 0; row < m_grouparr.size(); ++row) {
        if (!title.isNull() && m_grouparr.at(row).title() == title) {
            m_selectedRow = row;
            return;
        }
    }
    m_selectedRow = qBound(0, m_selectedRow, int(m_grouparr.size()) - 1);
}

void ManagerController::showGroupsAgain(const QString &selected)
{
    followSelection(selected);
    readSelectedItems();
    refilter();
    Q_EMIT groupsReset();
    Q_EMIT itemsReset();
}

void ManagerController::loadGroups()
{
    const QString title = m_selectedRow >= 0 ? selectedGroupTitle() : QString();
    m_grouparr = m_services.favorites.groups();
    showGroupsAgain(title);
}

void ManagerController::selectGroup(int row)
{
    SearchStop();
    m_selectedRow = row >= 0 && row < m_grouparr.size() ? row : -1;
    sortSelectedItems();
    Q_EMIT selectionMoved(m_selectedRow);
    Q_EMIT itemsReset();
    m_services.viewLinks.requestQuickListReload();
}

QString ManagerController::defaultGroupName() const
{
    QString candidate = defaultGroupBaseName;
    for (int n = 1;; ++n) {
        const bool taken = std::any_of(m_grouparr.cbegin(), m_grouparr.cend(),
                                       [&candidate](const Group &group) { return group.title() == candidate; });
        if (!taken)
            return candidate;
        candidate = defaultGroupBaseName + QString::number(n);
    }
}

int ManagerController::addGroup()
{
    // A change stored elsewhere since the last read must not be lost.
    const QString selected = selectedGroupTitle();
    m_grouparr = m_services.favorites.groups();
    followSelection(selected);
    m_services.favorites.createGroup(defaultGroupName());
    m_grouparr = m_services.favorites.groups();
    Q_EMIT groupsReset();
    selectGroup(int(m_grouparr.size()) - 1);
    return m_selectedRow;
}

ManagerController::Rename ManagerController::rename(int row, const QString &title)
{
    if (row < 0 || row >= m_grouparr.size())
        return Rename::ignored;
    const QString old = groupTitle(row);
    if (old.isEmpty() && title.isEmpty()) {
        const QString selected = row == m_selectedRow ? QString() : selectedGroupTitle();
        m_grouparr.removeAt(row);
        storeGroups();
        showGroupsAgain(selected);
        m_services.viewLinks.requestQuickListReload();
        return Rename::removed;
    }
    if (title == old)
        return Rename::unchanged;
    if (title.isEmpty())
        return Rename::restored;
    for (int other = 0; other < m_grouparr.size(); ++other) {
        if (other != row && groupTitle(other) == title)
            return Rename::duplicate;
    }
    const QString selected = row == m_selectedRow ? title : selectedGroupTitle();
    GroupLists(m_services.favorites, m_services.supportFiles).renameGroup(m_grouparr, row, title);
    Sorting::sortingGroups(m_services.favorites, m_grouparr, m_services.sortSettings);
    showGroupsAgain(selected);
    m_services.viewLinks.requestQuickListReload();
    return Rename::renamed;
}

void ManagerController::deleteGroup(int row)
{
    if (row < 0 || row >= m_grouparr.size())
        return;
    const QString selected = row == m_selectedRow ? QString() : selectedGroupTitle();
    GroupLists(m_services.favorites, m_services.supportFiles).deleteGroup(m_grouparr, row);
    if (selected.isNull())
        m_selectedRow = qMin(row, int(m_grouparr.size()) - 1);
    followSelection(selected);
    Q_EMIT groupsReset();
    selectGroup(m_selectedRow);
}

bool ManagerController::groupSharesItems(int row) const
{
    return GroupLists::sharesItems(m_grouparr, row);
}

void ManagerController::sortGroups()
{
    const QString selected = selectedGroupTitle();
    Sorting::sortingGroups(m_services.favorites, m_grouparr, m_services.sortSettings);
    followSelection(selected);
    Q_EMIT groupsReset();
    m_services.viewLinks.requestQuickListReload();
}

void ManagerController::changeColor(int row, const QColor &color)
{
    if (row < 0 || row >= m_grouparr.size() || !color.isValid())
        return;
    m_grouparr[row].setColor(ColorText::fromColor(color));
    sortGroups();
}

const QList<Item> &ManagerController::shownItems() const
{
    return m_searchBegin ? m_managerSearchResults : m_selectedGroupItems;
}

std::optional<Item> ManagerController::shownItem(int row) const
{
    const QList<Item> &shown = shownItems();
    return row >= 0 && row < shown.size() ? std::optional(shown.at(row)) : std::nullopt;
}

int ManagerController::indexInSelectedItems(int row) const
{
    const auto item = shownItem(row);
    if (!item)
        return -1;
    if (!m_searchBegin)
        return row;
    const auto uid = item->uid();
    return uid ? FavoritesStore::indexOfItem(m_selectedGroupItems, *uid) : -1;
}

int ManagerController::shownRowOfUid(qint64 uid) const
{
    return FavoritesStore::indexOfItem(shownItems(), uid);
}

void ManagerController::refilter()
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

void ManagerController::search(const QString &text)
{
    m_searchText = text;
    m_searchBegin = !text.isEmpty();
    m_managerSearchResults.clear();
    refilter();
    Q_EMIT itemsReset();
}

void ManagerController::SearchStop()
{
    const bool wasSearching = m_searchBegin || !m_searchText.isEmpty();
    m_searchBegin = false;
    m_searchText.clear();
    m_managerSearchResults.clear();
    if (wasSearching)
        Q_EMIT searchEnded();
}

void ManagerController::afterItemsChanged(std::optional<qint64> uid)
{
    refilter();
    Q_EMIT itemsReset();
    if (uid)
        Q_EMIT itemToReveal(*uid);
    Q_EMIT groupChanged(m_selectedRow);
    m_services.viewLinks.requestQuickListReload();
}

void ManagerController::PinItem(int row)
{
    const int index = indexInSelectedItems(row);
    if (index < 0)
        return;
    Item &item = m_selectedGroupItems[index];
    item.setPinned(!item.isPinned());
    const auto uid = item.uid();
    Sorting::sortSelectedGroupItems(m_services.favorites, m_selectedGroupItems, selectedGroupTitle(),
                                    m_services.sortSettings);
    afterItemsChanged(uid);
}

void ManagerController::removeItem(int row)
{
    const int index = indexInSelectedItems(row);
    if (index < 0)
        return;
    m_services.supportFiles.removeFilesOf(m_selectedGroupItems.at(index));
    m_selectedGroupItems.removeAt(index);
    storeSelectedItems();
    afterItemsChanged();
}

ManagerController::Open ManagerController::openItem(int row)
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

std::optional<QString> ManagerController::filePathOf(const Item &item)
{
    if (!item.uid() || item.kind() != ItemKind::normalFile || item.target().isEmpty())
        return std::nullopt;
    return item.target();
}

void ManagerController::revealItem(int row)
{
    const auto item = shownItem(row);
    if (const auto path = item ? filePathOf(*item) : std::nullopt)
        m_services.desktop.revealer.reveal(*path);
}

std::optional<qint64> ManagerController::addDroppedFiles(const QStringList &paths)
{
    if (m_selectedRow < 0 || paths.isEmpty())
        return std::nullopt;
    const ItemServices itemServices{m_services.favorites,   m_services.supportFiles, m_services.fileBookmarks,
                                    m_services.sortSettings, m_services.viewLinks,  m_services.faviconFetcher};
    const auto uid = DroppedFilesAdder(itemServices).addDroppedFiles(selectedGroupTitle(), m_selectedGroupItems, paths);
    refilter();
    Q_EMIT itemsReset();
    if (uid)
        Q_EMIT itemToReveal(*uid);
    Q_EMIT groupChanged(m_selectedRow);
    return uid;
}

void ManagerController::selectedItemsStored(std::optional<qint64> uid)
{
    sortSelectedItems();
    afterItemsChanged(uid);
}

void ManagerController::sortSelectedItems()
{
    m_selectedGroupItems = m_selectedRow >= 0 ? Sorting::sortStoredItems(m_services.favorites, selectedGroupTitle(),
                                                                         m_services.sortSettings)
                                              : QList<Item>();
}

void ManagerController::beginDrag(Drag drag, int draggedIndex)
{
    m_drag = drag;
    m_draggedIndex = draggedIndex;
}

bool ManagerController::validateDrop(int row, bool onRow, const QMimeData *data) const
{
    switch (m_drag) {
    case Drag::item:
        return onRow && row >= 0 && row < m_grouparr.size() && row != m_selectedRow;
    case Drag::group:
        return !onRow && row >= 0 && row <= m_grouparr.size();
    case Drag::none:
        break;
    }
    return onRow && row >= 0 && row < m_grouparr.size() && data && DropView::droppedFiles(data).has_value();
}

bool ManagerController::acceptDrop(int row, bool onRow, const QMimeData *data)
{
    if (!validateDrop(row, onRow, data))
        return false;
    switch (m_drag) {
    case Drag::item:
        return moveItemToGroup(m_draggedIndex, row);
    case Drag::group:
        moveGroup(m_draggedIndex, row);
        return true;
    case Drag::none:
        break;
    }
    const auto paths = DropView::droppedFiles(data);
    selectGroup(row);
    return addDroppedFiles(*paths).has_value();
}

void ManagerController::moveGroup(int from, int row)
{
    if (from < 0 || from >= m_grouparr.size() || row < 0 || row > m_grouparr.size())
        return;
    // A manual order ends any group sort.
    m_services.sortSettings.groupSortKey = SortSettings::GroupKey::none;
    const QString selected = selectedGroupTitle();
    const Group group = m_grouparr.at(from);
    if (row < from) {
        m_grouparr.removeAt(from);
        m_grouparr.insert(row, group);
    } else {
        m_grouparr.insert(row, group);
        m_grouparr.removeAt(from);
    }
    storeGroups();
    followSelection(selected);
    Q_EMIT groupsReset();
    m_services.viewLinks.requestQuickListReload();
}

bool ManagerController::moveItemToGroup(int itemRow, int groupRow)
{
    const int index = indexInSelectedItems(itemRow);
    if (index < 0 || groupRow < 0 || groupRow >= m_grouparr.size() || groupRow == m_selectedRow)
        return false;
    const Item item = m_selectedGroupItems.takeAt(index);
    storeSelectedItems();
    refilter();
    Q_EMIT itemsReset();
    const QString target = groupTitle(groupRow);
    m_services.favorites.appendItemToGroup(target, item);
    m_services.viewLinks.requestQuickListReload();
    Q_EMIT groupChanged(m_selectedRow);
    Q_EMIT groupChanged(groupRow);
    return true;
}

void ManagerController::setGroupSortKey(SortSettings::GroupKey key)
{
    m_services.sortSettings.groupSortKey = key;
    // "None" only stops sorting: the stored order stays as it is.
    if (key != SortSettings::GroupKey::none)
        sortGroups();
}

void ManagerController::setGroupSortAscending(bool ascending)
{
    m_services.sortSettings.groupSortAscending = ascending;
    sortGroups();
}

void ManagerController::setItemSortKey(SortSettings::ItemKey key)
{
    m_services.sortSettings.itemSortKey = key;
    selectedItemsStored(std::nullopt);
}

void ManagerController::setItemSortAscending(bool ascending)
{
    m_services.sortSettings.itemSortAscending = ascending;
    selectedItemsStored(std::nullopt);
}
