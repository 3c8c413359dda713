#pragma once

#include <QDateTime>
#include <QString>
#include <QUrl>
#include <QVariantMap>

#include <optional>

// What an item is, told by the one kind flag its record holds.
enum class ItemKind { normalFile, bookmark, text, color, unknown };

// One favourite of a group (FavoriteItem): a file, folder or application,
// a web bookmark, a text note or a named colour.
//
// An item read from the store keeps its whole record, keys Brimble does not
// know (another tool's, a later version's) and values of an unexpected type
// included: the setters change only their own key, so that writing the item
// back loses nothing. A value of another type than its key's counts as
// absent. Only the store converts items to and from stored records.
class Item final
{
public:
    // An item of no kind, with nothing in it.
    Item() = default;

    // New items, without identity or date (FavoritesStore::withNewIdentity
    // gives them those). A file item's title is the last part of its path.
    static Item file(const QString &path);
    static Item bookmark(const QString &title, const QString &address, const QString &iconPath);
    static Item note(const QString &title, const QString &notePath);
    static Item color(const QString &title, const QString &colorCode);

    ItemKind kind() const;

    QString title() const;
    void setTitle(const QString &title);

    // What the item keeps of its kind: a file's or note's path, a
    // bookmark's address as typed, a colour's code; empty when absent and
    // for an item of no known kind.
    QString target() const;
    // Does nothing to an item of no known kind.
    void setTarget(const QString &target);

    // A bookmark's icon file; empty when absent.
    QString iconPath() const;
    void setIconPath(const QString &path);

    // An item is pinned while its record holds the pin mark, whatever its
    // value; unpinning removes the mark.
    bool isPinned() const;
    void setPinned(bool pinned);

    // The identity, unique over the whole store.
    std::optional<qint64> uid() const;
    void setUid(qint64 uid);

    // When the item was made.
    std::optional<QDateTime> date() const;
    void setDate(const QDateTime &date);

    // What opening the item opens: the file of a file or note, the web
    // address of a bookmark (see bookmarkUrl). Nothing for a colour, an
    // empty path or an address that gives no web address.
    std::optional<QUrl> link() const;
    // The address a bookmark opens: the text itself when it starts with
    // "http://" or "https://" in any letter case, else "http://" put in
    // front. Not valid when that gives no web address with a host.
    static QUrl bookmarkUrl(const QString &address);
    // What copying a colour puts on the clipboard: "#" and its code. Empty
    // for another kind of item and for a colour without a code.
    QString copiedColorCode() const;

    bool operator==(const Item &other) const = default;

private:
    friend class StoredRecords;

    QVariantMap m_record;
};
