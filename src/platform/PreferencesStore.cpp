#include "platform/PreferencesStore.h"

#include <algorithm>

#include <QDateTime>

namespace StoredValue {

bool isString(const QVariant &value)
{
    return value.typeId() == QMetaType::QString;
}
bool isBool(const QVariant &value)
{
    return value.typeId() == QMetaType::Bool;
}

bool isInteger(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::LongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::Short:
        return true;
    case QMetaType::ULongLong:
        return value.toULongLong() <= quint64(std::numeric_limits<qint64>::max());
    default:
        return false;
    }
}

bool isDate(const QVariant &value)
{
    return value.typeId() == QMetaType::QDateTime && value.toDateTime().isValid();
}

bool isArray(const QVariant &value)
{
    return value.typeId() == QMetaType::QVariantList;
}
bool isDictionary(const QVariant &value)
{
    return value.typeId() == QMetaType::QVariantMap;
}

std::optional<QString> toString(const QVariant &value)
{
    return isString(value) ? std::optional(value.toString()) : std::nullopt;
}

std::optional<bool> toBool(const QVariant &value)
{
    return isBool(value) ? std::optional(value.toBool()) : std::nullopt;
}

std::optional<qint64> toInteger(const QVariant &value)
{
    return isInteger(value) ? std::optional(value.toLongLong()) : std::nullopt;
}

std::optional<QDateTime> toDate(const QVariant &value)
{
    return isDate(value) ? std::optional(value.toDateTime()) : std::nullopt;
}

std::optional<QString> stringIn(const QVariantMap &record, const QString &key)
{
    return toString(record.value(key));
}

std::optional<bool> boolIn(const QVariantMap &record, const QString &key)
{
    return toBool(record.value(key));
}

std::optional<qint64> integerIn(const QVariantMap &record, const QString &key)
{
    return toInteger(record.value(key));
}

std::optional<QDateTime> dateIn(const QVariantMap &record, const QString &key)
{
    return toDate(record.value(key));
}

bool flagIn(const QVariantMap &record, const QString &key)
{
    return boolIn(record, key).value_or(false);
}

} // namespace StoredValue

void PreferencesStore::applyChanges(const QVariantMap &values, const QStringList &removedKeys)
{
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        setObject(it.value(), it.key());
    for (const QString &key : removedKeys)
        removeObjectForKey(key);
}

void PreferencesStore::applyChangesTo(QVariantMap &target, const QVariantMap &values, const QStringList &removedKeys)
{
    for (auto it = values.cbegin(); it != values.cend(); ++it) {
        if (it.value().isValid())
            target.insert(it.key(), it.value());
        else
            target.remove(it.key());
    }
    for (const QString &key : removedKeys)
        target.remove(key);
}

void PreferencesStore::moveObjects(const QList<std::pair<QString, QString>> &moves)
{
    QVariantMap values;
    QStringList removed;
    for (const auto &[from, to] : moves) {
        const QVariant value = objectForKey(from);
        if (!value.isValid())
            continue;
        values.insert(to, value);
        removed.append(from);
    }
    applyChanges(values, removed);
}

bool PreferencesStore::holdsListOfDictionaries(const QString &key) const
{
    const std::optional<QVariantList> list = arrayForKey(key);
    return list && std::all_of(list->cbegin(), list->cend(), StoredValue::isDictionary);
}

std::optional<QVariantList> PreferencesStore::arrayForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    return StoredValue::isArray(value) ? std::optional(value.toList()) : std::nullopt;
}

std::optional<QVariantMap> PreferencesStore::dictionaryForKey(const QString &key) const
{
    const QVariant value = objectForKey(key);
    return StoredValue::isDictionary(value) ? std::optional(value.toMap()) : std::nullopt;
}

std::optional<QString> PreferencesStore::stringForKey(const QString &key) const
{
    return StoredValue::toString(objectForKey(key));
}

std::optional<bool> PreferencesStore::boolForKey(const QString &key) const
{
    return StoredValue::toBool(objectForKey(key));
}

std::optional<qint64> PreferencesStore::integerForKey(const QString &key) const
{
    return StoredValue::toInteger(objectForKey(key));
}
