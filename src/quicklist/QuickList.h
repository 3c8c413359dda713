#pragma once

#include "quicklist/FVCompositeArray.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariantMap>

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

    const QList<QVariantMap> &grouparr() const { return m_grouparr; }
    // Replaces the group copy; the rows change at the next rebuild.
    void setGrouparr(const QList<QVariantMap> &groups) { m_grouparr = groups; }
    const QList<QList<QVariantMap>> &sections() const { return m_sections; }
    const FVCompositeArray &compositeMenuArray() const { return m_compositeMenuArray; }

    // The rows as shown: the search results while searching, else the
    // headings and items.
    int rowCount() const;
    QVariantMap recordAt(int row) const;
    bool isHeadingRow(int row) const;
    // Only item rows can be selected (clicked).
    bool shouldSelectRow(int row) const { return row >= 0 && row < rowCount() && !isHeadingRow(row); }
    // The group of a heading row (an index into grouparr), or -1.
    int groupIndexOfRow(int row) const;
    // The number of items stored for group groupIndex at the last rebuild,
    // also when the group is collapsed.
    int itemCountOfGroup(int groupIndex) const { return m_itemCounts.value(groupIndex); }
    // The record of a row of the grouped list, even while searching.
    QVariantMap groupedRecordAt(int row) const { return m_compositeMenuArray.objectInItemsAtIndex(row); }

    // Flips the expansion of the group whose heading is at row of the
    // grouped list, stores the group list and rebuilds. False when the row
    // is no heading.
    bool toggleExpansion(int row);
    // Expands the group titled title when it is collapsed, storing the
    // group list, and rebuilds.
    void expandGroup(const QString &title);

    // Search.
    bool searchBegin() const { return m_searchBegin; }
    const QList<QVariantMap> &searchItemsarr() const { return m_searchItemsarr; }
    QString searchText() const { return m_searchText; }
    // Shows the items matching text (rebuilds the results).
    void beginSearch(const QString &text);
    // Back to the grouped list.
    void endSearch();
    // The items of groups that match text, in group and then stored order.
    // Matching compares lower-cased copies: the title; else a bookmark's
    // address; else a file item's path. Empty text matches nothing.
    static QList<QVariantMap> searchItems(const FavoritesStore &favorites, const QList<QVariantMap> &groups,
                                          const QString &text);

Q_SIGNALS:
    // Around every change of the rows, so that a model can reset.
    void aboutToRebuild();
    void rebuilt();

private:
    void runSearch();

    FavoritesStore &m_favorites;
    QList<QVariantMap> m_grouparr;
    QList<QList<QVariantMap>> m_sections;
    QList<int> m_itemCounts;
    FVCompositeArray m_compositeMenuArray;
    bool m_searchBegin = false;
    QString m_searchText;
    QList<QVariantMap> m_searchItemsarr;
};
