#include "items/ItemBoxWidgets.h"

#include "items/CharacterPalette.h"
#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <QBoxLayout>
#include <QDialog>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace {
constexpr auto emojiGlyph = "\U0001F642"; // slightly smiling face
} // namespace

namespace ItemBoxWidgets {

void styleBox(QFrame *box)
{
    box->setAutoFillBackground(true);
    box->setFrameShape(QFrame::StyledPanel);
    box->setFocusPolicy(Qt::NoFocus);
}

QLabel *header(TextKey headerKey, QWidget *parent)
{
    auto *label = new QLabel(LocalizedText(headerKey), parent);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.15);
    label->setFont(font);
    label->setWordWrap(true);
    return label;
}

QLabel *groupLine(QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(QStringLiteral("lbltargetGroup"));
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    return label;
}

void showGroup(QLabel *line, const QString &groupTitle)
{
    line->setText(LocalizedText(Text::inGroup).arg(groupTitle));
}

QLabel *caption(TextKey key, QWidget *parent)
{
    auto *label = new QLabel(LocalizedText(key), parent);
    label->setWordWrap(true);
    return label;
}

QLineEdit *lineEdit(const QString &objectName, TextKey accessibleKey, QWidget *parent)
{
    auto *field = new QLineEdit(parent);
    field->setObjectName(objectName);
    field->setAccessibleName(LocalizedText(accessibleKey));
    return field;
}

QLabel *messageLine(const QString &objectName, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(objectName);
    label->setWordWrap(true);
    label->setTextFormat(Qt::PlainText);
    QPalette colors = label->palette();
    colors.setColor(QPalette::WindowText, QColor(0xD7, 0x3A, 0x2F));
    label->setPalette(colors);
    return label;
}

QToolButton *emojiButton(const QString &objectName, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(objectName);
    button->setText(QString::fromUtf8(emojiGlyph));
    button->setFont(CharacterPalette::emojiFont(button->font(), 1.2));
    button->setToolTip(LocalizedText(Text::insertEmoji));
    button->setAccessibleName(LocalizedText(Text::insertEmoji));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QBoxLayout *buttonRow(QPushButton **cancel, const QString &cancelName, QPushButton **add, const QString &addName,
                      QWidget *parent)
{
    *cancel = new QPushButton(LocalizedText(Text::cancelPanel), parent);
    (*cancel)->setObjectName(cancelName);
    (*cancel)->setAutoDefault(false);
    *add = new QPushButton(LocalizedText(Text::add), parent);
    (*add)->setObjectName(addName);
    (*add)->setDefault(true);
    auto *row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(*cancel);
    row->addWidget(*add);
    return row;
}

QBoxLayout *withEmojiButton(QWidget *field, QToolButton *button)
{
    auto *row = new QHBoxLayout;
    row->setSpacing(2);
    row->addWidget(field, 1);
    row->addWidget(button);
    return row;
}

void setUpPanel(QDialog *dialog, const QString &objectName)
{
    dialog->setObjectName(objectName);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setModal(true);
    dialog->setMinimumWidth(420);
}

PanelTop addPanelTop(QBoxLayout *layout, TextKey headingKey, TextKey hintKey, const QString &captionName,
                     QWidget *panel)
{
    PanelTop top;
    top.heading = header(headingKey, panel);
    top.heading->setObjectName(QStringLiteral("lbltitle"));
    top.hint = caption(hintKey, panel);
    top.hint->setObjectName(QStringLiteral("lblsubtitle"));
    QLabel *titleCaption = caption(Text::itemTitle, panel);
    titleCaption->setObjectName(captionName);
    top.titleField = lineEdit(QStringLiteral("txtfieldTitle"), Text::itemTitle, panel);
    top.emojiButton = emojiButton(QStringLiteral("btnemoji"), panel);
    layout->addWidget(top.heading);
    layout->addWidget(top.hint);
    layout->addSpacing(6);
    layout->addWidget(titleCaption);
    layout->addLayout(withEmojiButton(top.titleField, top.emojiButton));
    return top;
}

} // namespace ItemBoxWidgets
