#include "quicklist/QuickList.h"

#include "store/FavoritesStore.h"

QuickList::QuickList(FavoritesStore &favorites, QObject *parent)
    : QObject(parent)
    , m_favorites(favorites)
{
}

void QuickList::reloadQuickList()
{
    Q_EMIT aboutToRebuild();
    // A missing or unreadable group list keeps the previous copy.
    if (m_favorites.hasGroupList())
        m_grouparr = m_favorites.groups();

    QList<QList<Item>> sections;
    m_itemCounts.clear();
    sections.reserve(m_grouparr.size());
    m_itemCounts.reserve(m_grouparr.size());
    for (const Group &group : std::as_const(m_grouparr)) {
        QList<Item> items = m_favorites.items(group.title());
        m_itemCounts.append(int(items.size()));
        sections.append(group.isExpanded() ? std::move(items) : QList<Item>());
    }
    m_compositeMenuArray = SectionedList<Group, Item>(m_grouparr, std::move(sections));
    m_searchables.reset();
    if (m_searchBegin)
        runSearch();
    Q_EMIT rebuilt();
}

int QuickList::rowCount() const
{
    return m_searchBegin ? int(m_searchItemsarr.size()) : m_compositeMenuArray.countOfItems();
}

bool QuickList::isHeadingRow(int row) const
{
    return !m_searchBegin && m_compositeMenuArray.headerAtIndex(row);
}

std::optional<Item> QuickList::itemAt(int row) const
{
    if (m_searchBegin)
        return row >= 0 && row < m_searchItemsarr.size() ? std::optional(m_searchItemsarr.at(row)) : std::nullopt;
    const Item *item = m_compositeMenuArray.elementAtIndex(row);
    return item ? std::optional(*item) : std::nullopt;
}

std::optional<Group> QuickList::headingAt(int row) const
{
    const Group *group = m_compositeMenuArray.headerAtIndex(row);
    return group ? std::optional(*group) : std::nullopt;
}

int QuickList::groupIndexOfRow(int row) const
{
    if (m_searchBegin)
        return -1;
    return m_compositeMenuArray.arrayAtIndex(row).header;
}

std::optional<Group> QuickList::groupOfRow(int row) const
{
    int index = -1;
    if (m_searchBegin) {
        index = m_searchGroupIndexes.value(row, -1);
    } else {
        const auto location = m_compositeMenuArray.arrayAtIndex(row);
        index = location.isHeader() ? location.header : location.array;
    }
    return index >= 0 && index < m_grouparr.size() ? std::optional(m_grouparr.at(index)) : std::nullopt;
}

bool QuickList::toggleExpansion(int row)
{
    const int index = m_compositeMenuArray.arrayAtIndex(row).header;
    if (index < 0 || index >= m_grouparr.size())
        return false;
    // The group of this heading, also where another has the same title.
    Group &group = m_grouparr[index];
    group.setExpanded(!group.isExpanded());
    m_favorites.setGroups(m_grouparr);
    reloadQuickList();
    return true;
}

void QuickList::expandGroup(const QString &title)
{
    for (Group &group : m_grouparr) {
        if (group.title() == title) {
            if (!group.isExpanded()) {
                group.setExpanded(true);
                m_favorites.setGroups(m_grouparr);
            }
            break;
        }
    }
    reloadQuickList();
}

void QuickList::beginSearch(const QString &text)
{
    Q_EMIT aboutToRebuild();
    m_searchBegin = true;
    m_searchText = text;
    runSearch();
    Q_EMIT rebuilt();
}

void QuickList::endSearch()
{
    if (!m_searchBegin)
        return;
    m_searchBegin = false;
    m_searchText.clear();
    m_searchItemsarr.clear();
    m_searchGroupIndexes.clear();
    m_searchables.reset();
    reloadQuickList();
}

void QuickList::runSearch()
{
    if (!m_searchables) {
        m_searchables.emplace();
        for (int group = 0; group < m_grouparr.size(); ++group) {
            for (const Item &item : m_favorites.items(m_grouparr.at(group).title()))
                m_searchables->append({group, item, FoldedItemTexts(item)});
        }
    }
    m_searchItemsarr.clear();
    m_searchGroupIndexes.clear();
    const PopupSearch search(m_searchText);
    if (search.isEmpty())
        return;
    for (const Searchable &searchable : std::as_const(*m_searchables)) {
        if (search.match(searchable.texts) == PopupSearch::Match::none)
            continue;
        m_searchItemsarr.append(searchable.item);
        m_searchGroupIndexes.append(searchable.group);
    }
}

QList<Item> QuickList::searchItems(const FavoritesStore &favorites, const QList<Group> &groups, const QString &text)
{
    QList<Item> found;
    const PopupSearch search(text);
    if (search.isEmpty())
        return found;
    for (const Group &group : groups) {
        for (const Item &item : favorites.items(group.title())) {
            if (search.matches(item))
                found.append(item);
        }
    }
    return found;
}
