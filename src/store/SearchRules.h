#pragma once

#include "store/Item.h"

#include <QString>

// The two searches over items, side by side, each named for where it
// applies. Both find an item by its title, a bookmark by its address and a
// file item by its path, with letter case and accents set aside
// (SearchFolding): "ecole" finds "École", "strasse" finds "Straße". An
// empty text finds nothing. A note is found by its title only, and so is a
// colour.

// What the user typed, folded once, looked for in other texts folded the
// same way.
class FoldedText final
{
public:
    explicit FoldedText(const QString &text);

    bool isEmpty() const { return m_needle.isEmpty(); }
    // Whether text, folded, contains it; never for an empty needle.
    bool isFoundIn(QStringView text) const;
    // The same for a text folded already.
    bool isFoundInFolded(const QString &folded) const { return !m_needle.isEmpty() && folded.contains(m_needle); }

private:
    QString m_needle;
    bool m_needleIsAscii;
};

// An item's searched texts, folded once for searches run again and again
// over the same items (the popup's, at each keystroke).
struct FoldedItemTexts
{
    explicit FoldedItemTexts(const Item &item);

    QString title;
    // Empty where the item's target is not searched.
    QString target;
};

// The popup's search, run over every item at each keystroke, and by the
// desktop's search.
class PopupSearch final
{
public:
    explicit PopupSearch(const QString &text);

    bool isEmpty() const { return m_needle.isEmpty(); }
    bool matches(const Item &item) const { return match(item) != Match::none; }

    // What the text was found in: the title is read first.
    enum class Match { none, title, target };
    Match match(const Item &item) const;
    // The same over texts folded already.
    Match match(const FoldedItemTexts &texts) const;

private:
    FoldedText m_needle;
};

// The manager's search over the selected group's items.
class ManagerSearch final
{
public:
    explicit ManagerSearch(const QString &text);

    bool isEmpty() const { return m_needle.isEmpty(); }
    bool matches(const Item &item) const;

private:
    FoldedText m_needle;
};
