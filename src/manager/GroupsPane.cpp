#include "manager/GroupsPane.h"

#include "manager/GroupsListView.h"
#include "manager/GroupsModel.h"
#include "manager/ManagerGroups.h"
#include "manager/ManagerSortMenus.h"
#include "manager/PaneWidgets.h"
#include "quicklist/ColorTagPicker.h"
#include "quicklist/UndoActions.h"
#include "store/FavoritesStore.h"
#include "store/LocalizedText.h"
#include "store/TextKeys.h"
#include "store/ViewLinks.h"
#include "widgets/DimmingLayer.h"
#include "widgets/ManagerAlert.h"

#include <QBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QToolButton>

namespace {

constexpr int addGroupReenableMs = 1000;
constexpr int startEditingDelayMs = 100;
// "Another group is also called “%1” and shows the same items. Only this
// group is removed: the items ... stay with the other group."
constexpr auto sharedItemsKept = Text::sharedItemsKept;

} // namespace

GroupsPane::GroupsPane(ManagerGroups &groups, GroupsDropTarget &drops, const ManagerServices &services,
                       DimmingLayer &blackLayer, QWidget *parent)
    : QWidget(parent)
    , m_groups(groups)
    , m_services(services)
    , m_blackLayer(blackLayer)
    , m_groupsModel(new GroupsModel(groups, this))
{
    setObjectName(QStringLiteral("groupsPane"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 4, 8);
    layout->addWidget(PaneWidgets::heading(Text::groupsHeading, QStringLiteral("lblgroupstitle"), this));
    tblviewgroup = new GroupsListView(drops, this);
    tblviewgroup->setAccessibleName(LocalizedText(Text::groupsHeading));
    tblviewgroup->installEventFilter(this);
    layout->addWidget(tblviewgroup, 1);
    // Focusing the pane (as showing the page does) gives the keys to the list.
    setFocusProxy(tblviewgroup);

    auto *bar = new QHBoxLayout;
    m_addGroupButton = PaneWidgets::barButton(QStringLiteral("btnAddRemoveGroup_add"), QStringLiteral("+"),
                                              LocalizedText(Text::addGroup), this);
    m_removeGroupButton = PaneWidgets::barButton(QStringLiteral("btnAddRemoveGroup_remove"), QString(QChar(0x2212)),
                                                 LocalizedText(Text::deleteGroup), this);
    m_sortGroupsButton = PaneWidgets::sortButton(QStringLiteral("btnsortGroups"), Text::sortGroups, this);
    bar->addWidget(m_addGroupButton);
    bar->addWidget(m_removeGroupButton);
    bar->addStretch();
    bar->addWidget(m_sortGroupsButton);
    layout->addLayout(bar);

    tblviewgroup->setModel(m_groupsModel);
    // A name edit that ends because another page of the window is now
    // showing is dropped: the page is hidden in the window by then.
    m_groupsModel->setEditsAllowed([this] { return isVisibleTo(window()); });

    connect(m_addGroupButton, &QToolButton::clicked, this, &GroupsPane::btnaddgroup);
    connect(m_removeGroupButton, &QToolButton::clicked, this, &GroupsPane::removeSelectedGroup);
    connect(m_sortGroupsButton, &QToolButton::clicked, this, &GroupsPane::btnsortGroups);
    connect(tblviewgroup, &QWidget::customContextMenuRequested, this, &GroupsPane::showGroupsMenu);
    connect(tblviewgroup, &GroupsListView::colorClicked, this, &GroupsPane::changegroupBoxColor);
    connectGroups();
}

void GroupsPane::connectGroups()
{
    connect(&m_groups, &ManagerGroups::groupsReset, this, [this] {
        syncGroupSelection();
        updateControls();
    });
    connect(&m_groups, &ManagerGroups::selectionMoved, this, &GroupsPane::syncGroupSelection);
    connect(tblviewgroup->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (!m_syncingSelection && current.isValid() && current.row() != m_groups.selectedRow())
                    m_groups.selectGroup(current.row());
            });
    connect(m_groupsModel, &GroupsModel::renameFinished, this, [this](int row, int result) {
        if (result != int(ManagerGroups::Rename::duplicate))
            return;
        // The alert waits until the name field has closed.
        QTimer::singleShot(0, this, [this, row] {
            if (row != m_groups.selectedRow())
                m_groups.selectGroup(row);
            alertforSamegroup();
        });
    });
    connect(&m_services.selectTagvc, &ColorTagPicker::colorPicked, this,
            [this](const QColor &color, bool fromMainWindow) {
                if (!fromMainWindow)
                    return;
                // Should the groups have moved while the picker was open, the colour
                // follows the group it was opened for.
                int row = Rowforcolorchange;
                if (m_groups.groupTitle(row) != m_colorGroupTitle) {
                    row = -1;
                    for (int at = 0; row < 0 && at < m_groups.groupCount(); ++at)
                        row = m_groups.groupTitle(at) == m_colorGroupTitle ? at : -1;
                }
                if (row >= 0 && row < m_groups.groupCount())
                    m_groups.changeColor(row, color);
            });
}

void GroupsPane::syncGroupSelection()
{
    m_syncingSelection = true;
    const int row = m_groups.selectedRow();
    if (row >= 0) {
        const QModelIndex index = m_groupsModel->index(row);
        tblviewgroup->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        tblviewgroup->scrollTo(index);
    } else {
        tblviewgroup->selectionModel()->clear();
    }
    m_syncingSelection = false;
}

void GroupsPane::updateControls()
{
    m_removeGroupButton->setEnabled(m_groups.groupCount() > 0);
}

void GroupsPane::endEditing()
{
    tblviewgroup->endEditing();
    m_groupsModel->applyPendingRename();
}

void GroupsPane::openSelectedColorTag()
{
    if (m_blackLayer.isHeld() || m_groups.selectedRow() < 0)
        return;
    tblviewgroup->setFocus(Qt::ShortcutFocusReason);
    tblviewgroup->openColorTag(m_groups.selectedRow());
}

void GroupsPane::btnaddgroup()
{
    endEditing();
    m_addGroupButton->setEnabled(false);
    QTimer::singleShot(addGroupReenableMs, m_addGroupButton, [button = m_addGroupButton] { button->setEnabled(true); });
    m_groups.addGroup();
    QTimer::singleShot(startEditingDelayMs, this, &GroupsPane::makeLabelStartEditing);
}

void GroupsPane::removeSelectedGroup()
{
    endEditing();
    if (m_groups.selectedRow() < 0)
        return;
    tblviewgroup->scrollTo(m_groupsModel->index(m_groups.selectedRow()));
    alertforDeletegroup();
}

void GroupsPane::makeLabelStartEditing()
{
    if (m_blackLayer.isHeld())
        return;
    tblviewgroup->setFocus(Qt::OtherFocusReason);
    tblviewgroup->makeLabelStartEditing();
}

void GroupsPane::alertforSamegroup()
{
    if (m_sameGroupAlert)
        return;
    m_sameGroupAlert = ManagerAlert::show(
        this, m_blackLayer, LocalizedText(Text::groupNameTaken), LocalizedText(Text::groupNamesMustBeUnique),
        {LocalizedText(Text::ok)}, [this](int) { QTimer::singleShot(0, this, &GroupsPane::makeLabelStartEditing); });
}

void GroupsPane::alertforDeletegroup()
{
    const int row = m_groups.selectedRow();
    if (row < 0)
        return;
    const QString consequence = m_groups.groupSharesItems(row)
                                    ? LocalizedText(sharedItemsKept).arg(m_groups.groupTitle(row))
                                    : LocalizedText(Text::deleteGroupDetail);
    // The alert names the group, as the item's alert names the item.
    ManagerAlert::confirmRemoval(
        this, m_blackLayer, LocalizedText(Text::deleteNamedGroupQuestion).arg(m_groups.groupTitle(row)), consequence,
        {LocalizedText(Text::continueAction), LocalizedText(Text::cancelAlert)}, [this](int button) {
            if (button == 0)
                m_groups.deleteGroup(m_groups.selectedRow());
        });
}

void GroupsPane::btnsortGroups()
{
    endEditing();
    ManagerSortMenus::groupSortMenu(m_groups, m_services.sortSettings, this)
        ->popup(m_sortGroupsButton->mapToGlobal(QPoint(0, m_sortGroupsButton->height())));
}

void GroupsPane::showGroupsMenu(const QPoint &pos)
{
    endEditing();
    if (m_blackLayer.isHeld())
        return;
    const QModelIndex index = tblviewgroup->indexAt(pos);
    if (index.isValid() && index.row() != m_groups.selectedRow())
        m_groups.selectGroup(index.row());
    if (m_groups.selectedRow() < 0)
        return;
    auto *groupsMenu = new QMenu(this);
    groupsMenu->setObjectName(QStringLiteral("groupsMenu"));
    groupsMenu->setAttribute(Qt::WA_DeleteOnClose);
    // The entries show the keys that do the same in the list.
    groupsMenu->addAction(LocalizedText(Text::renameGroup), this, &GroupsPane::makeLabelStartEditing)
        ->setShortcut(QKeySequence(Qt::Key_F2));
    groupsMenu->addAction(LocalizedText(Text::deleteGroup), this, &GroupsPane::alertforDeletegroup)
        ->setShortcut(QKeySequence(QKeySequence::Delete));
    if (m_undoActions)
        m_undoActions->addTo(groupsMenu);
    groupsMenu->popup(tblviewgroup->viewport()->mapToGlobal(pos));
}

void GroupsPane::changegroupBoxColor(int row, const QRect &anchor)
{
    if (row < 0 || row >= m_groups.groupCount())
        return;
    Rowforcolorchange = row;
    m_colorGroupTitle = m_groups.groupTitle(row);
    m_services.selectTagvc.openBeside(anchor, true,
                                      m_groupsModel->index(row).data(int(GroupsModel::Role::color)).value<QColor>());
}

bool GroupsPane::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == tblviewgroup && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        if (plain && !tblviewgroup->isEditing() && key->key() == Qt::Key_Delete) {
            removeSelectedGroup();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
