#pragma once

#include "store/TextKey.h"

#include <QString>

class QBoxLayout;
class QDialog;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QWidget;

// The widgets the popup's inline item boxes and the manager's item panels
// are made of (headings, captions, fields, message lines, button rows), so
// that they look and behave alike.
namespace ItemBoxWidgets {

// Gives box the rounded panel look of an inline box.
void styleBox(QFrame *box);
// A bold heading showing the keyed text headerKey.
QLabel *header(TextKey headerKey, QWidget *parent);
// The line under the heading that names the group the box adds to.
QLabel *groupLine(QWidget *parent);
void showGroup(QLabel *line, const QString &groupTitle);
// A caption for a field, showing the keyed text key.
QLabel *caption(TextKey key, QWidget *parent);
// A field; screen readers call it by the keyed text under accessibleKey,
// the caption shown above it.
QLineEdit *lineEdit(const QString &objectName, TextKey accessibleKey, QWidget *parent);
// The message line under the fields: wrapped, in the negative colour.
QLabel *messageLine(const QString &objectName, QWidget *parent);
// The button that opens the character palette; it takes no focus, so the
// field being typed in keeps it.
QToolButton *emojiButton(const QString &objectName, QWidget *parent);
// The cancel and add buttons, right-aligned, add last and default.
QBoxLayout *buttonRow(QPushButton **cancel, const QString &cancelName, QPushButton **add, const QString &addName,
                      QWidget *parent);
// field with the emoji button on its right.
QBoxLayout *withEmojiButton(QWidget *field, QToolButton *button);
// Makes dialog a panel over its window: window-modal, of a readable width.
void setUpPanel(QDialog *dialog, const QString &objectName);

// The top of a manager panel: its heading, the hint under it, and the
// item's title field under its caption, with the emoji button on its right.
struct PanelTop
{
    QLabel *heading = nullptr;
    QLabel *hint = nullptr;
    QLineEdit *titleField = nullptr;
    QToolButton *emojiButton = nullptr;
};
// Makes the top of panel and adds it to layout; the caption above the title
// field is named captionName.
PanelTop addPanelTop(QBoxLayout *layout, TextKey headingKey, TextKey hintKey, const QString &captionName,
                     QWidget *panel);

} // namespace ItemBoxWidgets
