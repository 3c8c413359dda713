#include "QuickListFixture.h"

#include "quicklist/GroupActions.h"
#include "quicklist/QuickList.h"
#include "quicklist/QuickListMenus.h"

#include <QMenu>
#include <QSignalSpy>

#include <memory>

namespace {

class GroupActionsTest : public QuickListFixture
{
protected:
    GroupActionsTest() { links.managerLoaded = true; }

    QuickList quickList{favorites};
    GroupActions actions{quickList, favorites, sortSettings, links};
    QSignalSpy managerReloads{&links, &ViewLinks::managerGroupsReloadRequested};
};

} // namespace

TEST_F(GroupActionsTest, ANewGroupShowsInBothViewsWhereTheGroupSortPutsIt)
{
    addGroup("Work", true, {item("w", 1)});
    quickList.reloadQuickList();

    using Creation = FavoritesStore::GroupCreation;
    EXPECT_EQ(QList<Creation>({actions.createGroup(""), actions.createGroup("Work"), actions.createGroup("work")}),
              QList<Creation>({Creation::emptyTitle, Creation::titleTaken, Creation::created}));
    EXPECT_EQ(quickList.rowCount(), 3);
    EXPECT_EQ(managerReloads.count(), 1) << "the manager reloads for a group made, not for a refusal";

    sortSettings.groupSortKey = SortSettings::GroupKey::title;
    sortSettings.groupSortAscending = true;
    EXPECT_EQ(actions.createGroup("Alpha"), Creation::created);
    EXPECT_EQ(favorites.groupTitles(), QStringList({"Alpha", "Work", "work"}));
}

TEST_F(GroupActionsTest, ColourTagGoesToTheGroupOfTheHeading)
{
    addGroup("A", true, {item("a1", 1), item("a2", 2)});
    addGroup("B", false, {item("b1", 3)});
    addGroup("C", true, {});
    quickList.reloadQuickList();
    // Rows: A a1 a2 B C
    EXPECT_EQ(actions.indexForColorChange(1), -1) << "an item row is no heading";
    actions.changeColor(actions.indexForColorChange(3), QColor(0x0A, 0x0B, 0x0C));
    EXPECT_EQ(favorites.groups().at(1).color(), "0A0B0C");
    EXPECT_EQ(managerReloads.count(), 1);

    // With the groups sorted by colour, the recoloured group moves.
    sortSettings.groupSortKey = SortSettings::GroupKey::color;
    sortSettings.groupSortAscending = false;
    actions.changeColor(2, QColor(0xFF, 0, 0));
    actions.changeColor(7, Qt::blue); // no such group
    EXPECT_EQ(favorites.groupTitles(), QStringList({"C", "A", "B"}));
}

TEST_F(GroupActionsTest, SortMenuChoicesSetTheSharedSettingsAndRewriteTheOrder)
{
    addGroup("b", true, {item("y", 1), item("X", 2)});
    addGroup("a", true, {item("z", 3)});
    quickList.reloadQuickList();

    std::unique_ptr<QMenu> menu(QuickListMenus::sortMenu(sortSettings, actions, nullptr, nullptr));
    ASSERT_EQ(menu->actions().size(), 2);
    QMenu *groups = menu->actions().at(0)->menu();
    QMenu *items = menu->actions().at(1)->menu();
    ASSERT_TRUE(groups->actions().size() == 6 && items->actions().size() == 5);
    groups->actions().at(1)->trigger(); // by name
    groups->actions().at(4)->trigger(); // ascending
    EXPECT_EQ(favorites.groupTitles(), QStringList({"a", "b"}));
    groups->actions().at(2)->trigger(); // unsorted: the order is kept

    items->actions().at(1)->trigger(); // by name, descending
    items->actions().at(3)->trigger(); // ascending
    EXPECT_EQ(titlesOf(favorites.items("b")), QStringList({"X", "y"}));
}
