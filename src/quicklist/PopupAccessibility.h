#pragma once

#include "widgets/AccessibleListRows.h"

class QuickListView;
class QWidget;

// The popup as screen readers see it: a window with its name, and a list
// whose rows are list items, the highlighted row its current (focused)
// item, headings expandable, every row carrying its actions (a click, one
// of its painted controls, an entry of its menu).
namespace PopupAccessibility {

// Gives view its accessible list; actionsOf(row) is asked each time, so
// the actions follow the rows and the language. To be called before
// anything asks for the view's accessible interface.
void installList(QuickListView *view, AccessibleRowActions actionsOf);

// Gives window the role of a window, named by its accessible name. To be
// called first in its constructor.
void installWindow(QWidget *window);

// Tells screen readers that row of view is now its current item.
void announceCurrentRow(QuickListView *view, int row);

} // namespace PopupAccessibility
