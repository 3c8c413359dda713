#pragma once

#include "items/ItemServices.h"
#include "store/Item.h"
#include "store/TextKey.h"

#include <QColor>
#include <QString>

#include <optional>

// An item that was built, or the keyed text that says why none was.
struct ItemResult
{
    std::optional<Item> item;
    std::optional<TextKey> errorKey;
    // Fills the one placeholder of the error text, when it has one.
    QString errorArgument;

    bool ok() const { return item.has_value(); }
    // The error text for a message line; empty when an item was built.
    QString message() const;

    static ItemResult made(const Item &item);
    static ItemResult refused(TextKey key, const QString &argument = {});
};

// Builds new bookmark, note and colour items by the rules both the popup's
// boxes and the manager's add panel follow: the fields are checked, the
// item gets a fresh identity, and its support file is taken care of.
// Nothing is appended to any list here.
class ItemFactory final
{
public:
    explicit ItemFactory(const ItemServices &services);

    // The icon path names a new file; the icon is loaded into it in the
    // background.
    ItemResult makeBookmark(const QString &title, const QString &address);
    // The note's text goes to a new file holding exactly text.
    ItemResult makeNote(const QString &title, const QString &text);
    ItemResult makeColor(const QString &title, const QColor &color);

    // The refusals of the fields, in the order they are checked.
    static std::optional<TextKey> bookmarkRefusal(const QString &title, const QString &address);
    static std::optional<TextKey> noteRefusal(const QString &title, const QString &text);
    static std::optional<TextKey> colorRefusal(const QString &title);

private:
    ItemServices m_services;
};
