#include "store/FavoritesHistory.h"

#include "store/FavoritesStore.h"
#include "store/LocalizedText.h"
#include "store/StoreKeys.h"
#include "store/StoredRecords.h"
#include "store/SupportFiles.h"
#include "store/TextKeys.h"
#include "store/ViewLinks.h"

#include <QDir>
#include <QHash>
#include <QSet>
#include <QUndoCommand>

#include <optional>
#include <type_traits>
#include <utility>

namespace {

// What identifies a record across versions: a group's title, an item's
// uid (an item without one, from an old store, by what it shows).
QString keyOf(const Group &group)
{
    return group.title();
}

QString keyOf(const Item &item)
{
    const auto uid = item.uid();
    return uid ? QString::number(*uid) : QLatin1Char('?') + item.title() + QLatin1Char('\n') + item.target();
}

// A group's record as a step may change it: whether the popup shows its
// items is no change to the favourites, and toggling it blocks no undo.
QVariantMap comparable(const Group &group)
{
    QVariantMap record = StoredRecords::record(group);
    record.remove(RecordKeys::isExpanded);
    return record;
}

QVariantMap comparable(const Item &item)
{
    return StoredRecords::record(item);
}

template<class T>
bool same(const T &one, const T &other)
{
    return comparable(one) == comparable(other);
}

bool sameValue(const QVariantMap &one, const QVariantMap &other, const QString &key)
{
    return one.contains(key) == other.contains(key) && one.value(key) == other.value(key);
}

// now with the keys the step changed from from to to turned to to's, or
// nothing when one of them was changed otherwise since.
template<class T>
std::optional<T> withStepApplied(const T &from, const T &to, const T &now)
{
    const QVariantMap before = StoredRecords::record(from);
    const QVariantMap after = StoredRecords::record(to);
    QVariantMap result = StoredRecords::record(now);
    QStringList keys = before.keys() + after.keys();
    keys.removeDuplicates();
    for (const QString &key : std::as_const(keys)) {
        if (sameValue(before, after, key) || sameValue(result, after, key))
            continue;
        if (!sameValue(result, before, key))
            return std::nullopt;
        if (after.contains(key))
            result.insert(key, after.value(key));
        else
            result.remove(key);
    }
    if constexpr (std::is_same_v<T, Item>)
        return StoredRecords::item(result);
    else
        return StoredRecords::group(result);
}

template<class T>
QHash<QString, int> positions(const QList<T> &list)
{
    QHash<QString, int> result;
    for (int i = int(list.size()) - 1; i >= 0; --i)
        result.insert(keyOf(list.at(i)), i);
    return result;
}

struct Tally
{
    bool applied = false;
    bool skipped = false;
};

// Removes what the change added and turns what it changed back, where
// current still holds it as the change left it. removed receives what went.
template<class T>
void revertChanged(const QList<T> &from, const QList<T> &to, QList<T> &current, Tally &tally,
                   QList<T> *removed = nullptr)
{
    const QHash<QString, int> inTo = positions(to);
    for (const T &was : from) {
        const QString key = keyOf(was);
        const int target = inTo.value(key, -1);
        if (target >= 0 && to.at(target) == was)
            continue;
        const int now = positions(current).value(key, -1);
        if (now < 0) {
            // Gone elsewhere: a change to it no longer applies; an addition is undone already.
            tally.skipped |= target >= 0;
            continue;
        }
        if (target >= 0) {
            // Key by key: what changed elsewhere in the record stays.
            const std::optional<T> changed = withStepApplied(was, to.at(target), current.at(now));
            tally.skipped |= !changed;
            if (changed && !(*changed == current.at(now))) {
                current[now] = *changed;
                tally.applied = true;
            }
            continue;
        }
        // A record the step added goes only as the step left it.
        if (!same(current.at(now), was)) {
            tally.skipped = true;
            continue;
        }
        if (removed)
            removed->append(current.takeAt(now));
        else
            current.removeAt(now);
        tally.applied = true;
    }
}

// Puts back what the change removed, after the nearest record that was
// before it and is there now. accept says what to insert, or refuses.
template<class T, class Accept>
void putBackRemoved(const QList<T> &from, const QList<T> &to, QList<T> &current, Tally &tally, Accept accept)
{
    const QHash<QString, int> inFrom = positions(from);
    for (int i = 0; i < to.size(); ++i) {
        const QString key = keyOf(to.at(i));
        if (inFrom.contains(key))
            continue;
        const QHash<QString, int> now = positions(current);
        if (const int there = now.value(key, -1); there >= 0) {
            tally.skipped |= !same(current.at(there), to.at(i));
            continue;
        }
        const std::optional<T> element = accept(to.at(i));
        if (!element) {
            tally.skipped = true;
            continue;
        }
        int at = 0;
        for (int earlier = i - 1; earlier >= 0; --earlier) {
            if (const int there = now.value(keyOf(to.at(earlier)), -1); there >= 0) {
                at = there + 1;
                break;
            }
        }
        current.insert(at, *element);
        tally.applied = true;
    }
}

// Gives the records of to that current holds to's order, in the places they
// take, unless they were reordered elsewhere since the change.
template<class T>
void restoreOrder(const QList<T> &from, const QList<T> &to, QList<T> &current, Tally &tally)
{
    const QHash<QString, int> inTo = positions(to);
    const QHash<QString, int> inFrom = positions(from);
    QList<int> places;
    for (int i = 0; i < current.size(); ++i) {
        if (inTo.contains(keyOf(current.at(i))))
            places.append(i);
    }
    QList<T> wanted;
    const QHash<QString, int> now = positions(current);
    for (const T &element : to) {
        if (const int there = now.value(keyOf(element), -1); there >= 0)
            wanted.append(current.at(there));
    }
    bool inOrder = true;
    for (int n = 0; n < places.size() && n < wanted.size(); ++n)
        inOrder &= keyOf(current.at(places.at(n))) == keyOf(wanted.at(n));
    if (inOrder || places.size() != wanted.size())
        return;
    // The records both versions hold must still be in the order the change left.
    int last = -1;
    for (const int place : std::as_const(places)) {
        const int before = inFrom.value(keyOf(current.at(place)), -1);
        if (before < 0)
            continue;
        if (before < last) {
            tally.skipped = true;
            return;
        }
        last = before;
    }
    for (int n = 0; n < places.size(); ++n)
        current[places.at(n)] = wanted.at(n);
    tally.applied = true;
}

} // namespace

// One recorded change. Its first redo is the change itself, already made.
class FavoritesChangeCommand final : public QUndoCommand
{
public:
    FavoritesChangeCommand(FavoritesHistory &history, const QString &name, FavoritesHistory::Snapshot before,
                           FavoritesHistory::Snapshot after)
        : QUndoCommand(name)
        , m_history(history)
        , m_before(std::move(before))
        , m_after(std::move(after))
    {
    }

    void undo() override { act(m_after, m_before); }
    void redo() override
    {
        if (!std::exchange(m_made, false))
            act(m_before, m_after);
    }

private:
    void act(const FavoritesHistory::Snapshot &from, const FavoritesHistory::Snapshot &to)
    {
        switch (m_history.apply(from, to)) {
        case FavoritesHistory::Outcome::applied:
            break;
        case FavoritesHistory::Outcome::partly:
            m_history.m_message = LocalizedText(Text::stepPartlyChangedElsewhere).arg(text());
            break;
        case FavoritesHistory::Outcome::refused:
            // Nothing of it applies any more: it leaves the history.
            m_history.m_message = LocalizedText(Text::stepChangedElsewhere).arg(text());
            setObsolete(true);
            break;
        }
    }

    FavoritesHistory &m_history;
    FavoritesHistory::Snapshot m_before;
    FavoritesHistory::Snapshot m_after;
    bool m_made = true;
};

FavoritesHistory::FavoritesHistory(FavoritesStore &favorites, SupportFiles &supportFiles, SortSettings &sortSettings,
                                   ViewLinks &viewLinks, QObject *parent)
    : QObject(parent)
    , m_favorites(favorites)
    , m_supportFiles(supportFiles)
    , m_sortSettings(sortSettings)
    , m_viewLinks(viewLinks)
{
    connect(&m_stack, &QUndoStack::indexChanged, this, &FavoritesHistory::changed);
    connect(&m_stack, &QUndoStack::cleanChanged, this, &FavoritesHistory::changed);
}

void FavoritesHistory::keepRemovedFilesIn(const QString &folder)
{
    if (!m_removedFolder.isEmpty())
        discardRemovedFiles();
    QDir(folder).removeRecursively();
    m_removedFolder = folder;
    m_supportFiles.setRemovedFilesFolder(folder);
}

void FavoritesHistory::discardRemovedFiles()
{
    m_stack.clear();
    if (m_removedFolder.isEmpty())
        return;
    m_supportFiles.setRemovedFilesFolder(QString());
    QDir(std::exchange(m_removedFolder, QString())).removeRecursively();
}

FavoritesHistory::Snapshot FavoritesHistory::snapshot(const QStringList &groupTitles) const
{
    Snapshot result{m_favorites.groups(), {}, m_sortSettings};
    for (const QString &title : groupTitles)
        result.items.insert(title, m_favorites.items(title));
    return result;
}

FavoritesHistory::Snapshot FavoritesHistory::snapshotOfAll() const
{
    return snapshot(m_favorites.groupTitles());
}

void FavoritesHistory::record(const QString &name, const Snapshot &before)
{
    Snapshot after = snapshot(before.items.keys());
    if (after == before)
        return;
    m_stack.push(new FavoritesChangeCommand(*this, name, before, std::move(after)));
}

QString FavoritesHistory::undoText() const
{
    return canUndo() ? LocalizedText(Text::undoNamedStep).arg(m_stack.undoText()) : LocalizedText(Text::undoAction);
}

QString FavoritesHistory::redoText() const
{
    return canRedo() ? LocalizedText(Text::redoNamedStep).arg(m_stack.redoText()) : LocalizedText(Text::redoAction);
}

QString FavoritesHistory::undo()
{
    m_message.clear();
    m_stack.undo();
    Q_EMIT changed();
    return std::exchange(m_message, QString());
}

QString FavoritesHistory::redo()
{
    m_message.clear();
    m_stack.redo();
    Q_EMIT changed();
    return std::exchange(m_message, QString());
}

FavoritesHistory::Outcome FavoritesHistory::apply(const Snapshot &from, const Snapshot &to)
{
    Tally tally;
    const QList<Group> storedGroups = m_favorites.groups();
    QList<Group> groups = storedGroups;
    revertChanged(from.groups, to.groups, groups, tally);
    putBackRemoved(from.groups, to.groups, groups, tally, [](const Group &group) { return std::optional(group); });
    restoreOrder(from.groups, to.groups, groups, tally);
    // The group list changes as one (a rename is a group gone and one back):
    // a part of it that no longer applies stops all of the step.
    if (tally.skipped)
        return Outcome::refused;

    QStringList titles = from.items.keys();
    for (const QString &title : to.items.keys()) {
        if (!titles.contains(title))
            titles.append(title);
    }
    QMap<QString, QList<Item>> stored;
    QMap<QString, QList<Item>> lists;
    QList<Item> removed;
    for (const QString &title : std::as_const(titles)) {
        stored.insert(title, m_favorites.items(title));
        lists.insert(title, stored.value(title));
        revertChanged(from.items.value(title), to.items.value(title), lists[title], tally, &removed);
    }

    // An item comes back only where no group holds its uid, into a group
    // that exists; one the change had deleted gets its files back.
    QSet<QString> present;
    QSet<QString> groupTitles;
    for (const Group &group : std::as_const(groups)) {
        groupTitles.insert(group.title());
        for (const Item &item :
             lists.contains(group.title()) ? lists.value(group.title()) : m_favorites.items(group.title()))
            present.insert(keyOf(item));
    }
    QSet<QString> inFrom;
    for (const QList<Item> &list : from.items)
        for (const Item &item : list)
            inFrom.insert(keyOf(item));
    QSet<QString> inTo;
    for (const QList<Item> &list : to.items)
        for (const Item &item : list)
            inTo.insert(keyOf(item));
    // An item the step deletes that is in another group now stays there.
    for (const QString &key : std::as_const(inFrom))
        tally.skipped |= !inTo.contains(key) && present.contains(key);
    for (const QString &title : std::as_const(titles)) {
        putBackRemoved(from.items.value(title), to.items.value(title), lists[title], tally,
                       [&](const Item &item) -> std::optional<Item> {
                           if (!groupTitles.contains(title) || present.contains(keyOf(item)))
                               return std::nullopt;
                           present.insert(keyOf(item));
                           return inFrom.contains(keyOf(item)) ? item : m_supportFiles.restoreFilesOf(item);
                       });
        restoreOrder(from.items.value(title), to.items.value(title), lists[title], tally);
    }

    if (from.sortSettings != to.sortSettings) {
        if (m_sortSettings == from.sortSettings) {
            m_sortSettings = to.sortSettings;
            tally.applied = true;
        } else {
            tally.skipped = true;
        }
    }

    for (const QString &title : std::as_const(titles)) {
        if (lists.value(title) == stored.value(title))
            continue;
        if (lists.value(title).isEmpty() && !groupTitles.contains(title))
            m_favorites.removeItems(title);
        else
            m_favorites.setItems(title, lists.value(title));
    }
    if (groups != storedGroups)
        m_favorites.setGroups(groups);
    // Files of items this step deleted wait for a redo, as at the first deletion.
    for (const Item &item : std::as_const(removed)) {
        if (!present.contains(keyOf(item)))
            m_supportFiles.removeFilesOf(item);
    }
    if (tally.applied) {
        m_viewLinks.requestQuickListReload();
        m_viewLinks.requestManagerGroupsReload();
    }
    if (!tally.applied)
        return tally.skipped ? Outcome::refused : Outcome::applied;
    return tally.skipped ? Outcome::partly : Outcome::applied;
}

FavoritesHistoryStep::FavoritesHistoryStep(FavoritesHistory *history, TextKey nameKey,
                                           const std::optional<QStringList> &groupTitles)
    : m_history(history)
    , m_nameKey(nameKey)
{
    if (m_history)
        m_before = groupTitles ? m_history->snapshot(*groupTitles) : m_history->snapshotOfAll();
}

FavoritesHistoryStep::~FavoritesHistoryStep()
{
    if (m_history)
        m_history->record(LocalizedText(m_nameKey), *m_before);
}
