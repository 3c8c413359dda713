#include "app/GroupChooserDialog.h"

#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// How the prompt names a target: a file by its name, an address as it is.
QString shownName(const QString &target)
{
    if (ScriptCommands::isWebAddress(target))
        return target;
    const QString name = QFileInfo(target).fileName();
    return name.isEmpty() ? target : name;
}

} // namespace

GroupChooserDialog::GroupChooserDialog(const QStringList &groupTitles, const QStringList &targets, QWidget *parent)
    : QDialog(parent)
{
    setWindowTitle(LocalizedText(Text::addToBrimbleTitle));
    const QString prompt = targets.size() == 1
                               ? LocalizedText(Text::addOneToWhichGroup).arg(shownName(targets.constFirst()))
                               : LocalizedText(Text::addManyToWhichGroup).arg(targets.size());
    auto *label = new QLabel(prompt, this);
    label->setWordWrap(true);

    m_groups = new QComboBox(this);
    m_groups->setObjectName(QStringLiteral("groups"));
    m_groups->setAccessibleName(LocalizedText(Text::groupLabel));
    m_groups->addItems(groupTitles);
    // The last entry makes a new group.
    m_groups->addItem(LocalizedText(Text::newGroupMenuEntry));
    label->setBuddy(m_groups);

    m_newGroupName = new QLineEdit(this);
    m_newGroupName->setObjectName(QStringLiteral("newGroupName"));
    m_newGroupName->setPlaceholderText(LocalizedText(Text::firstGroupNamePlaceholder));
    m_newGroupName->setAccessibleName(LocalizedText(Text::firstGroupNamePlaceholder));

    auto *buttons = new QDialogButtonBox(this);
    m_add = buttons->addButton(LocalizedText(Text::add), QDialogButtonBox::AcceptRole);
    m_add->setObjectName(QStringLiteral("add"));
    m_add->setDefault(true);
    buttons->addButton(LocalizedText(Text::cancelPanel), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_groups);
    layout->addWidget(m_newGroupName);
    layout->addWidget(buttons);

    connect(m_groups, &QComboBox::currentIndexChanged, this, &GroupChooserDialog::updateNewGroupField);
    connect(m_newGroupName, &QLineEdit::textChanged, this, &GroupChooserDialog::updateNewGroupField);
    updateNewGroupField();
}

bool GroupChooserDialog::choosesNewGroup() const
{
    return m_groups->currentIndex() == m_groups->count() - 1;
}

void GroupChooserDialog::updateNewGroupField()
{
    const bool newGroup = choosesNewGroup();
    m_newGroupName->setVisible(newGroup);
    m_add->setEnabled(!newGroup || !m_newGroupName->text().trimmed().isEmpty());
    if (newGroup && isVisible())
        m_newGroupName->setFocus();
}

std::optional<ScriptCommands::GroupChoice> GroupChooserDialog::choice() const
{
    if (result() != QDialog::Accepted)
        return std::nullopt;
    if (choosesNewGroup())
        return ScriptCommands::GroupChoice{m_newGroupName->text().trimmed(), true};
    return ScriptCommands::GroupChoice{m_groups->currentText(), false};
}
