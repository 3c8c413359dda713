#pragma once

#include "items/ItemFactory.h"
#include "items/ItemServices.h"

#include <QColor>
#include <QString>
#include <QStringList>

// The popup's way of adding an item to a group: build it, append it to the
// group's stored list, and ask the manager to follow. The popup rebuilds its
// own rows after a successful add.
class ItemAdder final
{
public:
    explicit ItemAdder(const ItemServices &services);

    // A file, folder or application, kept last in its group until the next
    // sort; its path is recorded in the file bookmarks once it is stored.
    Item addFile(const QString &groupTitle, const QString &path);
    // The other kinds re-sort every group's items after the add.
    ItemResult addBookmark(const QString &groupTitle, const QString &title, const QString &address);
    ItemResult addNote(const QString &groupTitle, const QString &title, const QString &text);
    ItemResult addColor(const QString &groupTitle, const QString &title, const QColor &color);

private:
    ItemResult store(const QString &groupTitle, const ItemResult &result);

    ItemServices m_services;
    ItemFactory m_factory;
};
