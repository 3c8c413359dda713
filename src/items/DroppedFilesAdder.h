#pragma once

#include "items/ItemServices.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// Adds files dropped on the manager to its selected group.
class Item;

class DroppedFilesAdder final
{
public:
    explicit DroppedFilesAdder(const ItemServices &services);

    // One file item per path, in the given order, appended to
    // selectedGroupItems (the manager's copy of the group's list); the list
    // is then sorted and stored under groupTitle, each path recorded in the
    // file bookmarks, and the popup asked to rebuild. Returns the uid of the
    // last item built, for the manager to select; nothing when paths is empty.
    std::optional<qint64> addDroppedFiles(const QString &groupTitle, QList<Item> &selectedGroupItems,
                                          const QStringList &paths);

private:
    ItemServices m_services;
};
