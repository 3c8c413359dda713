#include "store/Sorting.h"

#include "platform/PreferencesStore.h"
#include "store/FavoritesStore.h"
#include "store/StoreKeys.h"
#include "store/StoredRecords.h"

#include <algorithm>
#include <variant>

namespace {

// The value a record is sorted by: absent, a string in canonical form, or a
// date in milliseconds. Read from the record: an absent title sorts apart
// from an empty one.
using SortValue = std::variant<std::monostate, QString, qint64>;

SortValue stringValue(const QVariantMap &record, QLatin1String key)
{
    const auto text = StoredValue::stringIn(record, key);
    if (!text)
        return {};
    return text->normalized(QString::NormalizationForm_D);
}

SortValue dateValue(const QVariantMap &record)
{
    const auto date = StoredValue::dateIn(record, RecordKeys::date);
    if (!date)
        return {};
    return date->toMSecsSinceEpoch();
}

// Sorts records stably by the value valueOf gives each; records without a
// value go last and keep their order.
template<typename Record, typename ValueOf>
QList<Record> sortedBy(const QList<Record> &records, bool ascending, ValueOf valueOf)
{
    struct Keyed
    {
        SortValue value;
        Record record;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(records.size());
    for (const Record &record : records)
        keyed.push_back({valueOf(StoredRecords::record(record)), record});

    std::stable_sort(keyed.begin(), keyed.end(), [ascending](const Keyed &a, const Keyed &b) {
        const bool aAbsent = std::holds_alternative<std::monostate>(a.value);
        const bool bAbsent = std::holds_alternative<std::monostate>(b.value);
        if (aAbsent || bAbsent)
            return !aAbsent && bAbsent;
        // A string and a date never meet: one sort uses one kind of value.
        return ascending ? a.value < b.value : b.value < a.value;
    });

    QList<Record> sorted;
    sorted.reserve(records.size());
    for (Keyed &entry : keyed)
        sorted.append(std::move(entry.record));
    return sorted;
}

} // namespace

namespace Sorting {

QList<Group> sortedGroups(QList<Group> groups, const SortSettings &settings)
{
    switch (settings.groupSortKey) {
    case SortSettings::GroupKey::none:
        return groups;
    case SortSettings::GroupKey::title:
        return sortedBy(groups, settings.groupSortAscending,
                        [](const QVariantMap &group) { return stringValue(group, RecordKeys::title); });
    case SortSettings::GroupKey::color:
        return sortedBy(groups, settings.groupSortAscending,
                        [](const QVariantMap &group) { return stringValue(group, RecordKeys::color); });
    }
    return groups;
}

QList<Item> sortedItems(const QList<Item> &items, const SortSettings &settings)
{
    QList<Item> pinned;
    QList<Item> others;
    for (const Item &item : items)
        (item.isPinned() ? pinned : others).append(item);

    if (settings.itemSortKey == SortSettings::ItemKey::title)
        others = sortedBy(others, settings.itemSortAscending,
                          [](const QVariantMap &item) { return stringValue(item, RecordKeys::title); });
    else
        others = sortedBy(others, settings.itemSortAscending, dateValue);
    return pinned + others;
}

void sortingGroups(FavoritesStore &store, QList<Group> &grouparr, const SortSettings &settings)
{
    grouparr = sortedGroups(grouparr, settings);
    store.setGroups(grouparr);
}

void sortSelectedGroupItems(FavoritesStore &store, QList<Item> &selectedGroupItems, const QString &groupTitle,
                            const SortSettings &settings)
{
    selectedGroupItems = sortedItems(selectedGroupItems, settings);
    store.setItems(groupTitle, selectedGroupItems);
}

QList<Item> sortStoredItems(FavoritesStore &store, const QString &groupTitle, const SortSettings &settings)
{
    const QList<Item> items = store.items(groupTitle);
    QList<Item> sorted = sortedItems(items, settings);
    if (sorted != items) // a list already in order is not written again
        store.setItems(groupTitle, sorted);
    return sorted;
}

void sortAllGroupItems(FavoritesStore &store, const QList<Group> &groups, const SortSettings &settings)
{
    for (const Group &group : groups)
        sortStoredItems(store, group.title(), settings);
}

} // namespace Sorting
