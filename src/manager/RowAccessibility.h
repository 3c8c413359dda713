#pragma once

#include "widgets/AccessibleListRows.h"

class QListView;

namespace RowAccessibility {

// Gives view an accessible list, a table of one column, whose rows are list
// items named by the model's accessible texts, selectable, and carrying the
// actions that actionsOf(row) returns (asked each time, so their names
// follow the language): a row's painted buttons. To be called in the view's
// constructor, before anything asks for its accessible interface.
void install(QListView *view, AccessibleRowActions actionsOf);

} // namespace RowAccessibility
