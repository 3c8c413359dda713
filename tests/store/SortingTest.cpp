#include "store/Sorting.h"
#include "platform/FakePreferencesStore.h"
#include "store/FavoritesStore.h"
#include "store/StoreKeys.h"
#include "store/StoredRecords.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

Item item(const QString &title, int day, bool pinned = false)
{
    Item record = Item::color(title, u"FF0000"_qs);
    record.setDate(QDateTime(QDate(2024, 1, day), QTime(12, 0), Qt::UTC));
    record.setPinned(pinned);
    return record;
}

QStringList titles(const QList<Item> &records)
{
    QStringList result;
    for (const Item &record : records)
        result.append(record.title());
    return result;
}

SortSettings byTitle(bool ascending)
{
    return {.itemSortKey = SortSettings::ItemKey::title, .itemSortAscending = ascending};
}

TEST(Sorting, ItemsComeNewestFirstWithPinnedItemsLeadingInTheirOrder)
{
    const QList<Item> items{item(u"old"_qs, 1), item(u"pin-new"_qs, 9, true), item(u"new"_qs, 8),
                            item(u"pin-old"_qs, 2, true), item(u"mid"_qs, 5)};
    SortSettings byDate;
    EXPECT_EQ(titles(Sorting::sortedItems(items, byDate)), (QStringList{"pin-new", "pin-old", "new", "mid", "old"}));
    byDate.itemSortAscending = true;
    EXPECT_EQ(titles(Sorting::sortedItems(items, byDate)), (QStringList{"pin-new", "pin-old", "old", "mid", "new"}));
    EXPECT_EQ(titles(Sorting::sortedItems({Item::color(u"undated"_qs, {}), item(u"d"_qs, 1)}, SortSettings())),
              (QStringList{"d", "undated"}));
}

TEST(Sorting, TitlesCompareByCodeUnitsStablyInBothDirections)
{
    const QList<Item> items{item(u"b"_qs, 1), item(u"A"_qs, 2), item(u"a"_qs, 3), item(u"Group2"_qs, 4),
                            item(u"Group10"_qs, 5)};
    EXPECT_EQ(titles(Sorting::sortedItems(items, byTitle(true))), (QStringList{"A", "Group10", "Group2", "a", "b"}));
    EXPECT_EQ(titles(Sorting::sortedItems(items, byTitle(false))), (QStringList{"b", "a", "Group2", "Group10", "A"}));

    // Equal titles (a composed and a decomposed é count as equal) keep their
    // order; records lacking the key, or holding another type, go last.
    const QList<Item> same{item(u"\u00e9"_qs, 1), item(u"e\u0301"_qs, 2), item(u"\u00e9"_qs, 3)};
    const Item numbered = StoredRecords::item({{RecordKeys::title, qint64(5)}});
    const QList<Item> broken{numbered, item(u"b"_qs, 1), Item(), item(u"a"_qs, 2)};
    for (bool ascending : {true, false}) {
        QList<int> days;
        for (const Item &record : Sorting::sortedItems(same, byTitle(ascending)))
            days.append(record.date()->date().day());
        EXPECT_EQ(days, QList<int>({1, 2, 3})) << ascending;
        const QList<Item> sorted = Sorting::sortedItems(broken, byTitle(ascending));
        EXPECT_EQ(sorted.at(2), numbered);
        EXPECT_EQ(sorted.at(3), Item());
    }
    // An empty title is a title: it sorts first going up.
    EXPECT_EQ(titles(Sorting::sortedItems({Item(), item(u"a"_qs, 1), item(QString(), 2)}, byTitle(true))),
              (QStringList{"", "a", ""}));
}

TEST(Sorting, GroupsSortByTitleOrColourAndAreWrittenBack)
{
    FakePreferencesStore preferences;
    FavoritesStore store(preferences);
    QList<Group> grouparr;
    for (const auto &[title, color] : {std::pair{"b", "FF0000"}, {"c", "0A0A0A"}, {"a", "47CE64"}}) {
        grouparr.append(Group(QString::fromLatin1(title)));
        grouparr.last().setColor(QString::fromLatin1(color));
    }
    using Key = SortSettings::GroupKey;
    for (const auto &[key, ascending, expected] : {std::tuple{Key::none, false, QStringList{"b", "c", "a"}},
                                                   {Key::color, true, {"c", "a", "b"}},
                                                   {Key::title, false, {"c", "b", "a"}}}) {
        Sorting::sortingGroups(store, grouparr, {.groupSortKey = key, .groupSortAscending = ascending});
        EXPECT_EQ(store.groupTitles(), expected);
    }

    // Every group's stored items are sorted; groups without a list stay
    // without one, and a list in order already is not written again.
    store.setItems(u"a"_qs, {item(u"x"_qs, 1), item(u"y"_qs, 2)});
    const int writes = preferences.writeCount();
    Sorting::sortAllGroupItems(store, grouparr, SortSettings());
    EXPECT_EQ(titles(store.items(u"a"_qs)), (QStringList{"y", "x"}));
    EXPECT_FALSE(store.hasItemList(u"b"_qs));
    EXPECT_EQ(titles(Sorting::sortStoredItems(store, u"a"_qs, SortSettings())), (QStringList{"y", "x"}));
    EXPECT_EQ(preferences.writeCount(), writes + 1);

    QList<Item> selected{item(u"m"_qs, 1), item(u"n"_qs, 2, true)};
    Sorting::sortSelectedGroupItems(store, selected, u"c"_qs, byTitle(false));
    EXPECT_EQ(titles(store.items(u"c"_qs)), (QStringList{"n", "m"}));
}

} // namespace
