#pragma once

#include <QColor>
#include <QLatin1String>
#include <QString>
#include <QVariantMap>

// The colour tag of a new group.
inline constexpr QLatin1String defaultGroupColor("47CE64");

// A named, colour-tagged heading over its items (FavoriteGroup). Its title
// is also where its items are stored (FavoritesStore::items).
//
// A group read from the store keeps its whole record, keys Brimble does not
// know included, and writes it back as it was but for what was set. A
// value of another type than its key's counts as absent. Only the store
// converts groups to and from stored records.
class Group final
{
public:
    // A group of no title, with nothing in it.
    Group() = default;
    // A new group: titled exactly title, expanded, in the default colour.
    explicit Group(const QString &title);

    QString title() const;
    void setTitle(const QString &title);

    // The colour tag: six upper-case hexadecimal digits (ColorText); empty
    // when absent.
    QString color() const;
    void setColor(const QString &colorCode);
    // The colour the tag is drawn in, the same in every view: the default
    // colour when the group has none, black for a text that is not a colour.
    QColor tagColor() const;

    // Whether the popup shows the group's items under its heading; absent
    // counts as collapsed.
    bool isExpanded() const;
    void setExpanded(bool expanded);

    bool operator==(const Group &other) const = default;

private:
    friend class StoredRecords;

    QVariantMap m_record;
};
