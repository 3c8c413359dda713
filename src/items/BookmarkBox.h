#pragma once

#include "store/Item.h"
#include <QFrame>

class CharacterPalette;
class ItemAdder;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

// The popup's inline box that adds a web bookmark to a group.
class BookmarkBox final : public QFrame
{
    Q_OBJECT

public:
    BookmarkBox(ItemAdder &adder, CharacterPalette &palette, QWidget *parent = nullptr);

    // Readies the box for an add to groupTitle: the message line and both
    // fields are emptied.
    void reset(const QString &groupTitle);
    // Gives the title field the keyboard focus; once the box is shown.
    void focusTitle();

    QString groupTitle() const { return m_groupTitle; }

public Q_SLOTS:
    void btnadd_boxaddbookmark();
    void btncancel_boxaddbookmark();
    void btnemoji_createbookmark();

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
    QLineEdit *txtFieldTitle_webbookmark = nullptr;
    QLineEdit *txtfieldURL = nullptr;
    QLabel *lblalertBookmark = nullptr;
    QPushButton *btnadd_boxaddWebBookmark = nullptr;
    QPushButton *btncancel_addWebBookmark = nullptr;
    QToolButton *btnemojibookmark = nullptr;
};
