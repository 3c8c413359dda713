#pragma once

#include "store/Group.h"
#include "store/Item.h"

#include <QList>
#include <QVariantList>
#include <QVariantMap>

// Items and groups to and from the records the preferences store holds.
// Only the store's own sources use this: everywhere else records are Items
// and Groups, and no code outside the store reads a record's keys.
class StoredRecords final
{
public:
    static Item item(const QVariantMap &record);
    static Group group(const QVariantMap &record);
    // The record to store: the one read, with what was set applied.
    static const QVariantMap &record(const Item &item) { return item.m_record; }
    static const QVariantMap &record(const Group &group) { return group.m_record; }

    // The items or groups of a stored array. Elements that are not records
    // are left out here; FavoritesStore::setItems keeps them in the file.
    static QList<Item> items(const QVariantList &array);
    static QList<Group> groups(const QVariantList &array);
    static QVariantList array(const QList<Item> &items);
    static QVariantList array(const QList<Group> &groups);
};
