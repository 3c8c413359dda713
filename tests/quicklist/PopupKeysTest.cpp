#include "quicklist/PopupKeys.h"

#include <gtest/gtest.h>

namespace {

using Action = PopupKeys::Action;
using Decision = PopupKeys::Decision;

PopupKeys::State list(int rows, int hover, bool searchField = false)
{
    PopupKeys::State state;
    state.rowCount = rows;
    state.hoverRow = hover;
    state.searchFieldShown = searchField;
    return state;
}

TEST(PopupKeysTest, EachKeyDoesOneThingForWhatThePopupShows)
{
    PopupKeys::State box = list(5, 2);
    box.inlineBoxOpen = true;
    PopupKeys::State tasks = list(5, 2);
    tasks.showsTasks = true;
    const struct { PopupKeys::State state; int key; QString text; Decision expected; } cases[] = {
        {list(5, 2), Qt::Key_Down, {}, {Action::highlight, 3}},
        {list(5, -1), Qt::Key_Up, {}, {Action::highlight, 4}},
        {list(0, -1), Qt::Key_Down, {}, {Action::consume}},
        {list(5, 4), Qt::Key_Down, {}, {Action::highlight, 4}}, // stops at the ends
        {list(5, 0), Qt::Key_Up, {}, {Action::highlight, 0}},
        {list(5, 9), Qt::Key_Down, {}, {Action::highlight, 0}}, // left over from longer rows
        {list(5, 2), Qt::Key_Return, {}, {Action::open, 2}},
        {list(5, 2), Qt::Key_Enter, {}, {Action::open, 2}},
        {list(5, -1), Qt::Key_Return, {}, {Action::consume}},
        {list(5, 2), Qt::Key_Escape, {}, {Action::closePopup}},
        {list(5, 2, true), Qt::Key_Escape, {}, {Action::endSearch}},
        {list(5, 2), Qt::Key_Tab, {}, {Action::focusNext}},
        {list(5, 2, true), Qt::Key_Backtab, {}, {Action::focusPrevious}},
        {list(5, 2), Qt::Key_A, "a", {Action::typeIntoSearch, -1, "a"}},
        {list(5, 2), Qt::Key_Space, " ", {Action::typeIntoSearch, -1, " "}},
        {list(5, 2), Qt::Key_F5, {}, {Action::none}},
        {list(5, 2), Qt::Key_Menu, {}, {Action::contextMenu, 2}},
        {list(5, 2, true), Qt::Key_Menu, {}, {Action::contextMenu, 2}},
        {list(5, -1), Qt::Key_Menu, {}, {Action::consume}},
        {box, Qt::Key_Menu, {}, {Action::none}},
        {box, Qt::Key_Escape, {}, {Action::closeInlineBox}},
        {box, Qt::Key_Down, {}, {Action::none}},
        {box, Qt::Key_A, "a", {Action::none}},
        {tasks, Qt::Key_Escape, {}, {Action::closePopup}},
        {tasks, Qt::Key_Down, {}, {Action::none}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(PopupKeys::keyPressed(c.state, c.key, Qt::NoModifier, c.text), c.expected)
            << "key " << c.key << " text " << c.text.toStdString();
    }
    EXPECT_EQ(PopupKeys::keyPressed(list(5, 2), Qt::Key_C, Qt::ControlModifier, "\x03").action, Action::none)
        << "shortcuts are not typed into the search";
    EXPECT_EQ(PopupKeys::keyPressed(list(5, 2), Qt::Key_A, Qt::ControlModifier, "a").action, Action::none);
    EXPECT_EQ(PopupKeys::keyPressed(list(5, 3), Qt::Key_F10, Qt::ShiftModifier, {}), Decision({Action::contextMenu, 3}));
    PopupKeys::State heading = list(5, 0);
    heading.hoverIsHeading = true;
    EXPECT_EQ(PopupKeys::keyPressed(heading, Qt::Key_Menu, Qt::NoModifier, {}), Decision({Action::addItemMenu, 0}));
}

TEST(PopupKeysTest, AnEmptySearchTextEndsTheSearchAndResultsHighlightTheFirst)
{
    EXPECT_FALSE(PopupKeys::searchRuns(QString()));
    EXPECT_TRUE(PopupKeys::searchRuns(" "));
    EXPECT_EQ(PopupKeys::rowAfterSearch(3), 0);
    EXPECT_EQ(PopupKeys::rowAfterSearch(0), -1);
}

} // namespace
