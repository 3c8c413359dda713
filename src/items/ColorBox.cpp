#include "items/ColorBox.h"

#include "items/CharacterPalette.h"
#include "items/ColorWell.h"
#include "items/ItemAdder.h"
#include "items/ItemBoxWidgets.h"
#include "store/TextKeys.h"

#include <QBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

ColorBox::ColorBox(ItemAdder &adder, CharacterPalette &palette, QWidget *parent)
    : QFrame(parent)
    , m_adder(adder)
    , m_palette(palette)
{
    setObjectName(QStringLiteral("boxAddColorWell"));
    ItemBoxWidgets::styleBox(this);
    txtfieldColorTitle = ItemBoxWidgets::lineEdit(QStringLiteral("txtfieldColorTitle"), Text::itemTitle, this);
    colorWell = new ColorWell(this);
    colorWell->setObjectName(QStringLiteral("colorWell"));
    colorWell->setFocusPolicy(Qt::TabFocus);
    lblalertAddColor = ItemBoxWidgets::messageLine(QStringLiteral("lblalertAddColor"), this);
    btnemojicolor = ItemBoxWidgets::emojiButton(QStringLiteral("btnemojicolor"), this);

    auto *wellRow = new QHBoxLayout;
    wellRow->addWidget(colorWell);
    wellRow->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(ItemBoxWidgets::header(Text::addColour, this));
    m_groupLine = ItemBoxWidgets::groupLine(this);
    layout->addWidget(m_groupLine);
    layout->addWidget(ItemBoxWidgets::caption(Text::addColourHint, this));
    layout->addSpacing(6);
    layout->addWidget(ItemBoxWidgets::caption(Text::itemTitle, this));
    layout->addLayout(ItemBoxWidgets::withEmojiButton(txtfieldColorTitle, btnemojicolor));
    layout->addWidget(ItemBoxWidgets::caption(Text::colour, this));
    layout->addLayout(wellRow);
    layout->addWidget(lblalertAddColor);
    layout->addStretch();
    layout->addLayout(ItemBoxWidgets::buttonRow(&btncancel_boxcolorWell, QStringLiteral("btncancel_boxcolorWell"),
                                                &btnadd_boxcolorWell, QStringLiteral("btnadd_boxcolorWell"), this));

    connect(btnadd_boxcolorWell, &QPushButton::clicked, this, &ColorBox::btnAdd_boxaddColorWell);
    connect(btncancel_boxcolorWell, &QPushButton::clicked, this, &ColorBox::btnCancel_boxaddColorWell);
    connect(btnemojicolor, &QToolButton::clicked, this, &ColorBox::btnemoji_addcolor);
    connect(txtfieldColorTitle, &QLineEdit::returnPressed, this, &ColorBox::btnAdd_boxaddColorWell);
}

void ColorBox::reset(const QString &groupTitle)
{
    m_groupTitle = groupTitle;
    ItemBoxWidgets::showGroup(m_groupLine, groupTitle);
    lblalertAddColor->clear();
    txtfieldColorTitle->clear();
}

void ColorBox::focusTitle()
{
    txtfieldColorTitle->setFocus(Qt::OtherFocusReason);
}

void ColorBox::btnAdd_boxaddColorWell()
{
    const ItemResult result = m_adder.addColor(m_groupTitle, txtfieldColorTitle->text(), colorWell->color());
    if (!result.ok()) {
        lblalertAddColor->setText(result.message());
        return;
    }
    Q_EMIT itemAdded(*result.item);
    txtfieldColorTitle->clear();
    Q_EMIT closeRequested();
}

void ColorBox::btnCancel_boxaddColorWell()
{
    Q_EMIT closeRequested();
}

void ColorBox::btnemoji_addcolor()
{
    m_palette.popUp(btnemojicolor, txtfieldColorTitle);
}

void ColorBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        btnCancel_boxaddColorWell();
        return;
    }
    QFrame::keyPressEvent(event);
}
