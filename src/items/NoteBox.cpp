#include "items/NoteBox.h"

#include "items/ItemAdder.h"
#include "store/TextKeys.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>

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
    : InlineItemBox(adder, palette,
                    {QStringLiteral("boxAddTextNote"), QStringLiteral("txtFieldTitle_textfile"),
                     QStringLiteral("lblalerttextnote"), QStringLiteral("btnemojiTextfile"),
                     QStringLiteral("btncancel_boxtextnote"), QStringLiteral("btnadd_boxTextNote")},
                    Text::addTextNote, Text::addNoteHint, parent)
{
    txtview_textfile = new QPlainTextEdit(this);
    txtview_textfile->setObjectName(QStringLiteral("txtview_textfile"));
    // Tab types a tab into the note; Ctrl+Tab leaves it (see eventFilter).
    txtview_textfile->setTabChangesFocus(false);
    txtview_textfile->installEventFilter(this);
    addField(Text::noteText, txtview_textfile, 1, FieldInput::typed);

    // Return in the title moves on to the note; the note takes line breaks.
    connect(titleField(), &QLineEdit::returnPressed, this, [this] { txtview_textfile->setFocus(Qt::TabFocusReason); });
}

void NoteBox::add()
{
    finishAdd(adder().addNote(groupTitle(), titleField()->text(), typedText(txtview_textfile)));
}

void NoteBox::clearField()
{
    txtview_textfile->clear();
}

bool NoteBox::eventFilter(QObject *watched, QEvent *event)
{
    // Ctrl+Return adds from inside the note, where Return is a line break.
    if (watched == txtview_textfile && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            && key->modifiers().testFlag(Qt::ControlModifier)) {
            add();
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
    return InlineItemBox::eventFilter(watched, event);
}
