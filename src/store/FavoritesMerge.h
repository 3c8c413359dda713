#pragma once

#include "platform/PreferencesMerge.h"

// The three-way merge of two versions of the favourites (see
// PreferencesMerge for base, ours and theirs).
//
// Groups match by title, items by "uid" wherever they are filed, settings by
// key. A change on one side only is taken, key by key within a record, so
// that a pin here and a rename elsewhere both hold; an item moved to another
// group on one side moves. A group renamed on one side keeps what the other
// side put in it under its old title. Records added on both sides are all
// kept, an item renumbered (after the highest "uid" and "uniqueid" of
// either side) only where its identity collides. A record deleted on one
// side goes when the other side did not change it; a group deleted on one
// side comes back when the other side added or changed items in it. An
// item changed differently on both sides keeps theirs and gets ours beside
// it as a copy with a new identity. Elements of an item list that are not
// records, and keys Brimble does not know, are merged as values and kept.
namespace FavoritesMerge {
PreferencesMerge::Outcome merge(const QVariantMap &base, const QVariantMap &ours, const QVariantMap &theirs);
} // namespace FavoritesMerge
