#pragma once

#include "store/Group.h"
#include "store/Item.h"

#include <QList>
#include <QString>

class FavoritesStore;
class SupportFiles;

// Deleting and renaming groups. A group's items are stored under its title,
// so groups that share a title (in a file written by hand or by another
// program; Brimble itself refuses a second one) show one list: that list
// stays while any group has the title. Both windows delete and rename
// groups through this class.
class GroupLists final
{
public:
    GroupLists(FavoritesStore &favorites, const SupportFiles &supportFiles);

    // Whether a group of groups other than the one at index has its title,
    // and so shows the same items.
    static bool sharesItems(const QList<Group> &groups, int index);

    // Removes the group at index from groups and stores them. Its items and
    // their note and icon files are deleted with it, unless another group
    // shows them.
    void deleteGroup(QList<Group> &groups, int index);

    // Gives the group at index the title (which no other group has) and
    // stores groups, its items going along under the new title in the same
    // write. When another group keeps the old title, the renamed one gets
    // its own copy of the items: new identities and copies of their note
    // and icon files, so that a change to either group never reaches the
    // other.
    void renameGroup(QList<Group> &groups, int index, const QString &title);

private:
    Item ownCopyOf(Item item);

    FavoritesStore &m_favorites;
    const SupportFiles &m_supportFiles;
};
