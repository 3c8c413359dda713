#pragma once

#include "store/Item.h"

#include <QString>

// The two searches over items, side by side: they differ on purpose, and
// each is named for where it applies. Both find an item by its title, a
// bookmark by its address and a file item by its path, in any letter case;
// an empty text finds nothing. A note is found by its title only, and so
// is a colour.

// The popup's search, run over every item at each keystroke: letter case
// is folded one UTF-16 unit at a time, without copying what is searched.
class PopupSearch final
{
public:
    explicit PopupSearch(const QString &text);

    bool isEmpty() const { return m_needle.isEmpty(); }
    bool matches(const Item &item) const { return match(item) != Match::none; }

    // What the text was found in: the title is read first.
    enum class Match { none, title, target };
    Match match(const Item &item) const;

private:
    QString m_needle;
};

// The manager's search over the selected group's items: the texts are
// lower-cased whole (QString::toLower), so letters beyond the basic plane
// fold too, and a capital İ becomes i with a combining dot.
class ManagerSearch final
{
public:
    explicit ManagerSearch(const QString &text);

    bool isEmpty() const { return m_needle.isEmpty(); }
    bool matches(const Item &item) const;

private:
    QString m_needle;
};
