#include "items/BookmarkBox.h"

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

BookmarkBox::BookmarkBox(ItemAdder &adder, CharacterPalette &palette, QWidget *parent)
    : QFrame(parent)
    , m_adder(adder)
    , m_palette(palette)
{
    setObjectName(QStringLiteral("boxAdbookmark"));
    ItemBoxWidgets::styleBox(this);
    txtFieldTitle_webbookmark = ItemBoxWidgets::lineEdit(QStringLiteral("txtFieldTitle_webbookmark"), Text::itemTitle,
                                                         this);
    txtfieldURL = ItemBoxWidgets::lineEdit(QStringLiteral("txtfieldURL"), Text::webAddress, this);
    txtfieldURL->setInputMethodHints(Qt::ImhUrlCharactersOnly | Qt::ImhNoAutoUppercase);
    lblalertBookmark = ItemBoxWidgets::messageLine(QStringLiteral("lblalertBookmark"), this);
    btnemojibookmark = ItemBoxWidgets::emojiButton(QStringLiteral("btnemojibookmark"), this);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(ItemBoxWidgets::header(Text::addWebBookmark, this));
    m_groupLine = ItemBoxWidgets::groupLine(this);
    layout->addWidget(m_groupLine);
    layout->addWidget(ItemBoxWidgets::caption(Text::addBookmarkHint, this));
    layout->addSpacing(6);
    layout->addWidget(ItemBoxWidgets::caption(Text::itemTitle, this));
    layout->addLayout(ItemBoxWidgets::withEmojiButton(txtFieldTitle_webbookmark, btnemojibookmark));
    layout->addWidget(ItemBoxWidgets::caption(Text::webAddress, this));
    layout->addWidget(txtfieldURL);
    layout->addWidget(lblalertBookmark);
    layout->addStretch();
    layout->addLayout(ItemBoxWidgets::buttonRow(&btncancel_addWebBookmark, QStringLiteral("btncancel_addWebBookmark"),
                                                &btnadd_boxaddWebBookmark, QStringLiteral("btnadd_boxaddWebBookmark"),
                                                this));

    connect(btnadd_boxaddWebBookmark, &QPushButton::clicked, this, &BookmarkBox::btnadd_boxaddbookmark);
    connect(btncancel_addWebBookmark, &QPushButton::clicked, this, &BookmarkBox::btncancel_boxaddbookmark);
    connect(btnemojibookmark, &QToolButton::clicked, this, &BookmarkBox::btnemoji_createbookmark);
    // Return in the title moves on to the address; Return there adds.
    connect(txtFieldTitle_webbookmark, &QLineEdit::returnPressed, this,
            [this] { txtfieldURL->setFocus(Qt::TabFocusReason); });
    connect(txtfieldURL, &QLineEdit::returnPressed, this, &BookmarkBox::btnadd_boxaddbookmark);
}

void BookmarkBox::reset(const QString &groupTitle)
{
    m_groupTitle = groupTitle;
    ItemBoxWidgets::showGroup(m_groupLine, groupTitle);
    lblalertBookmark->clear();
    txtFieldTitle_webbookmark->clear();
    txtfieldURL->clear();
}

void BookmarkBox::focusTitle()
{
    txtFieldTitle_webbookmark->setFocus(Qt::OtherFocusReason);
}

void BookmarkBox::btnadd_boxaddbookmark()
{
    const ItemResult result = m_adder.addBookmark(m_groupTitle, txtFieldTitle_webbookmark->text(), txtfieldURL->text());
    if (!result.ok()) {
        lblalertBookmark->setText(result.message());
        return;
    }
    Q_EMIT itemAdded(*result.item);
    txtfieldURL->clear();
    txtFieldTitle_webbookmark->clear();
    Q_EMIT closeRequested();
}

void BookmarkBox::btncancel_boxaddbookmark()
{
    Q_EMIT closeRequested();
}

void BookmarkBox::btnemoji_createbookmark()
{
    QWidget *field = focusWidget() == txtfieldURL ? txtfieldURL : txtFieldTitle_webbookmark;
    m_palette.popUp(btnemojibookmark, field);
}

void BookmarkBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        btncancel_boxaddbookmark();
        return;
    }
    QFrame::keyPressEvent(event);
}
