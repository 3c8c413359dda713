#include "quicklist/PopupKeys.h"

#include <algorithm>

namespace {

bool isTypedText(Qt::KeyboardModifiers modifiers, const QString &text)
{
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    return !text.isEmpty() && text.at(0).isPrint();
}

} // namespace

int PopupKeys::nextRow(int rowCount, int current, int step)
{
    if (rowCount <= 0)
        return -1;
    if (current < 0 || current >= rowCount)
        return step > 0 ? 0 : rowCount - 1;
    return std::clamp(current + step, 0, rowCount - 1);
}

PopupKeys::Decision PopupKeys::keyPressed(const State &state, int key, Qt::KeyboardModifiers modifiers,
                                          const QString &text)
{
    // An inline box has its own fields: only Escape is the popup's, to close it.
    if (state.inlineBoxOpen) {
        if (key == Qt::Key_Escape)
            return {Action::closeInlineBox};
        return {Action::none};
    }
    if (state.showsTasks) {
        if (key == Qt::Key_Escape)
            return {Action::closePopup};
        return {Action::none};
    }
    // The menu key, or Shift+F10, opens the highlighted row's menu: an
    // item's context menu, or a heading's add menu (the keyboard's way to
    // the + of the heading).
    if (key == Qt::Key_Menu || (key == Qt::Key_F10 && modifiers == Qt::ShiftModifier)) {
        if (state.hoverRow < 0 || state.hoverRow >= state.rowCount)
            return {Action::consume};
        return {state.hoverIsHeading ? Action::addItemMenu : Action::contextMenu, state.hoverRow};
    }
    const bool onRow = state.hoverRow >= 0 && state.hoverRow < state.rowCount;
    if (onRow && state.hoverIsHeading && key == Qt::Key_T && modifiers == Qt::ControlModifier)
        return {Action::colorTagPicker, state.hoverRow};
    // Left and Right fold the highlighted heading, and Right opens a
    // folder's contents; in the search field they move the caret.
    if (onRow && !state.inSearchField && modifiers == Qt::NoModifier) {
        if (key == Qt::Key_Left && state.hoverIsHeading)
            return state.hoverIsExpanded ? Decision{Action::collapse, state.hoverRow} : Decision{Action::consume};
        if (key == Qt::Key_Right && state.hoverIsHeading)
            return state.hoverIsExpanded ? Decision{Action::consume} : Decision{Action::expand, state.hoverRow};
        if (key == Qt::Key_Right && state.hoverOpensFolderMenu)
            return {Action::folderContents, state.hoverRow};
    }
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down: {
        const int row = nextRow(state.rowCount, state.hoverRow, key == Qt::Key_Down ? 1 : -1);
        return row < 0 ? Decision{Action::consume} : Decision{Action::highlight, row};
    }
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (state.hoverRow >= 0 && state.hoverRow < state.rowCount)
            return {Action::open, state.hoverRow};
        return {Action::consume};
    case Qt::Key_Escape:
        return {state.searchFieldShown ? Action::endSearch : Action::closePopup};
    case Qt::Key_Tab:
        return {Action::focusNext};
    case Qt::Key_Backtab:
        return {Action::focusPrevious};
    default:
        break;
    }
    if (isTypedText(modifiers, text))
        return {Action::typeIntoSearch, -1, text};
    return {Action::none};
}
