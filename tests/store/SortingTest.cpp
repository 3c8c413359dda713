#include "platform/FakePreferencesStore.h"
#include "store/FavoritesStore.h"
#include "store/Records.h"
#include "store/Sorting.h"
#include "store/StoreKeys.h"

#include <gtest/gtest.h>

namespace {

QVariantMap item(const QString &title, int day, bool pinned = false)
{
    QVariantMap record{{RecordKeys::title, title},
                       {RecordKeys::date, QDateTime(QDate(2024, 1, day), QTime(12, 0), Qt::UTC)}};
    if (pinned)
        record.insert(RecordKeys::isPin, true);
    return record;
}

QStringList titles(const QList<QVariantMap> &records)
{
    QStringList result;
    for (const QVariantMap &record : records)
        result.append(Records::title(record));
    return result;
}

SortSettings byTitle(bool ascending)
{
    SortSettings settings;
    settings.itemSortKey = SortSettings::ItemKey::title;
    settings.itemSortAscending = ascending;
    return settings;
}

TEST(Sorting, ItemsComeNewestFirstWithPinnedItemsLeadingInTheirOrder)
{
    const QList<QVariantMap> items{item(u"old"_qs, 1), item(u"pin-new"_qs, 9, true), item(u"new"_qs, 8),
                                   item(u"pin-old"_qs, 2, true), item(u"mid"_qs, 5)};
    SortSettings byDate;
    EXPECT_EQ(titles(Sorting::sortedItems(items, byDate)), (QStringList{"pin-new", "pin-old", "new", "mid", "old"}));
    byDate.itemSortAscending = true;
    EXPECT_EQ(titles(Sorting::sortedItems(items, byDate)), (QStringList{"pin-new", "pin-old", "old", "mid", "new"}));
    EXPECT_EQ(titles(Sorting::sortedItems({{{RecordKeys::title, u"undated"_qs}}, item(u"d"_qs, 1)}, SortSettings())),
              (QStringList{"d", "undated"}));

    // A pin flag of any value keeps the item among the pinned ones.
    QVariantMap oddPin = item(u"odd"_qs, 3);
    oddPin.insert(RecordKeys::isPin, false);
    EXPECT_EQ(titles(Sorting::sortedItems({item(u"z"_qs, 4), oddPin}, byTitle(true))), (QStringList{"odd", "z"}));
}

TEST(Sorting, TitlesCompareByCodeUnitsStablyInBothDirections)
{
    const QList<QVariantMap> items{item(u"b"_qs, 1), item(u"A"_qs, 2), item(u"a"_qs, 3), item(u"Group2"_qs, 4),
                                   item(u"Group10"_qs, 5)};
    EXPECT_EQ(titles(Sorting::sortedItems(items, byTitle(true))), (QStringList{"A", "Group10", "Group2", "a", "b"}));
    EXPECT_EQ(titles(Sorting::sortedItems(items, byTitle(false))), (QStringList{"b", "a", "Group2", "Group10", "A"}));

    // Equal titles (a composed and a decomposed é count as equal) keep their
    // order; records lacking the key, or holding another type, go last.
    const QList<QVariantMap> same{item(u"\u00e9"_qs, 1), item(u"e\u0301"_qs, 2), item(u"\u00e9"_qs, 3)};
    const QList<QVariantMap> broken{{{RecordKeys::title, qint64(5)}}, item(u"b"_qs, 1), {}, item(u"a"_qs, 2)};
    for (bool ascending : {true, false}) {
        QList<int> days;
        for (const QVariantMap &record : Sorting::sortedItems(same, byTitle(ascending)))
            days.append(record.value(RecordKeys::date).toDateTime().date().day());
        EXPECT_EQ(days, QList<int>({1, 2, 3})) << ascending;
        const QList<QVariantMap> sorted = Sorting::sortedItems(broken, byTitle(ascending));
        EXPECT_EQ(sorted.at(2).value(RecordKeys::title), qint64(5));
        EXPECT_TRUE(sorted.at(3).isEmpty());
    }
}

TEST(Sorting, GroupsSortByTitleOrColourAndAreWrittenBack)
{
    FakePreferencesStore preferences;
    FavoritesStore store(preferences);
    QList<QVariantMap> grouparr;
    for (const auto &[title, color] : {std::pair{"b", "FF0000"}, {"c", "0A0A0A"}, {"a", "47CE64"}}) {
        grouparr.append(Records::newGroup(QString::fromLatin1(title)));
        grouparr.last().insert(RecordKeys::color, QString::fromLatin1(color));
    }
    const struct { SortSettings::GroupKey key; bool ascending; QStringList expected; } orders[] = {
        {SortSettings::GroupKey::none, false, {"b", "c", "a"}},
        {SortSettings::GroupKey::color, true, {"c", "a", "b"}},
        {SortSettings::GroupKey::title, false, {"c", "b", "a"}},
    };
    for (const auto &order : orders) {
        SortSettings settings;
        settings.groupSortKey = order.key;
        settings.groupSortAscending = order.ascending;
        Sorting::sortingGroups(store, grouparr, settings);
        EXPECT_EQ(store.groupTitles(), order.expected);
    }

    // Every group's stored items are sorted; groups without a list stay without one.
    store.setItems(u"a"_qs, {item(u"x"_qs, 1), item(u"y"_qs, 2)});
    Sorting::sortAllGroupItems(store, grouparr, SortSettings());
    EXPECT_EQ(titles(store.items(u"a"_qs)), (QStringList{"y", "x"}));
    EXPECT_FALSE(store.hasItemList(u"b"_qs));

    QList<QVariantMap> selected{item(u"m"_qs, 1), item(u"n"_qs, 2, true)};
    Sorting::sortSelectedGroupItems(store, selected, u"c"_qs, byTitle(false));
    EXPECT_EQ(titles(store.items(u"c"_qs)), (QStringList{"n", "m"}));
}

} // namespace
