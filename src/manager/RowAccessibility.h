#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

#include <functional>

class QListView;

// Something a row's painted button does, offered to screen readers as a
// named action of the row: its name (shown to the user), the key that does
// the same on the selected row, and what it does to a row.
struct RowAction
{
    QString name;
    QKeySequence keys;
    std::function<void(int row)> trigger;
};

namespace RowAccessibility {

// Gives view an accessible list whose rows are list items named by the
// model's accessible texts, selectable, and carrying the actions that
// actions() returns (asked each time, so their names follow the language).
// To be called in the view's constructor, before anything asks for its
// accessible interface.
void install(QListView *view, std::function<QList<RowAction>()> actions);

} // namespace RowAccessibility
