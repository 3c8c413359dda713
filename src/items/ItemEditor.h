#pragma once

#include "items/ItemFactory.h"
#include "items/ItemServices.h"

#include <QColor>
#include <QString>

#include <optional>

// What the manager's add panel is opened for (its viewopenfor values).
enum class PanelKind { webBookmark = 2, textFile = 3, colorWell = 4 };

// The fields of the add panel; each kind reads its own.
struct PanelFields
{
    QString title;
    QString address;
    QString noteText;
    QColor color;
};

// The manager panels' changes to a group's stored items: adding a bookmark,
// note or colour at the end of the group, editing one in place, renaming a
// file item. Items are found by uid, so that the right one changes however
// the manager's list is filtered. Sorting and redrawing are the caller's.
class ItemEditor final
{
public:
    explicit ItemEditor(const ItemServices &services);

    // Refused when the group no longer exists.
    ItemResult add(const QString &groupTitle, PanelKind kind, const PanelFields &fields);
    // Gives the item uid the title, address, note or colour of fields; its
    // identity, creation date, pin mark and whatever else its record holds
    // stay. Its old icon or note file is deleted once the item is stored;
    // a bookmark keeps its icon while its address is unchanged.
    ItemResult edit(const QString &groupTitle, qint64 uid, PanelKind kind, const PanelFields &fields);
    // Only the title of a file item changes, exactly as typed.
    ItemResult renameFile(const QString &groupTitle, qint64 uid, const QString &title);

    // The text of a note item's file; nothing when it cannot be read.
    static std::optional<QString> readNote(const Item &item);
    // Whether a note item's file is gone (not merely unreadable): saving it
    // then loses nothing, and writes the text typed to a new file.
    static bool noteFileIsMissing(const Item &item);

private:
    ItemResult make(PanelKind kind, const PanelFields &fields);
    ItemResult retitleBookmark(const QString &groupTitle, QList<Item> &items, int index, const PanelFields &fields);
    ItemResult readdressBookmark(const QString &groupTitle, QList<Item> &items, int index, const PanelFields &fields);

    ItemServices m_services;
    ItemFactory m_factory;
};
