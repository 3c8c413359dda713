#pragma once

#include "store/Item.h"
#include <QFrame>

class CharacterPalette;
class ColorWell;
class ItemAdder;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

// The popup's inline box that adds a named colour to a group. The colour
// well keeps the colour picked last between openings.
class ColorBox final : public QFrame
{
    Q_OBJECT

public:
    ColorBox(ItemAdder &adder, CharacterPalette &palette, QWidget *parent = nullptr);

    // Readies the box for an add to groupTitle: the message line and the
    // title are emptied; the colour stays.
    void reset(const QString &groupTitle);
    void focusTitle();

    QString groupTitle() const { return m_groupTitle; }

public Q_SLOTS:
    void btnAdd_boxaddColorWell();
    void btnCancel_boxaddColorWell();
    void btnemoji_addcolor();

Q_SIGNALS:
    void itemAdded(const Item &item);
    void closeRequested();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    ItemAdder &m_adder;
    CharacterPalette &m_palette;
    QString m_groupTitle;
    QLabel *m_groupLine = nullptr;
    QLineEdit *txtfieldColorTitle = nullptr;
    ColorWell *colorWell = nullptr;
    QLabel *lblalertAddColor = nullptr;
    QPushButton *btnadd_boxcolorWell = nullptr;
    QPushButton *btncancel_boxcolorWell = nullptr;
    QToolButton *btnemojicolor = nullptr;
};
