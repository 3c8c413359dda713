#include "store/FavoritesMerge.h"

#include "platform/PreferencesStore.h"
#include "store/StoreKeys.h"

#include <algorithm>
#include <limits>

using PreferencesMerge::contentKey;
using PreferencesMerge::same;

namespace {

const QString itemsPrefix = StoreKeys::itemListPrefix;
const QString allgroupsKey = StoreKeys::allgroups;
const QString uniqueidKey = StoreKeys::uniqueid;
const QString titleKey = RecordKeys::title;
const QString uidKey = RecordKeys::uid;

QString uidElementKey(qint64 uid)
{
    return QLatin1Char('u') + QString::number(uid);
}

// The record a value holds, read in place (toMap() would copy it).
const QVariantMap &recordIn(const QVariant &value)
{
    return *static_cast<const QVariantMap *>(value.constData());
}

bool isItemList(const QString &key, const QVariant &value)
{
    return key.startsWith(itemsPrefix) && StoredValue::isArray(value);
}

// An item, or another element of an item list, where one side files it.
struct Filed
{
    QString group;         // the group's key (its title in the base; see Side::groupKeyOf)
    const QVariant *value; // in the side's map, which outlives the merge
    bool operator==(const Filed &other) const { return group == other.group && *value == *other.value; }
};

// An element the merge keeps, and where.
struct Kept
{
    QString group;
    QVariant value;
};

// One version of the favourites, indexed for the merge.
class Side
{
public:
    explicit Side(const QVariantMap &map)
        : m_map(map)
    {
        const QVariantList groupList = map.value(allgroupsKey).toList();
        for (const QVariant &group : groupList) {
            const std::optional<QString> title = StoredValue::isDictionary(group)
                                                     ? StoredValue::stringIn(recordIn(group), titleKey)
                                                     : std::nullopt;
            QString key;
            if (title && !titles.contains(*title)) {
                key = *title;
                titles.insert(key);
            } else {
                key = elementKey(group);
            }
            groupOrder.append(key);
            groups.insert(key, group);
        }
        qsizetype count = 0;
        for (auto it = map.cbegin(); it != map.cend(); ++it)
            count += isItemList(it.key(), it.value())
                         ? static_cast<const QVariantList *>(it.value().constData())->size()
                         : 0;
        elements.reserve(count);
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            if (!isItemList(it.key(), it.value()))
                continue;
            const QString list = it.key().mid(itemsPrefix.size());
            QStringList &keys = lists[list];
            const QVariantList &values = *static_cast<const QVariantList *>(it.value().constData());
            keys.reserve(values.size());
            for (const QVariant &value : values) {
                QString key;
                if (StoredValue::isDictionary(value)) {
                    const QVariantMap &record = recordIn(value);
                    const auto found = record.constFind(uidKey);
                    if (const auto uid = found == record.cend() ? std::nullopt : StoredValue::toInteger(*found)) {
                        key = uidElementKey(*uid);
                        if (elements.contains(key)) // a second record under one uid is merged by its contents
                            key.clear();
                        else
                            highestUid = std::max(highestUid, *uid);
                    }
                }
                if (key.isEmpty())
                    key = elementKey(value);
                keys.append(key);
                elements.insert(key, {list, &value});
            }
        }
    }

    // Finds the groups this side renamed: a base group gone here whose
    // items sit in one new group, or the only group gone when only one
    // new group came, holding nothing of the base.
    void findRenames(const Side &base)
    {
        QStringList removed;
        for (const QString &title : base.groupOrder) {
            if (base.titles.contains(title) && !titles.contains(title))
                removed.append(title);
        }
        QSet<QString> added;
        for (const QString &title : std::as_const(titles)) {
            if (!base.titles.contains(title))
                added.insert(title);
        }
        QStringList unmatched;
        for (const QString &old : std::as_const(removed)) {
            QHash<QString, int> votes;
            int elsewhere = 0;
            for (const QString &key : base.lists.value(old)) {
                const auto found = elements.constFind(key);
                if (!key.startsWith(QLatin1Char('u')) || found == elements.cend())
                    continue;
                if (added.contains(found->group) && !renamedFrom.contains(found->group))
                    ++votes[found->group];
                else
                    ++elsewhere;
            }
            const auto best = std::max_element(votes.cbegin(), votes.cend());
            if (best != votes.cend() && *best > elsewhere)
                rename(old, best.key());
            else
                unmatched.append(old);
        }
        QStringList newcomers;
        for (const QString &title : std::as_const(added)) {
            if (!renamedFrom.contains(title))
                newcomers.append(title);
        }
        if (unmatched.size() != 1 || newcomers.size() != 1)
            return;
        const auto keepsNoBaseItem = [](const QStringList &keys, const auto &elsewhere) {
            return std::none_of(keys.cbegin(), keys.cend(),
                                [&](const QString &key) { return elsewhere.contains(key); });
        };
        if (keepsNoBaseItem(base.lists.value(unmatched.first()), elements)
            && keepsNoBaseItem(lists.value(newcomers.first()), base.elements))
            rename(unmatched.first(), newcomers.first());
    }

    // The key of the group filed here under title: the base title of a
    // group this side renamed, else the title.
    QString groupKeyOf(const QString &title) const { return renamedFrom.value(title, title); }
    // The title this side gives the group with key.
    QString titleOf(const QString &groupKey) const { return renamedTo.value(groupKey, groupKey); }

    const QVariant *group(const QString &groupKey) const
    {
        if (!filesHere(groupKey))
            return nullptr;
        const auto found = groups.constFind(titleOf(groupKey));
        return found == groups.cend() ? nullptr : &found.value();
    }

    // The keys of the elements this side files in the group with key.
    QStringList listOf(const QString &groupKey) const
    {
        return filesHere(groupKey) ? lists.value(titleOf(groupKey)) : QStringList();
    }

    std::optional<Filed> element(const QString &key) const
    {
        const auto found = elements.constFind(key);
        if (found == elements.cend())
            return std::nullopt;
        return Filed{groupKeyOf(found->group), found->value};
    }

    QStringList groupKeysInOrder() const
    {
        QStringList keys;
        keys.reserve(groupOrder.size());
        for (const QString &key : groupOrder)
            keys.append(titles.contains(key) ? groupKeyOf(key) : key);
        return keys;
    }

    const QVariantMap &m_map;
    QStringList groupOrder;
    QHash<QString, QVariant> groups;
    QSet<QString> titles;
    QHash<QString, Filed> elements;
    QHash<QString, QStringList> lists;
    qint64 highestUid = 0;
    QHash<QString, QString> renamedTo;   // base title -> title here
    QHash<QString, QString> renamedFrom; // title here -> base title

private:
    // False when the title that key names here is another group's new title.
    bool filesHere(const QString &groupKey) const
    {
        const auto renamed = renamedFrom.constFind(titleOf(groupKey));
        return renamed == renamedFrom.cend() || *renamed == groupKey;
    }

    QString elementKey(const QVariant &value)
    {
        const QString plain = contentKey(value, 0);
        const int occurrence = m_occurrences[plain]++;
        return occurrence == 0 ? plain
                               : plain.left(plain.lastIndexOf(QLatin1Char('#')) + 1) + QString::number(occurrence);
    }

    QHash<QString, int> m_occurrences;

    void rename(const QString &from, const QString &to)
    {
        renamedTo.insert(from, to);
        renamedFrom.insert(to, from);
    }
};

const QVariant *valueIn(const Side &side, const QString &key)
{
    const auto found = side.m_map.constFind(key);
    return found == side.m_map.cend() ? nullptr : &found.value();
}

// The outcome of one record's three versions.
struct Pick
{
    std::optional<QVariant> value;
    bool conflict = false;
};

Pick pick(const QVariant *base, const QVariant *ours, const QVariant *theirs)
{
    const auto taken = [](const QVariant *value) { return value ? std::optional(*value) : std::nullopt; };
    if (same(ours, base))
        return {taken(theirs)};
    if (same(theirs, base) || same(ours, theirs))
        return {taken(ours)};
    if (!ours) // deleted here, changed there: nothing is lost
        return {taken(theirs)};
    if (!theirs)
        return {taken(ours)};
    if (StoredValue::isDictionary(*ours) && StoredValue::isDictionary(*theirs)) {
        Pick merged;
        merged.value = PreferencesMerge::mergedFields(base && StoredValue::isDictionary(*base) ? base->toMap()
                                                                                               : QVariantMap(),
                                                      ours->toMap(), theirs->toMap(), &merged.conflict);
        return merged;
    }
    return {taken(theirs), true};
}

class Merger
{
public:
    Merger(const QVariantMap &base, const QVariantMap &ours, const QVariantMap &theirs)
        : m_base(base)
        , m_ours(ours)
        , m_theirs(theirs)
    {
        m_ours.findRenames(m_base);
        m_theirs.findRenames(m_base);
    }

    PreferencesMerge::Outcome run()
    {
        mergeSettings();
        mergeGroups();
        mergeElements();
        placeElements();
        writeGroups();
        writeItemLists();
        writeCounter();
        return m_outcome;
    }

private:
    void mergeSettings()
    {
        const auto isOwnedHere = [](const QString &key, const QVariant &value) {
            return key == allgroupsKey || key == uniqueidKey || isItemList(key, value);
        };
        QVariantMap base, ours, theirs;
        for (const auto &[side, target] : {std::pair{&m_base, &base}, {&m_ours, &ours}, {&m_theirs, &theirs}}) {
            for (auto it = side->m_map.cbegin(); it != side->m_map.cend(); ++it) {
                if (!isOwnedHere(it.key(), it.value()))
                    target->insert(it.key(), it.value());
            }
        }
        m_outcome.merged = PreferencesMerge::byKey(base, ours, theirs).merged;
    }

    void mergeGroups()
    {
        QSet<QString> keys;
        for (const Side *side : {&m_base, &m_ours, &m_theirs}) {
            for (const QString &key : side->groupKeysInOrder())
                keys.insert(key);
        }
        for (const QString &key : std::as_const(keys)) {
            const QVariant *base = m_base.group(key);
            const QVariant *ours = m_ours.group(key);
            const QVariant *theirs = m_theirs.group(key);
            const Pick picked = pick(base, ours, theirs);
            if (picked.value)
                m_groups.insert(key, *picked.value);
            else // kept aside in case the other side filed items in it
                m_deletedGroups.insert(key, *(theirs ? theirs : ours ? ours : base));
        }
    }

    qint64 nextUid()
    {
        if (m_lastUid == 0) {
            qint64 highest = 0;
            for (const Side *side : {&m_base, &m_ours, &m_theirs}) {
                highest = std::max(highest, StoredValue::toInteger(side->m_map.value(uniqueidKey)).value_or(0));
                highest = std::max(highest, side->highestUid);
            }
            m_lastUid = highest;
        }
        return ++m_lastUid;
    }

    // Files ours beside theirs under a key of its own: a copy with a new
    // identity, or a value filed twice.
    void keepBeside(const QString &key, const Filed &ours)
    {
        Kept copy{ours.group, *ours.value};
        QString besideKey;
        if (key.startsWith(QLatin1Char('u'))) {
            const qint64 uid = nextUid();
            QVariantMap record = copy.value.toMap();
            record.insert(uidKey, uid);
            copy.value = record;
            besideKey = uidElementKey(uid);
        } else {
            besideKey = key + QStringLiteral("@ours");
        }
        m_ourReplacements.insert(key, besideKey);
        m_elements.insert(besideKey, std::move(copy));
    }

    void keep(const QString &key, const Filed &filed) { m_elements.insert(key, Kept{filed.group, *filed.value}); }

    void mergeElements()
    {
        m_elements.reserve(m_theirs.elements.size() + m_ours.elements.size() / 8);
        // Each key once: the base's, then those only ours has, then theirs alone.
        for (auto it = m_base.elements.cbegin(); it != m_base.elements.cend(); ++it)
            mergeElement(it.key());
        for (auto it = m_ours.elements.cbegin(); it != m_ours.elements.cend(); ++it) {
            if (!m_base.elements.contains(it.key()))
                mergeElement(it.key());
        }
        for (auto it = m_theirs.elements.cbegin(); it != m_theirs.elements.cend(); ++it) {
            if (!m_base.elements.contains(it.key()) && !m_ours.elements.contains(it.key()))
                mergeElement(it.key());
        }
    }

    void mergeElement(const QString &key)
    {
        const std::optional<Filed> base = m_base.element(key);
        const std::optional<Filed> ours = m_ours.element(key);
        const std::optional<Filed> theirs = m_theirs.element(key);
        if (ours == base) {
            if (theirs)
                keep(key, *theirs);
        } else if (theirs == base || ours == theirs || !theirs) {
            if (ours)
                keep(key, *ours);
        } else if (!ours) {
            keep(key, *theirs);
        } else if (!base) {
            // Added on both sides under one identity.
            keep(key, *theirs);
            if (key.startsWith(QLatin1Char('u')))
                ++m_outcome.renumbered;
            keepBeside(key, *ours);
        } else {
            mergeChanged(key, *base, *ours, *theirs);
        }
    }

    // Changed on both sides: where it is filed and each key of the record
    // merge on their own (filed where theirs files it when both moved it).
    // When a key changed differently on both, theirs holds it, and ours
    // comes beside it as a copy: nothing either side wrote is lost.
    void mergeChanged(const QString &key, const Filed &base, const Filed &ours, const Filed &theirs)
    {
        const QString group = ours.group != base.group && theirs.group == base.group ? ours.group : theirs.group;
        bool conflict = false;
        QVariant value = *theirs.value;
        if (StoredValue::isDictionary(*ours.value) && StoredValue::isDictionary(*theirs.value)
            && StoredValue::isDictionary(*base.value)) {
            value = PreferencesMerge::mergedFields(recordIn(*base.value), recordIn(*ours.value),
                                                   recordIn(*theirs.value), &conflict);
        } else if (*ours.value != *theirs.value) {
            conflict = true;
        }
        m_elements.insert(key, Kept{group, value});
        if (!conflict)
            return;
        ++m_outcome.keptTwice;
        keepBeside(key, ours);
    }

    // Gives every kept element its list and every list its order.
    void placeElements()
    {
        // Groups that come back because an item is kept in them.
        for (auto it = m_elements.cbegin(); it != m_elements.cend(); ++it) {
            const auto deleted = m_deletedGroups.constFind(it->group);
            if (deleted != m_deletedGroups.cend())
                m_groups.insert(it->group, *deleted);
        }
        // Group order, and the title each group ends with. Two groups that
        // end with one title share its list.
        QSet<QString> kept;
        for (auto it = m_groups.cbegin(); it != m_groups.cend(); ++it)
            kept.insert(it.key());
        m_groupOrder = PreferencesMerge::mergedOrder(m_base.groupKeysInOrder(), m_ours.groupKeysInOrder(),
                                                     m_theirs.groupKeysInOrder(), kept);
        for (const QString &key : std::as_const(m_groupOrder)) {
            const QVariant &group = m_groups[key];
            if (!StoredValue::isDictionary(group))
                continue;
            const QString title = StoredValue::stringIn(group.toMap(), titleKey).value_or(key);
            m_finalTitle.insert(key, title);
        }

        QHash<QString, QSet<QString>> keptIn;
        for (auto it = m_elements.cbegin(); it != m_elements.cend(); ++it)
            keptIn[m_finalTitle.value(it->group, it->group)].insert(it.key());
        QHash<QString, QStringList> groupsIn; // final title -> group keys filed there
        for (auto it = keptIn.cbegin(); it != keptIn.cend(); ++it)
            groupsIn[it.key()];
        for (const QString &key : std::as_const(m_groupOrder))
            groupsIn[m_finalTitle.value(key, key)].append(key);
        for (auto it = m_elements.cbegin(); it != m_elements.cend(); ++it) {
            QStringList &keys = groupsIn[m_finalTitle.value(it->group, it->group)];
            if (!keys.contains(it->group))
                keys.append(it->group);
        }
        for (auto it = keptIn.cbegin(); it != keptIn.cend(); ++it) {
            QStringList base, ours, theirs;
            for (const QString &group : groupsIn.value(it.key())) {
                base += m_base.lists.value(group);
                for (const QString &key : m_ours.listOf(group)) {
                    ours.append(key);
                    if (const auto copy = m_ourReplacements.constFind(key); copy != m_ourReplacements.cend())
                        ours.append(*copy); // a copy follows its original
                }
                theirs += m_theirs.listOf(group);
            }
            QStringList order = PreferencesMerge::mergedOrder(base, ours, theirs, it.value());
            if (order.size() < it.value().size()) { // filed where no side lists it: last
                const QSet<QString> placed(order.cbegin(), order.cend());
                QStringList rest;
                for (const QString &key : it.value()) {
                    if (!placed.contains(key))
                        rest.append(key);
                }
                rest.sort();
                order += rest;
            }
            m_listOrder.insert(it.key(), order);
        }
    }

    void writeGroups()
    {
        if (!m_base.m_map.contains(allgroupsKey) && !m_ours.m_map.contains(allgroupsKey)
            && !m_theirs.m_map.contains(allgroupsKey))
            return;
        QVariantList groups;
        QSet<QString> titles;
        for (const QString &key : std::as_const(m_groupOrder)) {
            const auto title = m_finalTitle.constFind(key);
            if (title != m_finalTitle.cend()) {
                if (titles.contains(*title))
                    continue; // its items share the list of the first
                titles.insert(*title);
            }
            groups.append(m_groups.value(key));
        }
        m_outcome.merged.insert(allgroupsKey, groups);
    }

    void writeItemLists()
    {
        for (auto it = m_listOrder.cbegin(); it != m_listOrder.cend(); ++it) {
            QVariantList list;
            list.reserve(it->size());
            for (const QString &key : *it)
                list.append(m_elements.value(key).value);
            m_outcome.merged.insert(itemsPrefix + it.key(), list);
        }
        // An empty list stays where a side keeps it.
        for (const Side *side : {&m_ours, &m_theirs}) {
            for (auto it = side->lists.cbegin(); it != side->lists.cend(); ++it) {
                const QString key = itemsPrefix + it.key();
                if (m_outcome.merged.contains(key))
                    continue;
                if (m_groups.contains(side->groupKeyOf(it.key()))
                    && PreferencesMerge::mergedSetting(valueIn(m_base, key), valueIn(m_ours, key),
                                                       valueIn(m_theirs, key)))
                    m_outcome.merged.insert(key, QVariantList());
            }
        }
    }

    void writeCounter()
    {
        const QVariant *base = valueIn(m_base, uniqueidKey);
        const QVariant *ours = valueIn(m_ours, uniqueidKey);
        const QVariant *theirs = valueIn(m_theirs, uniqueidKey);
        qint64 highest = m_lastUid;
        bool counted = m_lastUid > 0;
        for (const QVariant *value : {ours, theirs}) {
            if (const auto number = value ? StoredValue::toInteger(*value) : std::nullopt) {
                highest = std::max(highest, *number);
                counted = true;
            }
        }
        for (auto it = m_elements.cbegin(); it != m_elements.cend(); ++it) {
            if (it.key().startsWith(QLatin1Char('u'))) {
                highest = std::max(highest, it.key().mid(1).toLongLong());
                counted = true;
            }
        }
        if (counted) {
            m_outcome.merged.insert(uniqueidKey, highest);
        } else if (auto value = PreferencesMerge::mergedSetting(base, ours, theirs)) {
            m_outcome.merged.insert(uniqueidKey, *value);
        }
    }

    Side m_base;
    Side m_ours;
    Side m_theirs;
    PreferencesMerge::Outcome m_outcome;
    QHash<QString, QVariant> m_groups;        // kept groups by key
    QHash<QString, QVariant> m_deletedGroups; // by key, in case one comes back
    QStringList m_groupOrder;
    QHash<QString, QString> m_finalTitle;      // group key -> title it ends with
    QHash<QString, Kept> m_elements;           // kept elements by key
    QHash<QString, QString> m_ourReplacements; // our element's key -> the key of its copy
    QHash<QString, QStringList> m_listOrder;   // final title -> element keys
    qint64 m_lastUid = 0;
};

} // namespace

namespace FavoritesMerge {

PreferencesMerge::Outcome merge(const QVariantMap &base, const QVariantMap &ours, const QVariantMap &theirs)
{
    return Merger(base, ours, theirs).run();
}

} // namespace FavoritesMerge
