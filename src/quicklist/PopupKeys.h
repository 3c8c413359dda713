#pragma once

#include <QKeySequence>
#include <QString>
#include <Qt>

#include <utility>

// What the keyboard does in the popup, decided without any widget: which
// row a key moves the highlight to, what Return and Escape do, when typing
// starts a search and when a search ends. The popup forwards its key
// presses here and carries out the answer.
class PopupKeys final
{
public:
    // What the popup shows when the key comes.
    struct State
    {
        int rowCount = 0;
        int hoverRow = -1;
        // The highlighted row is a group's heading.
        bool hoverIsHeading = false;
        // The highlighted heading's group is expanded.
        bool hoverIsExpanded = false;
        // The highlighted item is a folder whose contents menu is offered.
        bool hoverOpensFolderMenu = false;
        // The key came to the search field (Left and Right move its caret).
        bool inSearchField = false;
        bool inlineBoxOpen = false;
        bool showsTasks = false;
        // The search field is shown (it may still be empty).
        bool searchFieldShown = false;
    };

    enum class Action {
        none,      // not the popup's key: let it go on
        consume,   // the popup keeps the key and does nothing
        highlight, // highlight row (and scroll to it)
        open,      // open row, as a click does
        closeInlineBox,
        endSearch, // back to the groups, the search field hidden
        closePopup,
        typeIntoSearch, // show the search field and type text into it (the
                        // field itself just takes the key)
        contextMenu,    // the context menu of row, as a right click opens it
        addItemMenu,    // the add menu of the heading at row, as its + opens it
        collapse,       // collapse the group of the heading at row
        expand,         // expand the group of the heading at row
        folderContents, // the contents menu of the folder at row, as its chevron opens it
        colorTagPicker, // the colour-tag picker of the heading at row, as its tag opens it
        focusNext,      // Tab: on round the search field and the toolbar's buttons
        focusPrevious,  // Backtab: back round them
    };
    struct Decision
    {
        Decision(Action chosen = Action::none, int atRow = -1, QString typed = {})
            : action(chosen)
            , row(atRow)
            , text(std::move(typed))
        {
        }

        Action action;
        int row;
        QString text;

        bool operator==(const Decision &other) const = default;
    };

    // The keys that stand for the rows' painted controls, also named to
    // screen readers: Left and Right fold a heading (Right opens a folder
    // item's contents), Ctrl+T picks a heading's colour tag, as in the
    // manager window.
    static QKeySequence collapseKeys() { return QKeySequence(Qt::Key_Left); }
    static QKeySequence expandKeys() { return QKeySequence(Qt::Key_Right); }
    static QKeySequence colorTagKeys() { return QKeySequence(Qt::CTRL | Qt::Key_T); }
    static QKeySequence menuKeys() { return QKeySequence(Qt::Key_Menu); }

    static Decision keyPressed(const State &state, int key, Qt::KeyboardModifiers modifiers, const QString &text);

    // The row a step of the arrow keys moves to: from nothing, the first
    // (down) or last (up) row; else step rows on, stopping at either end.
    // -1 when there are no rows.
    static int nextRow(int rowCount, int current, int step);

    // Whether a change of the search text runs the search (true) or ends
    // it and shows the groups again (false, for an empty text).
    static bool searchRuns(const QString &text) { return !text.isEmpty(); }
    // The highlighted row after a search: the first result, if any.
    static int rowAfterSearch(int resultCount) { return resultCount > 0 ? 0 : -1; }
};
