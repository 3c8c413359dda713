#pragma once

#include "quicklist/SectionedList.h"
#include "store/Group.h"
#include "store/Item.h"
#include "store/SearchRules.h"

#include <QList>
#include <QObject>
#include <QString>

#include <optional>

class FavoritesStore;

// The popup's rows: every group as a heading with, under an expanded one,
// its items in stored order; or, while a search runs, the matching items.
// Rebuilt from the store after every change, never patched.
class QuickList final : public QObject
{
    Q_OBJECT

public:
    explicit QuickList(FavoritesStore &favorites, QObject *parent = nullptr);

    // Rebuilds the rows from "allgroups" and each group's item list, and
    // the search results while a search runs.
    void reloadQuickList();

    const QList<Group> &grouparr() const { return m_grouparr; }

    // The rows as shown: the search results while searching, else the
    // headings and items.
    int rowCount() const;
    bool isHeadingRow(int row) const;
    // The item shown at row; nothing on a heading or outside the rows.
    std::optional<Item> itemAt(int row) const;
    // The group whose heading is at row of the grouped list, even while
    // searching; nothing on an item row or outside the rows.
    std::optional<Group> headingAt(int row) const;
    // Only item rows can be selected (clicked).
    bool shouldSelectRow(int row) const { return row >= 0 && row < rowCount() && !isHeadingRow(row); }
    // The group of a heading row (an index into grouparr), or -1.
    int groupIndexOfRow(int row) const;
    // The group a row belongs to: a heading's own, the group an item is
    // listed under, or the group a search result was found in; nothing
    // outside the rows.
    std::optional<Group> groupOfRow(int row) const;
    // The number of items stored for group groupIndex at the last rebuild,
    // also when the group is collapsed.
    int itemCountOfGroup(int groupIndex) const { return m_itemCounts.value(groupIndex); }

    // Flips the expansion of the group whose heading is at row of the
    // grouped list, stores the group list and rebuilds. False when the row
    // is no heading.
    bool toggleExpansion(int row);
    // Expands the group titled title when it is collapsed, storing the
    // group list, and rebuilds.
    void expandGroup(const QString &title);

    // Search.
    bool searchBegin() const { return m_searchBegin; }
    const QList<Item> &searchItemsarr() const { return m_searchItemsarr; }
    QString searchText() const { return m_searchText; }
    // Shows the items matching text (rebuilds the results).
    void beginSearch(const QString &text);
    // Back to the grouped list.
    void endSearch();
    // The items of groups that match text by the popup's search rule
    // (PopupSearch), in group and then stored order.
    static QList<Item> searchItems(const FavoritesStore &favorites, const QList<Group> &groups, const QString &text);

Q_SIGNALS:
    // Around every change of the rows, so that a model can reset.
    void aboutToRebuild();
    void rebuilt();

private:
    void runSearch();

    FavoritesStore &m_favorites;
    QList<Group> m_grouparr;
    QList<int> m_itemCounts;
    SectionedList<Group, Item> m_compositeMenuArray;
    bool m_searchBegin = false;
    QString m_searchText;
    QList<Item> m_searchItemsarr;
    // For each search result, the index in m_grouparr of its group.
    QList<int> m_searchGroupIndexes;
    // Every item with its texts folded, made at the first keystroke after a
    // rebuild and kept while the search runs, so that a keystroke folds
    // only what was typed.
    struct Searchable
    {
        int group;
        Item item;
        FoldedItemTexts texts;
    };
    std::optional<QList<Searchable>> m_searchables;
};
