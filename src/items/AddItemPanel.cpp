#include "items/AddItemPanel.h"

#include "items/CharacterPalette.h"
#include "items/ColorWell.h"
#include "items/ItemBoxWidgets.h"
#include "store/ColorText.h"
#include "store/LocalizedText.h"
#include "store/SupportFiles.h"
#include "store/TextKeys.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>

namespace {

constexpr auto noteUnreadable = Text::noteUnreadable;
constexpr auto noteFileMissing = Text::noteFileMissingTypeAgain;

struct ModeTexts
{
    TextKey addTitle;
    TextKey editTitle;
    TextKey addSubtitle;
    TextKey editSubtitle;
    TextKey secondTitle;
};

ModeTexts textsFor(PanelKind kind)
{
    switch (kind) {
    case PanelKind::webBookmark:
        return {Text::addWebBookmark, Text::editWebBookmark, Text::addBookmarkHint, Text::editBookmarkHint,
                Text::webAddress};
    case PanelKind::textFile:
        return {Text::addTextNote, Text::editTextNote, Text::addNoteHint, Text::editNoteHint, Text::noteText};
    case PanelKind::colorWell:
        break;
    }
    return {Text::addColour, Text::editColour, Text::addColourHint, Text::editColourHint, Text::colour};
}

} // namespace

AddItemPanel::AddItemPanel(const ItemServices &services, CharacterPalette &palette, QWidget *parent)
    : QDialog(parent)
    , m_services(services)
    , m_editor(services)
    , m_palette(palette)
{
    ItemBoxWidgets::setUpPanel(this, QStringLiteral("addPanelvc"));
    auto *layout = new QVBoxLayout(this);
    const ItemBoxWidgets::PanelTop top = ItemBoxWidgets::addPanelTop(
        layout, Text::addWebBookmark, Text::addBookmarkHint, QStringLiteral("lblitemtitlestring"), this);
    lbltitle = top.heading;
    lblsubtitle = top.hint;
    txtfieldTitle = top.titleField;
    btnemoji = top.emojiButton;
    lblsecondTitle = ItemBoxWidgets::caption(Text::webAddress, this);
    lblsecondTitle->setObjectName(QStringLiteral("lblsecondTitle"));
    txtfieldurl = ItemBoxWidgets::lineEdit(QStringLiteral("txtfieldurl"), Text::webAddress, this);
    textview = new QPlainTextEdit(this);
    textview->setObjectName(QStringLiteral("textview"));
    textview->setAccessibleName(LocalizedText(Text::noteText));
    textview->setTabChangesFocus(true);
    colorwell = new ColorWell(this);
    colorwell->setObjectName(QStringLiteral("colorwell"));
    lblalert = ItemBoxWidgets::messageLine(QStringLiteral("lblalert"), this);

    layout->addWidget(lblsecondTitle);
    layout->addWidget(txtfieldurl);
    layout->addWidget(textview, 1);
    layout->addWidget(colorwell, 0, Qt::AlignLeft);
    layout->addWidget(lblalert);
    layout->addLayout(
        ItemBoxWidgets::buttonRow(&btncancel, QStringLiteral("btncancel"), &btnadd_, QStringLiteral("btnadd"), this));

    connect(btnadd_, &QPushButton::clicked, this, &AddItemPanel::btnadd);
    connect(btncancel, &QPushButton::clicked, this, &AddItemPanel::btnCancel);
    connect(btnemoji, &QToolButton::clicked, this, &AddItemPanel::btnemojiClicked);
    // Return writes a new line in the note; Ctrl+Return confirms there too.
    auto *confirm = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Return), this);
    connect(confirm, &QShortcut::activated, this, &AddItemPanel::btnadd);
}

void AddItemPanel::prepare(PanelKind viewopenfor, const QString &currentGroupName, const std::optional<Item> &edited)
{
    m_viewopenfor = viewopenfor;
    m_currentGroupName = currentGroupName;
    m_noteUnreadable = false;
    m_editedUid.reset();
    lblalert->clear();
    const bool editing = edited && edited->uid();
    if (editing) {
        m_editedUid = edited->uid();
        btnadd_->setText(LocalizedText(Text::save));
        txtfieldTitle->setText(edited->title());
        txtfieldurl->setText(viewopenfor == PanelKind::webBookmark ? edited->target() : QString());
        textview->clear();
        if (viewopenfor == PanelKind::textFile) {
            const Item local = m_services.supportFiles.withLocalPaths(*edited);
            if (const auto text = ItemEditor::readNote(local)) {
                textview->setPlainText(*text);
            } else if (ItemEditor::noteFileIsMissing(local)) {
                // Nothing is left to lose: the text typed now goes to a new file.
                lblalert->setText(LocalizedText(noteFileMissing));
            } else {
                m_noteUnreadable = true;
                lblalert->setText(LocalizedText(noteUnreadable).arg(edited->target()));
            }
        }
        if (viewopenfor == PanelKind::colorWell)
            colorwell->setColor(ColorText::toColor(edited->target()));
    } else {
        btnadd_->setText(LocalizedText(Text::add));
        txtfieldTitle->clear();
        txtfieldurl->clear();
        textview->clear();
    }
    const ModeTexts texts = textsFor(viewopenfor);
    lbltitle->setText(LocalizedText(editing ? texts.editTitle : texts.addTitle));
    lblsubtitle->setText(LocalizedText(editing ? texts.editSubtitle : texts.addSubtitle));
    lblsecondTitle->setText(LocalizedText(texts.secondTitle));
    setWindowTitle(lbltitle->text());
    txtfieldurl->setVisible(viewopenfor == PanelKind::webBookmark);
    textview->setVisible(viewopenfor == PanelKind::textFile);
    colorwell->setVisible(viewopenfor == PanelKind::colorWell);
    textview->setReadOnly(m_noteUnreadable);
    btnadd_->setEnabled(!m_noteUnreadable);
    adjustSize();
}

void AddItemPanel::showPanel(PanelKind viewopenfor, const QString &currentGroupName, const std::optional<Item> &edited)
{
    prepare(viewopenfor, currentGroupName, edited);
    open();
    txtfieldTitle->setFocus(Qt::OtherFocusReason);
    // Editing: the name is selected, ready to be typed over, and an address
    // shows from its start, where its site is.
    txtfieldTitle->selectAll();
    txtfieldurl->setCursorPosition(0);
}

void AddItemPanel::btnadd()
{
    if (m_noteUnreadable)
        return;
    const PanelFields fields{txtfieldTitle->text(), txtfieldurl->text(), textview->toPlainText(), colorwell->color()};
    const ItemResult result = m_editedUid ? m_editor.edit(m_currentGroupName, *m_editedUid, m_viewopenfor, fields)
                                          : m_editor.add(m_currentGroupName, m_viewopenfor, fields);
    if (!result.ok()) {
        lblalert->setText(result.message());
        return;
    }
    lblalert->clear();
    accept();
    Q_EMIT saved(result.item->uid().value_or(0));
}

void AddItemPanel::btnCancel()
{
    reject();
}

void AddItemPanel::btnemojiClicked()
{
    QWidget *field = focusWidget() == txtfieldurl || focusWidget() == textview ? focusWidget() : txtfieldTitle;
    m_palette.popUp(btnemoji, field);
}
