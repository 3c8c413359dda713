#include "items/EditItemPanel.h"

#include "items/CharacterPalette.h"
#include "items/ItemBoxWidgets.h"
#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

EditItemPanel::EditItemPanel(const ItemServices &services, CharacterPalette &palette, QWidget *parent)
    : QDialog(parent)
    , m_editor(services)
    , m_palette(palette)
{
    ItemBoxWidgets::setUpPanel(this, QStringLiteral("editFileFolderitemvc"));
    setWindowTitle(LocalizedText(Text::renameItem));
    auto *layout = new QVBoxLayout(this);
    const ItemBoxWidgets::PanelTop top = ItemBoxWidgets::addPanelTop(layout, Text::renameItem, Text::renameItemHint,
                                                                     QStringLiteral("lbltitlename"), this);
    txtfieldTitle = top.titleField;
    btnemoji = top.emojiButton;
    lblalert = ItemBoxWidgets::messageLine(QStringLiteral("lblalert"), this);
    layout->addWidget(lblalert);
    layout->addStretch();
    layout->addLayout(
        ItemBoxWidgets::buttonRow(&btncancel, QStringLiteral("btncancel"), &btnedit_, QStringLiteral("btnedit"), this));
    btnedit_->setText(LocalizedText(Text::save));

    connect(btnedit_, &QPushButton::clicked, this, &EditItemPanel::btnedit);
    connect(btncancel, &QPushButton::clicked, this, &EditItemPanel::btncancel_);
    connect(btnemoji, &QToolButton::clicked, this, &EditItemPanel::btnemojiclicked);
}

void EditItemPanel::prepare(const QString &currentGroupName, const Item &item)
{
    m_currentGroupName = currentGroupName;
    m_uid = item.uid().value_or(0);
    lblalert->clear();
    txtfieldTitle->setText(item.title());
}

void EditItemPanel::showPanel(const QString &currentGroupName, const Item &item)
{
    prepare(currentGroupName, item);
    open();
    txtfieldTitle->setFocus(Qt::OtherFocusReason);
    // The name is selected, ready to be typed over, as a file manager does.
    txtfieldTitle->selectAll();
}

void EditItemPanel::btnedit()
{
    const ItemResult result = m_editor.renameFile(m_currentGroupName, m_uid, txtfieldTitle->text());
    if (!result.ok()) {
        lblalert->setText(result.message());
        return;
    }
    accept();
    Q_EMIT saved(m_uid);
}

void EditItemPanel::btncancel_()
{
    reject();
}

void EditItemPanel::btnemojiclicked()
{
    m_palette.popUp(btnemoji, txtfieldTitle);
}
