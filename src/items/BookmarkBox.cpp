#include "items/BookmarkBox.h"

#include "items/ItemAdder.h"
#include "items/ItemBoxWidgets.h"
#include "store/TextKeys.h"

#include <QLineEdit>

BookmarkBox::BookmarkBox(ItemAdder &adder, CharacterPalette &palette, QWidget *parent)
    : InlineItemBox(adder, palette,
                    {QStringLiteral("boxAdbookmark"), QStringLiteral("txtFieldTitle_webbookmark"),
                     QStringLiteral("lblalertBookmark"), QStringLiteral("btnemojibookmark"),
                     QStringLiteral("btncancel_addWebBookmark"), QStringLiteral("btnadd_boxaddWebBookmark")},
                    Text::addWebBookmark, Text::addBookmarkHint, parent)
{
    txtfieldURL = ItemBoxWidgets::lineEdit(QStringLiteral("txtfieldURL"), Text::webAddress, this);
    txtfieldURL->setInputMethodHints(Qt::ImhUrlCharactersOnly | Qt::ImhNoAutoUppercase);
    addField(Text::webAddress, txtfieldURL, 0, FieldInput::typed);

    // Return in the title moves on to the address; Return there adds.
    connect(titleField(), &QLineEdit::returnPressed, this, [this] { txtfieldURL->setFocus(Qt::TabFocusReason); });
    connect(txtfieldURL, &QLineEdit::returnPressed, this, &BookmarkBox::add);
}

void BookmarkBox::add()
{
    finishAdd(adder().addBookmark(groupTitle(), titleField()->text(), txtfieldURL->text()));
}

void BookmarkBox::clearField()
{
    txtfieldURL->clear();
}
