#pragma once

#include "store/Item.h"
#include <QFrame>

class CharacterPalette;
class ItemAdder;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QToolButton;

// The popup's inline box that adds a text note to a group.
class NoteBox final : public QFrame
{
    Q_OBJECT

public:
    NoteBox(ItemAdder &adder, CharacterPalette &palette, QWidget *parent = nullptr);

    // Readies the box for an add to groupTitle: the message line, the title
    // and the note text are emptied.
    void reset(const QString &groupTitle);
    void focusTitle();

    QString groupTitle() const { return m_groupTitle; }

public Q_SLOTS:
    void btnAdd_boxaddText();
    void btnCancel_boxaddText();
    void btnemoji_addtestfile();

Q_SIGNALS:
    void itemAdded(const Item &item);
    void closeRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ItemAdder &m_adder;
    CharacterPalette &m_palette;
    QString m_groupTitle;
    QLabel *m_groupLine = nullptr;
    QLineEdit *txtFieldTitle_textfile = nullptr;
    QPlainTextEdit *txtview_textfile = nullptr;
    QLabel *lblalerttextnote = nullptr;
    QPushButton *btnadd_boxTextNote = nullptr;
    QPushButton *btncancel_boxtextnote = nullptr;
    QToolButton *btnemojiTextfile = nullptr;
};
