#include "items/InlineItemBox.h"

#include "items/CharacterPalette.h"
#include "items/ItemAdder.h"
#include "items/ItemBoxWidgets.h"
#include "store/TextKeys.h"

#include <QBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

InlineItemBox::InlineItemBox(ItemAdder &adder, CharacterPalette &palette, const Names &names, TextKey headerKey,
                             TextKey hintKey, QWidget *parent)
    : QFrame(parent)
    , m_adder(adder)
    , m_palette(palette)
    , m_names(names)
{
    setObjectName(names.box);
    ItemBoxWidgets::styleBox(this);
    m_titleField = ItemBoxWidgets::lineEdit(names.titleField, Text::itemTitle, this);
    m_emojiButton = ItemBoxWidgets::emojiButton(names.emojiButton, this);
    m_groupLine = ItemBoxWidgets::groupLine(this);

    m_layout = new QVBoxLayout(this);
    m_layout->addWidget(ItemBoxWidgets::header(headerKey, this));
    m_layout->addWidget(m_groupLine);
    m_layout->addWidget(ItemBoxWidgets::caption(hintKey, this));
    m_layout->addSpacing(6);
    m_layout->addWidget(ItemBoxWidgets::caption(Text::itemTitle, this));
    m_layout->addLayout(ItemBoxWidgets::withEmojiButton(m_titleField, m_emojiButton));

    connect(m_emojiButton, &QToolButton::clicked, this, &InlineItemBox::insertCharacter);
}

void InlineItemBox::addField(TextKey captionKey, QWidget *field, int stretch, FieldInput input)
{
    m_field = field;
    m_fieldInput = input;
    m_messageLine = ItemBoxWidgets::messageLine(m_names.messageLine, this);
    m_layout->addWidget(ItemBoxWidgets::caption(captionKey, this));
    m_layout->addWidget(field, stretch, stretch ? Qt::Alignment() : Qt::AlignLeft);
    m_layout->addWidget(m_messageLine);
    if (!stretch)
        m_layout->addStretch();
    QPushButton *cancel = nullptr;
    QPushButton *addButton = nullptr;
    m_layout->addLayout(
        ItemBoxWidgets::buttonRow(&cancel, m_names.cancelButton, &addButton, m_names.addButton, this));

    connect(addButton, &QPushButton::clicked, this, &InlineItemBox::add);
    connect(cancel, &QPushButton::clicked, this, &InlineItemBox::closeRequested);
}

void InlineItemBox::reset(const QString &groupTitle)
{
    m_groupTitle = groupTitle;
    ItemBoxWidgets::showGroup(m_groupLine, groupTitle);
    clearFields();
}

void InlineItemBox::focusTitle()
{
    m_titleField->setFocus(Qt::OtherFocusReason);
}

void InlineItemBox::finishAdd(const ItemResult &result)
{
    if (!result.ok()) {
        m_messageLine->setText(result.message());
        return;
    }
    Q_EMIT itemAdded(*result.item);
    clearFields();
    Q_EMIT closeRequested();
}

void InlineItemBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        Q_EMIT closeRequested();
        return;
    }
    QFrame::keyPressEvent(event);
}

void InlineItemBox::clearFields()
{
    m_messageLine->clear();
    m_titleField->clear();
    clearField();
}

void InlineItemBox::insertCharacter()
{
    const bool intoField = m_fieldInput == FieldInput::typed && focusWidget() == m_field;
    m_palette.popUp(m_emojiButton, intoField ? m_field : m_titleField);
}
