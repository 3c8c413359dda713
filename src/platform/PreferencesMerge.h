#pragma once

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVariantMap>

#include <functional>
#include <optional>

// Three-way merges of preferences: base is the version this process last
// read or wrote, ours what it holds in memory, theirs what another program
// wrote to the file since. A change made on one side only is taken; what was
// added on either side is kept; what one side deleted is deleted when the
// other did not change it.
namespace PreferencesMerge {

struct Outcome
{
    QVariantMap merged;
    // Records changed differently on both sides: theirs kept, ours added
    // beside it as a copy.
    int keptTwice = 0;
    // Records added on both sides under one identity: ours renumbered.
    int renumbered = 0;
};

using Function = std::function<Outcome(const QVariantMap &base, const QVariantMap &ours, const QVariantMap &theirs)>;

// Every key as a setting of its own. A value changed differently on both
// sides is theirs, but for lists of texts, data or dictionaries, which are
// merged element by element (see mergedCollection); a value deleted on one
// side and changed on the other keeps the change.
Outcome byKey(const QVariantMap &base, const QVariantMap &ours, const QVariantMap &theirs);
// One key's merged value, absent when the key is to be removed.
std::optional<QVariant> mergedSetting(const QVariant *base, const QVariant *ours, const QVariant *theirs);

// A record merged key by key; conflict is set when a key changed
// differently on both sides (theirs is then taken for it).
QVariantMap mergedFields(const QVariantMap &base, const QVariantMap &ours, const QVariantMap &theirs, bool *conflict);

// A list of values merged as a collection: the elements either side added
// are kept, those either side removed go; equal values match, a value that
// occurs twice counts twice.
QVariantList mergedCollection(const QVariantList &base, const QVariantList &ours, const QVariantList &theirs);

// The order of the kept elements named in three orders: theirs, unless only
// ours was reordered; elements the other order places that are not placed
// yet go after the element they follow there.
QStringList mergedOrder(const QStringList &base, const QStringList &ours, const QStringList &theirs,
                        const QSet<QString> &kept);

// Names a value by its contents, so that equal values share a name; the
// n-th equal value of one list gets occurrence n.
QString contentKey(const QVariant &value, int occurrence);

// What two versions without a known common ancestor (a sync tool's conflict
// copy beside the file) have in common, as a base for merging them: keys
// with equal values, and of lists the elements both hold. Nothing either
// holds alone then counts as deleted by the other.
QVariantMap commonPart(const QVariantMap &first, const QVariantMap &second);

// Whether two values, either of which may be absent, are the same.
bool same(const QVariant *first, const QVariant *second);

} // namespace PreferencesMerge
