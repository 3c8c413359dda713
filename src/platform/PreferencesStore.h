#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <optional>
#include <utility>

// The per-user typed key/value store that holds every favourite and setting.
//
// Values are QVariant holding QString, bool, qint64, double, QDateTime,
// QByteArray, QVariantList or QVariantMap (nested to any depth). A set is
// visible to readers at once; implementations persist it on their own.
// A reader that asks for one type and finds another gets "absent".
class PreferencesStore
{
public:
    virtual ~PreferencesStore() = default;

    // The value under key, or an invalid QVariant when there is none.
    virtual QVariant objectForKey(const QString &key) const = 0;
    virtual void setObject(const QVariant &value, const QString &key) = 0;
    virtual void removeObjectForKey(const QString &key) = 0;
    virtual QStringList allKeys() const = 0;
    // Sets values (an invalid QVariant removes its key) and removes
    // removedKeys as one change, persisted in one write.
    virtual void applyChanges(const QVariantMap &values, const QStringList &removedKeys);
    // Moves the value under each first key to its second key (replacing
    // what is there) as one change, persisted in one write. A first key
    // without a value moves nothing.
    virtual void moveObjects(const QList<std::pair<QString, QString>> &moves);
    // Whether the value under key is a list of dictionaries only.
    virtual bool holdsListOfDictionaries(const QString &key) const;

    // Blocks until every change made so far has been tried on disk; false
    // when some change could not be saved.
    virtual bool flush() = 0;
    // How many changes were made through this store so far; storing what
    // is stored already is none, and neither is what other programs changed.
    virtual quint64 changesMade() const = 0;

    // Typed reads: std::nullopt when the key is absent or holds another type.
    std::optional<QVariantList> arrayForKey(const QString &key) const;
    std::optional<QVariantMap> dictionaryForKey(const QString &key) const;
    std::optional<QString> stringForKey(const QString &key) const;
    std::optional<bool> boolForKey(const QString &key) const;
    std::optional<qint64> integerForKey(const QString &key) const;

    void setBool(bool value, const QString &key) { setObject(value, key); }
    void setInteger(qint64 value, const QString &key) { setObject(value, key); }
    bool hasObjectForKey(const QString &key) const { return objectForKey(key).isValid(); }

protected:
    // Applies an applyChanges() change set to a store's map of values.
    static void applyChangesTo(QVariantMap &target, const QVariantMap &values, const QStringList &removedKeys);
};

// The type checks that every reader of a record or a stored value uses, so
// that "another type counts as absent" holds everywhere in the same way.
namespace StoredValue {
bool isString(const QVariant &value);
bool isBool(const QVariant &value);
bool isInteger(const QVariant &value);
bool isDate(const QVariant &value);
bool isArray(const QVariant &value);
bool isDictionary(const QVariant &value);

std::optional<QString> toString(const QVariant &value);
std::optional<bool> toBool(const QVariant &value);
std::optional<qint64> toInteger(const QVariant &value);
std::optional<QDateTime> toDate(const QVariant &value);

// A value's entry in a record: absent when missing or of another type.
std::optional<QString> stringIn(const QVariantMap &record, const QString &key);
std::optional<bool> boolIn(const QVariantMap &record, const QString &key);
std::optional<qint64> integerIn(const QVariantMap &record, const QString &key);
std::optional<QDateTime> dateIn(const QVariantMap &record, const QString &key);
// Missing or non-boolean counts as false.
bool flagIn(const QVariantMap &record, const QString &key);
} // namespace StoredValue
