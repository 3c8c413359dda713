#include "quicklist/QuickList.h"

#include "platform/PreferencesStore.h"
#include "store/FavoritesStore.h"
#include "store/Records.h"
#include "store/StoreKeys.h"

QuickList::QuickList(FavoritesStore &favorites, QObject *parent)
    : QObject(parent)
    , m_favorites(favorites)
{
}

void QuickList::reloadQuickList()
{
    Q_EMIT aboutToRebuild();
    // A missing or unreadable group list keeps the previous copy.
    if (const auto stored = m_favorites.preferences().arrayForKey(StoreKeys::allgroups))
        m_grouparr = Records::recordsOf(*stored);

    m_sections.clear();
    m_itemCounts.clear();
    m_sections.reserve(m_grouparr.size());
    m_itemCounts.reserve(m_grouparr.size());
    for (const QVariantMap &group : std::as_const(m_grouparr)) {
        QList<QVariantMap> items = m_favorites.items(Records::title(group));
        m_itemCounts.append(int(items.size()));
        m_sections.append(Records::isExpanded(group) ? std::move(items) : QList<QVariantMap>());
    }
    m_compositeMenuArray = FVCompositeArray(m_grouparr, m_sections);
    if (m_searchBegin)
        runSearch();
    Q_EMIT rebuilt();
}

int QuickList::rowCount() const
{
    return m_searchBegin ? int(m_searchItemsarr.size()) : m_compositeMenuArray.countOfItems();
}

QVariantMap QuickList::recordAt(int row) const
{
    if (m_searchBegin)
        return m_searchItemsarr.value(row);
    return m_compositeMenuArray.objectInItemsAtIndex(row);
}

bool QuickList::isHeadingRow(int row) const
{
    return StoredValue::isBool(recordAt(row).value(RecordKeys::isHeader));
}

int QuickList::groupIndexOfRow(int row) const
{
    if (m_searchBegin)
        return -1;
    return m_compositeMenuArray.arrayAtIndex(row).header;
}

bool QuickList::toggleExpansion(int row)
{
    const QVariantMap heading = m_compositeMenuArray.objectInItemsAtIndex(row);
    if (!StoredValue::isBool(heading.value(RecordKeys::isHeader)))
        return false;
    const QString title = Records::title(heading);
    for (QVariantMap &group : m_grouparr) {
        if (StoredValue::stringIn(group, RecordKeys::title) == title) {
            group.insert(RecordKeys::isExpanded, !Records::isExpanded(group));
            break;
        }
    }
    m_favorites.setGroups(m_grouparr);
    reloadQuickList();
    return true;
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
    reloadQuickList();
}

void QuickList::runSearch()
{
    m_searchItemsarr = searchItems(m_favorites, m_grouparr, m_searchText);
}

QList<QVariantMap> QuickList::searchItems(const FavoritesStore &favorites, const QList<QVariantMap> &groups,
                                          const QString &text)
{
    QList<QVariantMap> found;
    const QString needle = text.toLower();
    if (needle.isEmpty())
        return found;
    const auto contains = [&needle](const QString &haystack) { return haystack.toLower().contains(needle); };
    for (const QVariantMap &group : groups) {
        for (const QVariantMap &item : favorites.items(Records::title(group))) {
            if (contains(Records::title(item))) {
                found.append(item);
            } else if (const auto address = StoredValue::stringIn(item, RecordKeys::Weburl)) {
                if (contains(*address))
                    found.append(item);
            } else if (Records::kindOf(item) == ItemKind::normalFile) {
                if (contains(Records::text(item, RecordKeys::url)))
                    found.append(item);
            }
        }
    }
    return found;
}
