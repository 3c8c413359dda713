#pragma once

#include "store/TextKey.h"

class QLabel;
class QString;
class QToolButton;
class QWidget;

// The widgets both panes of the manager page make alike: their heading and
// the buttons of their bottom bar.
namespace PaneWidgets {

// A pane's bold heading, the keyed text under key.
QLabel *heading(TextKey key, const QString &objectName, QWidget *parent);

// A flat button of a pane's bottom bar; its accessible name is also its tip.
QToolButton *barButton(const QString &objectName, const QString &text, const QString &accessibleName, QWidget *parent);

// The bar's sort button, which opens a sort menu.
QToolButton *sortButton(const QString &objectName, TextKey accessibleKey, QWidget *parent);

} // namespace PaneWidgets
