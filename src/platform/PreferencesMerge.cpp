#include "platform/PreferencesMerge.h"

#include "platform/PlistCodec.h"
#include "platform/PreferencesStore.h"

#include <list>

namespace PreferencesMerge {

namespace {

const QVariant *find(const QVariantMap &map, const QString &key)
{
    const auto found = map.constFind(key);
    return found == map.cend() ? nullptr : &found.value();
}

QSet<QString> keysOf(std::initializer_list<const QVariantMap *> maps)
{
    QSet<QString> keys;
    for (const QVariantMap *map : maps) {
        for (auto it = map->cbegin(); it != map->cend(); ++it)
            keys.insert(it.key());
    }
    return keys;
}

// A list whose elements are things a user collects (texts, data, records)
// rather than the parts of one value (the codes of a key combination).
bool isCollection(const QVariant *value)
{
    if (!value)
        return true;
    if (!StoredValue::isArray(*value))
        return false;
    const QVariantList list = value->toList();
    return std::all_of(list.cbegin(), list.cend(), [](const QVariant &element) {
        const int type = element.typeId();
        return type == QMetaType::QString || type == QMetaType::QByteArray || type == QMetaType::QVariantMap;
    });
}

// The content keys of a list's elements, in order.
QStringList contentKeysOf(const QVariantList &list, QHash<QString, QVariant> *values)
{
    QStringList keys;
    keys.reserve(list.size());
    QHash<QString, int> occurrences;
    for (const QVariant &element : list) {
        const QString plain = contentKey(element, 0);
        const QString key = contentKey(element, occurrences[plain]++);
        keys.append(key);
        values->insert(key, element);
    }
    return keys;
}

} // namespace

bool same(const QVariant *first, const QVariant *second)
{
    if (!first || !second)
        return first == second;
    return *first == *second;
}

QString contentKey(const QVariant &value, int occurrence)
{
    const QByteArray bytes = PlistCodec::toBinary(QVariantList{value});
    return QStringLiteral("v%1#%2").arg(qHash(bytes, 0x42)).arg(occurrence);
}

std::optional<QVariant> mergedSetting(const QVariant *base, const QVariant *ours, const QVariant *theirs)
{
    const auto taken = [](const QVariant *value) { return value ? std::optional(*value) : std::nullopt; };
    if (same(ours, base))
        return taken(theirs);
    if (same(theirs, base) || same(ours, theirs))
        return taken(ours);
    // Changed on both sides. A deletion never wins over a change.
    if (!ours)
        return taken(theirs);
    if (!theirs)
        return taken(ours);
    if (isCollection(base) && isCollection(ours) && isCollection(theirs))
        return QVariant(mergedCollection(base ? base->toList() : QVariantList(), ours->toList(), theirs->toList()));
    return taken(theirs);
}

Outcome byKey(const QVariantMap &base, const QVariantMap &ours, const QVariantMap &theirs)
{
    Outcome outcome;
    for (const QString &key : keysOf({&base, &ours, &theirs})) {
        if (auto value = mergedSetting(find(base, key), find(ours, key), find(theirs, key)))
            outcome.merged.insert(key, std::move(*value));
    }
    return outcome;
}

QVariantMap mergedFields(const QVariantMap &base, const QVariantMap &ours, const QVariantMap &theirs, bool *conflict)
{
    QVariantMap merged;
    for (const QString &key : keysOf({&base, &ours, &theirs})) {
        const QVariant *b = find(base, key);
        const QVariant *o = find(ours, key);
        const QVariant *t = find(theirs, key);
        const QVariant *chosen = t;
        if (same(o, b))
            chosen = t;
        else if (same(t, b) || same(o, t))
            chosen = o;
        else if (conflict)
            *conflict = true;
        if (chosen)
            merged.insert(key, *chosen);
    }
    return merged;
}

QVariantList mergedCollection(const QVariantList &base, const QVariantList &ours, const QVariantList &theirs)
{
    QHash<QString, QVariant> values;
    const QStringList baseKeys = contentKeysOf(base, &values);
    const QStringList ourKeys = contentKeysOf(ours, &values);
    const QStringList theirKeys = contentKeysOf(theirs, &values);
    const QSet<QString> inBase(baseKeys.cbegin(), baseKeys.cend());
    const QSet<QString> inOurs(ourKeys.cbegin(), ourKeys.cend());
    const QSet<QString> inTheirs(theirKeys.cbegin(), theirKeys.cend());
    QSet<QString> kept;
    for (const QSet<QString> *side : {&inOurs, &inTheirs}) {
        for (const QString &key : *side) {
            // Kept unless the element was there before and one side removed it.
            if (!inBase.contains(key) || (inOurs.contains(key) && inTheirs.contains(key)))
                kept.insert(key);
        }
    }
    QVariantList merged;
    for (const QString &key : mergedOrder(baseKeys, ourKeys, theirKeys, kept))
        merged.append(values.value(key));
    return merged;
}

QStringList mergedOrder(const QStringList &base, const QStringList &ours, const QStringList &theirs,
                        const QSet<QString> &kept)
{
    QHash<QString, int> basePosition;
    basePosition.reserve(base.size());
    for (int i = 0; i < base.size(); ++i)
        basePosition.insert(base.at(i), i);
    const auto reordered = [&](const QStringList &side) {
        int last = -1;
        for (const QString &key : side) {
            const auto found = basePosition.constFind(key);
            if (found == basePosition.cend())
                continue;
            if (*found < last)
                return true;
            last = *found;
        }
        return false;
    };
    const bool oursLeads = reordered(ours) && !reordered(theirs);
    const QStringList &leading = oursLeads ? ours : theirs;
    const QStringList &following = oursLeads ? theirs : ours;

    std::list<QString> order;
    QHash<QString, std::list<QString>::iterator> placed;
    placed.reserve(kept.size());
    for (const QString &key : leading) {
        if (kept.contains(key) && !placed.contains(key))
            placed.insert(key, order.insert(order.end(), key));
    }
    for (const QStringList *side : {&following, &base}) {
        // Elements after the last one placed were added at the end: they stay last.
        qsizetype trailing = side->size();
        while (trailing > 0 && !placed.contains(side->at(trailing - 1)))
            --trailing;
        auto insertAt = order.begin();
        for (qsizetype i = 0; i < side->size(); ++i) {
            const QString &key = side->at(i);
            const auto found = placed.constFind(key);
            if (found != placed.cend()) {
                insertAt = std::next(*found);
            } else if (kept.contains(key)) {
                const auto inserted = order.insert(i >= trailing ? order.end() : insertAt, key);
                placed.insert(key, inserted);
                insertAt = std::next(inserted);
            }
        }
    }
    QStringList result;
    result.reserve(qsizetype(order.size()));
    for (QString &key : order)
        result.append(std::move(key));
    return result;
}

QVariantMap commonPart(const QVariantMap &first, const QVariantMap &second)
{
    QVariantMap common;
    for (auto it = first.cbegin(); it != first.cend(); ++it) {
        const QVariant *other = find(second, it.key());
        if (!other)
            continue;
        if (*other == it.value()) {
            common.insert(it.key(), it.value());
        } else if (StoredValue::isArray(it.value()) && StoredValue::isArray(*other)) {
            QHash<QString, QVariant> values;
            const QStringList otherKeys = contentKeysOf(other->toList(), &values);
            const QSet<QString> inOther(otherKeys.cbegin(), otherKeys.cend());
            QHash<QString, QVariant> firstValues;
            QVariantList shared;
            for (const QString &key : contentKeysOf(it.value().toList(), &firstValues)) {
                if (inOther.contains(key))
                    shared.append(firstValues.value(key));
            }
            common.insert(it.key(), shared);
        }
    }
    return common;
}

} // namespace PreferencesMerge
