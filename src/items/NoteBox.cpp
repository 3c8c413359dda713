#include "items/NoteBox.h"

#include "items/CharacterPalette.h"
#include "items/ItemAdder.h"
#include "items/ItemBoxWidgets.h"
#include "store/TextKeys.h"

#include <QBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>
#include <QToolButton>

namespace {

// The note exactly as typed. QPlainTextEdit::toPlainText() turns
// non-breaking spaces into plain ones and U+2028 into a line break; the raw
// text keeps every character and only marks the breaks between paragraphs
// (the user's Return) with U+2029.
QString typedText(const QPlainTextEdit *edit)
{
    QString text = edit->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

} // namespace

NoteBox::NoteBox(ItemAdder &adder, CharacterPalette &palette, QWidget *parent)
    : QFrame(parent)
    , m_adder(adder)
    , m_palette(palette)
{
    setObjectName(QStringLiteral("boxAddTextNote"));
    ItemBoxWidgets::styleBox(this);
    txtFieldTitle_textfile = ItemBoxWidgets::lineEdit(QStringLiteral("txtFieldTitle_textfile"), Text::itemTitle, this);
    txtview_textfile = new QPlainTextEdit(this);
    txtview_textfile->setObjectName(QStringLiteral("txtview_textfile"));
    // Tab types a tab into the note; Ctrl+Tab leaves it (see eventFilter).
    txtview_textfile->setTabChangesFocus(false);
    txtview_textfile->installEventFilter(this);
    lblalerttextnote = ItemBoxWidgets::messageLine(QStringLiteral("lblalerttextnote"), this);
    btnemojiTextfile = ItemBoxWidgets::emojiButton(QStringLiteral("btnemojiTextfile"), this);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(ItemBoxWidgets::header(Text::addTextNote, this));
    m_groupLine = ItemBoxWidgets::groupLine(this);
    layout->addWidget(m_groupLine);
    layout->addWidget(ItemBoxWidgets::caption(Text::addNoteHint, this));
    layout->addSpacing(6);
    layout->addWidget(ItemBoxWidgets::caption(Text::itemTitle, this));
    layout->addLayout(ItemBoxWidgets::withEmojiButton(txtFieldTitle_textfile, btnemojiTextfile));
    layout->addWidget(ItemBoxWidgets::caption(Text::noteText, this));
    layout->addWidget(txtview_textfile, 1);
    layout->addWidget(lblalerttextnote);
    layout->addLayout(ItemBoxWidgets::buttonRow(&btncancel_boxtextnote, QStringLiteral("btncancel_boxtextnote"),
                                                &btnadd_boxTextNote, QStringLiteral("btnadd_boxTextNote"), this));

    connect(btnadd_boxTextNote, &QPushButton::clicked, this, &NoteBox::btnAdd_boxaddText);
    connect(btncancel_boxtextnote, &QPushButton::clicked, this, &NoteBox::btnCancel_boxaddText);
    connect(btnemojiTextfile, &QToolButton::clicked, this, &NoteBox::btnemoji_addtestfile);
    // Return in the title moves on to the note; the note takes line breaks.
    connect(txtFieldTitle_textfile, &QLineEdit::returnPressed, this,
            [this] { txtview_textfile->setFocus(Qt::TabFocusReason); });
}

void NoteBox::reset(const QString &groupTitle)
{
    m_groupTitle = groupTitle;
    ItemBoxWidgets::showGroup(m_groupLine, groupTitle);
    lblalerttextnote->clear();
    txtFieldTitle_textfile->clear();
    txtview_textfile->clear();
}

void NoteBox::focusTitle()
{
    txtFieldTitle_textfile->setFocus(Qt::OtherFocusReason);
}

void NoteBox::btnAdd_boxaddText()
{
    const ItemResult result = m_adder.addNote(m_groupTitle, txtFieldTitle_textfile->text(),
                                              typedText(txtview_textfile));
    if (!result.ok()) {
        lblalerttextnote->setText(result.message());
        return;
    }
    Q_EMIT itemAdded(*result.item);
    lblalerttextnote->clear();
    txtFieldTitle_textfile->clear();
    txtview_textfile->clear();
    Q_EMIT closeRequested();
}

void NoteBox::btnCancel_boxaddText()
{
    Q_EMIT closeRequested();
}

void NoteBox::btnemoji_addtestfile()
{
    QWidget *field = focusWidget() == txtview_textfile ? static_cast<QWidget *>(txtview_textfile)
                                                       : txtFieldTitle_textfile;
    m_palette.popUp(btnemojiTextfile, field);
}

void NoteBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        btnCancel_boxaddText();
        return;
    }
    QFrame::keyPressEvent(event);
}

bool NoteBox::eventFilter(QObject *watched, QEvent *event)
{
    // Ctrl+Return adds from inside the note, where Return is a line break.
    if (watched == txtview_textfile && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && key->modifiers().testFlag(Qt::ControlModifier)) {
            btnAdd_boxaddText();
            return true;
        }
        // Ctrl+Tab and Ctrl+Shift+Tab leave the note, as does Shift+Tab
        // (which types nothing).
        const bool backtab = key->key() == Qt::Key_Backtab
                             || (key->key() == Qt::Key_Tab && key->modifiers().testFlag(Qt::ShiftModifier));
        if ((key->key() == Qt::Key_Tab && key->modifiers().testFlag(Qt::ControlModifier)) || backtab) {
            focusNextPrevChild(!backtab);
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}
