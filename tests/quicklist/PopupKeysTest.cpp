#include "quicklist/PopupKeys.h"

#include <gtest/gtest.h>

namespace {

using Action = PopupKeys::Action;
using Decision = PopupKeys::Decision;

TEST(PopupKeysTest, EachKeyDoesOneThingForWhatThePopupShows)
{
    using State = PopupKeys::State;
    const State heading{5, 0, true}, box{.rowCount = 5, .hoverRow = 2, .inlineBoxOpen = true},
        tasks{.rowCount = 5, .hoverRow = 2, .showsTasks = true};
    const State search{.rowCount = 5, .hoverRow = 2, .searchFieldShown = true};
    const struct
    {
        State state;
        int key;
        Qt::KeyboardModifiers modifiers;
        QString text;
        Decision expected;
    } cases[] = {
        // The arrows stop at the ends; a highlight left over from longer rows starts again.
        {{5, 2}, Qt::Key_Down, {}, {}, {Action::highlight, 3}},
        {{5, -1}, Qt::Key_Up, {}, {}, {Action::highlight, 4}},
        {{0, -1}, Qt::Key_Down, {}, {}, {Action::consume}},
        {{5, 9}, Qt::Key_Down, {}, {}, {Action::highlight, 0}},
        {{5, 2}, Qt::Key_Return, {}, {}, {Action::open, 2}},
        {search, Qt::Key_Escape, {}, {}, {Action::endSearch}},
        {{5, 2}, Qt::Key_Tab, {}, {}, {Action::focusNext}},
        {{5, 2}, Qt::Key_A, {}, "a", {Action::typeIntoSearch, -1, "a"}},
        // Shortcuts are not typed into the search.
        {{5, 2}, Qt::Key_C, Qt::ControlModifier, "\x03", {Action::none}},
        {{5, 2}, Qt::Key_Menu, {}, {}, {Action::contextMenu, 2}},
        {{5, 3}, Qt::Key_F10, Qt::ShiftModifier, {}, {Action::contextMenu, 3}},
        {{5, -1}, Qt::Key_Menu, {}, {}, {Action::consume}},
        {heading, Qt::Key_Menu, {}, {}, {Action::addItemMenu, 0}},
        {box, Qt::Key_Escape, {}, {}, {Action::closeInlineBox}},
        {box, Qt::Key_A, {}, "a", {Action::none}},
        {tasks, Qt::Key_Escape, {}, {}, {Action::closePopup}},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(PopupKeys::keyPressed(c.state, c.key, c.modifiers, c.text), c.expected)
            << "key " << c.key << " text " << c.text.toStdString();
    }
    // An empty search text ends the search; results highlight the first row.
    EXPECT_TRUE(!PopupKeys::searchRuns(QString()) && PopupKeys::searchRuns(" "));
    EXPECT_EQ(PopupKeys::rowAfterSearch(3), 0);
    EXPECT_EQ(PopupKeys::rowAfterSearch(0), -1);
}

TEST(PopupKeysTest, TheKeysReachEveryPaintedControlOfTheHighlightedRow)
{
    using State = PopupKeys::State;
    const State expanded{.rowCount = 5, .hoverRow = 1, .hoverIsHeading = true, .hoverIsExpanded = true};
    const State collapsed{.rowCount = 5, .hoverRow = 1, .hoverIsHeading = true};
    const State folder{.rowCount = 5, .hoverRow = 3, .hoverOpensFolderMenu = true};
    const State file{.rowCount = 5, .hoverRow = 3};
    State typing = collapsed;
    typing.inSearchField = true;
    State folderWhileTyping = folder;
    folderWhileTyping.inSearchField = true;
    const struct
    {
        State state;
        int key;
        Qt::KeyboardModifiers modifiers;
        Decision expected;
    } cases[] = {
        {expanded, Qt::Key_Left, {}, {Action::collapse, 1}},
        {collapsed, Qt::Key_Right, {}, {Action::expand, 1}},
        {folder, Qt::Key_Right, {}, {Action::folderContents, 3}},
        {file, Qt::Key_Right, {}, {Action::none}},
        {expanded, Qt::Key_T, Qt::ControlModifier, {Action::colorTagPicker, 1}},
        {typing, Qt::Key_T, Qt::ControlModifier, {Action::colorTagPicker, 1}},
        {file, Qt::Key_T, Qt::ControlModifier, {Action::none}},
        // In the search field the arrows move the caret.
        {typing, Qt::Key_Right, {}, {Action::none}},
        {folderWhileTyping, Qt::Key_Right, {}, {Action::none}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(PopupKeys::keyPressed(c.state, c.key, c.modifiers, {}), c.expected) << "key " << c.key;
}

} // namespace
