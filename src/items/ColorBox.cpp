#include "items/ColorBox.h"

#include "items/ColorWell.h"
#include "items/ItemAdder.h"
#include "store/TextKeys.h"

#include <QLineEdit>

ColorBox::ColorBox(ItemAdder &adder, CharacterPalette &palette, QWidget *parent)
    : InlineItemBox(adder, palette,
                    {QStringLiteral("boxAddColorWell"), QStringLiteral("txtfieldColorTitle"),
                     QStringLiteral("lblalertAddColor"), QStringLiteral("btnemojicolor"),
                     QStringLiteral("btncancel_boxcolorWell"), QStringLiteral("btnadd_boxcolorWell")},
                    Text::addColour, Text::addColourHint, parent)
{
    colorWell = new ColorWell(this);
    colorWell->setObjectName(QStringLiteral("colorWell"));
    colorWell->setFocusPolicy(Qt::TabFocus);
    addField(Text::colour, colorWell, 0, FieldInput::picked);

    connect(titleField(), &QLineEdit::returnPressed, this, &ColorBox::add);
}

void ColorBox::add()
{
    finishAdd(adder().addColor(groupTitle(), titleField()->text(), colorWell->color()));
}
