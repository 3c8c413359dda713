#pragma once

class QWidget;

// Screen readers find an application's windows as children of its
// accessible root, but Qt leaves Qt::Popup windows out of that list: the
// popup, its search field and its rows would be unreachable. Windows passed
// here are listed there too.
namespace AccessiblePopups {

// Lists popup under the application's accessible root from now on.
void expose(QWidget *popup);

} // namespace AccessiblePopups
