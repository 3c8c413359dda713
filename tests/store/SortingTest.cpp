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
    const QList<QVariantMap> items{item(QStringLiteral("old"), 1), item(QStringLiteral("pin-new"), 9, true),
                                   item(QStringLiteral("new"), 8), item(QStringLiteral("pin-old"), 2, true),
                                   item(QStringLiteral("mid"), 5)};
    const SortSettings initial;
    EXPECT_EQ(titles(Sorting::sortedItems(items, initial)),
              (QStringList{"pin-new", "pin-old", "new", "mid", "old"}));
    SortSettings ascending;
    ascending.itemSortAscending = true;
    EXPECT_EQ(titles(Sorting::sortedItems(items, ascending)),
              (QStringList{"pin-new", "pin-old", "old", "mid", "new"}));

    // A pin flag of any value keeps the item among the pinned ones.
    QVariantMap oddPin = item(QStringLiteral("odd"), 3);
    oddPin.insert(RecordKeys::isPin, false);
    EXPECT_EQ(titles(Sorting::sortedItems({item(QStringLiteral("z"), 4), oddPin}, byTitle(true))),
              (QStringList{"odd", "z"}));
}

TEST(Sorting, TitlesCompareByCodeUnitsStablyInBothDirections)
{
    const QList<QVariantMap> items{item(QStringLiteral("b"), 1), item(QStringLiteral("A"), 2),
                                   item(QStringLiteral("a"), 3)};
    EXPECT_EQ(titles(Sorting::sortedItems(items, byTitle(true))), (QStringList{"A", "a", "b"}));
    EXPECT_EQ(titles(Sorting::sortedItems(items, byTitle(false))), (QStringList{"b", "a", "A"}));

    const QList<QVariantMap> mixed{item(QStringLiteral("alpha"), 1), item(QStringLiteral("Zeta"), 2),
                                   item(QStringLiteral("Group2"), 3), item(QStringLiteral("Group10"), 4)};
    EXPECT_EQ(titles(Sorting::sortedItems(mixed, byTitle(true))),
              (QStringList{"Group10", "Group2", "Zeta", "alpha"}));

    // Equal titles (a composed and a decomposed é count as equal) keep their order.
    const QList<QVariantMap> same{item(QStringLiteral("\u00e9"), 1), item(QStringLiteral("e\u0301"), 2),
                                  item(QStringLiteral("\u00e9"), 3)};
    for (bool ascending : {true, false}) {
        QList<int> days;
        for (const QVariantMap &record : Sorting::sortedItems(same, byTitle(ascending)))
            days.append(record.value(RecordKeys::date).toDateTime().date().day());
        EXPECT_EQ(days, QList<int>({1, 2, 3})) << ascending;
    }

    // Records lacking the key, or holding another type, go last in either direction.
    const QList<QVariantMap> broken{{{RecordKeys::title, qint64(5)}}, item(QStringLiteral("b"), 1),
                                    {}, item(QStringLiteral("a"), 2)};
    for (bool ascending : {true, false}) {
        const QList<QVariantMap> sorted = Sorting::sortedItems(broken, byTitle(ascending));
        EXPECT_EQ(sorted.at(2).value(RecordKeys::title), qint64(5));
        EXPECT_TRUE(sorted.at(3).isEmpty());
    }
    SortSettings byDate;
    EXPECT_EQ(titles(Sorting::sortedItems({{{RecordKeys::title, QStringLiteral("undated")}}, item(QStringLiteral("d"), 1)}, byDate)),
              (QStringList{"d", "undated"}));
}

TEST(Sorting, GroupsSortByTitleOrColourAndAreWrittenBack)
{
    FakePreferencesStore preferences;
    FavoritesStore store(preferences);
    auto group = [](const QString &title, const QString &color) {
        QVariantMap record = Records::newGroup(title);
        record.insert(RecordKeys::color, color);
        return record;
    };
    QList<QVariantMap> grouparr{group(QStringLiteral("b"), QStringLiteral("FF0000")),
                                group(QStringLiteral("c"), QStringLiteral("0A0A0A")),
                                group(QStringLiteral("a"), QStringLiteral("47CE64"))};
    SortSettings settings;
    Sorting::sortingGroups(store, grouparr, settings);
    EXPECT_EQ(store.groupTitles(), (QStringList{"b", "c", "a"}));

    settings.groupSortKey = SortSettings::GroupKey::color;
    settings.groupSortAscending = true;
    Sorting::sortingGroups(store, grouparr, settings);
    EXPECT_EQ(store.groupTitles(), (QStringList{"c", "a", "b"}));

    settings.groupSortKey = SortSettings::GroupKey::title;
    settings.groupSortAscending = false;
    Sorting::sortingGroups(store, grouparr, settings);
    EXPECT_EQ(titles(grouparr), (QStringList{"c", "b", "a"}));
    settings.groupSortKey = SortSettings::GroupKey::none;
    Sorting::sortingGroups(store, grouparr, settings);
    EXPECT_EQ(store.groupTitles(), (QStringList{"c", "b", "a"}));

    // Every group's stored items are sorted; groups without a list stay without one.
    store.setItems(QStringLiteral("a"), {item(QStringLiteral("x"), 1), item(QStringLiteral("y"), 2)});
    Sorting::sortAllGroupItems(store, grouparr, SortSettings());
    EXPECT_EQ(titles(store.items(QStringLiteral("a"))), (QStringList{"y", "x"}));
    EXPECT_FALSE(store.hasItemList(QStringLiteral("b")));

    QList<QVariantMap> selected{item(QStringLiteral("m"), 1), item(QStringLiteral("n"), 2, true)};
    Sorting::sortSelectedGroupItems(store, selected, QStringLiteral("c"), byTitle(false));
    EXPECT_EQ(titles(store.items(QStringLiteral("c"))), (QStringList{"n", "m"}));
}

} // namespace
