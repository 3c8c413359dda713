#include "store/StoredRecords.h"

#include "platform/PreferencesStore.h"

namespace {

template<typename Record>
QList<Record> recordsOf(const QVariantList &array, Record (*convert)(const QVariantMap &))
{
    QList<Record> records;
    records.reserve(array.size());
    for (const QVariant &element : array) {
        // Read in place: toMap() would copy what is shared anyway.
        if (StoredValue::isDictionary(element))
            records.append(convert(*static_cast<const QVariantMap *>(element.constData())));
    }
    return records;
}

template<typename Record>
QVariantList arrayOf(const QList<Record> &records)
{
    QVariantList array;
    array.reserve(records.size());
    for (const Record &record : records)
        array.append(StoredRecords::record(record));
    return array;
}

} // namespace

Item StoredRecords::item(const QVariantMap &record)
{
    Item item;
    item.m_record = record;
    return item;
}

Group StoredRecords::group(const QVariantMap &record)
{
    Group group;
    group.m_record = record;
    return group;
}

QList<Item> StoredRecords::items(const QVariantList &array)
{
    return recordsOf(array, &StoredRecords::item);
}

QList<Group> StoredRecords::groups(const QVariantList &array)
{
    return recordsOf(array, &StoredRecords::group);
}

QVariantList StoredRecords::array(const QList<Item> &items)
{
    return arrayOf(items);
}

QVariantList StoredRecords::array(const QList<Group> &groups)
{
    return arrayOf(groups);
}
