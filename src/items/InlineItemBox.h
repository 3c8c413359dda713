#pragma once

#include "store/Item.h"
#include "store/TextKey.h"

#include <QFrame>

class CharacterPalette;
class ItemAdder;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QVBoxLayout;
struct ItemResult;

// What the popup's inline boxes that add an item to a group share: a
// heading, the line naming the group, a hint, the title field with the
// emoji button, the box's own field, a message line and the cancel and add
// buttons. Escape cancels; an add that fails says why on the message line.
class InlineItemBox : public QFrame
{
    Q_OBJECT

public:
    // Readies the box for an add to groupTitle: the message line and the
    // fields are emptied (a colour stays as picked last).
    void reset(const QString &groupTitle);
    // Gives the title field the keyboard focus; once the box is shown.
    void focusTitle();

    QString groupTitle() const { return m_groupTitle; }

Q_SIGNALS:
    void itemAdded(const Item &item);
    void closeRequested();

protected:
    // The object names of the box and its parts.
    struct Names
    {
        QString box;
        QString titleField;
        QString messageLine;
        QString emojiButton;
        QString cancelButton;
        QString addButton;
    };
    // Whether characters are typed into the box's own field, so that the
    // emoji button inserts there while it has the focus.
    enum class FieldInput { typed, picked };

    // Makes the box down to the title field; the box's constructor then
    // makes its own field and calls addField.
    InlineItemBox(ItemAdder &adder, CharacterPalette &palette, const Names &names, TextKey headerKey, TextKey hintKey,
                  QWidget *parent);

    // Adds field under its caption, then the message line and the buttons.
    // A field that stretches takes the spare height; otherwise the space
    // above the buttons does.
    void addField(TextKey captionKey, QWidget *field, int stretch, FieldInput input);

    // Adds what is in the fields to the group.
    virtual void add() = 0;
    // Empties the box's own field.
    virtual void clearField() { }
    // Ends an add: says why it failed, or tells the item and closes.
    void finishAdd(const ItemResult &result);

    ItemAdder &adder() const { return m_adder; }
    QLineEdit *titleField() const { return m_titleField; }
    void keyPressEvent(QKeyEvent *event) override;

private:
    void clearFields();
    void insertCharacter();

    ItemAdder &m_adder;
    CharacterPalette &m_palette;
    const Names m_names;
    QString m_groupTitle;
    QVBoxLayout *m_layout = nullptr;
    QLabel *m_groupLine = nullptr;
    QLineEdit *m_titleField = nullptr;
    QToolButton *m_emojiButton = nullptr;
    QLabel *m_messageLine = nullptr;
    QWidget *m_field = nullptr;
    FieldInput m_fieldInput = FieldInput::picked;
};
