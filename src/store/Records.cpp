#include "store/Records.h"

#include "platform/PreferencesStore.h"
#include "store/StoreKeys.h"
#include "store/StoredRecords.h"

namespace Records {

QVariantMap newGroup(const QString &title)
{
    return {
        {RecordKeys::title, title},
        {RecordKeys::isHeader, true},
        {RecordKeys::isExpanded, true},
        {RecordKeys::color, QString(defaultGroupColor)},
    };
}

bool isHeader(const QVariantMap &record)
{
    return StoredValue::flagIn(record, RecordKeys::isHeader);
}

bool isExpanded(const QVariantMap &group)
{
    return StoredValue::flagIn(group, RecordKeys::isExpanded);
}

bool isPinned(const QVariantMap &item)
{
    return StoredValue::flagIn(item, RecordKeys::isPin);
}

ItemKind kindOf(const QVariantMap &item)
{
    if (StoredValue::flagIn(item, RecordKeys::isnormalFile))
        return ItemKind::normalFile;
    if (StoredValue::flagIn(item, RecordKeys::isbookmark))
        return ItemKind::bookmark;
    if (StoredValue::flagIn(item, RecordKeys::istext))
        return ItemKind::text;
    if (StoredValue::flagIn(item, RecordKeys::iscolor))
        return ItemKind::color;
    return ItemKind::unknown;
}

QString title(const QVariantMap &record)
{
    return text(record, RecordKeys::title);
}

std::optional<qint64> uid(const QVariantMap &item)
{
    return StoredValue::integerIn(item, RecordKeys::uid);
}

QString text(const QVariantMap &record, QLatin1String key)
{
    return StoredValue::stringIn(record, key).value_or(QString());
}

QList<QVariantMap> recordsOf(const QVariantList &array)
{
    QList<QVariantMap> records;
    records.reserve(array.size());
    for (const QVariant &element : array) {
        if (StoredValue::isDictionary(element))
            records.append(element.toMap());
    }
    return records;
}

QVariantList arrayOf(const QList<QVariantMap> &records)
{
    QVariantList array;
    array.reserve(records.size());
    for (const QVariantMap &record : records)
        array.append(record);
    return array;
}

Item toItem(const QVariantMap &record)
{
    return StoredRecords::item(record);
}

} // namespace Records
