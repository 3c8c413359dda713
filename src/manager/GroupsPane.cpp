#include "manager/GroupsPane.h"

#include "manager/ManagerController.h"
#include "manager/ManagerModels.h"
#include "manager/ManagerSortMenus.h"
#include "manager/ManagerViews.h"
#include "manager/PaneParts.h"
#include "quicklist/SelectTagVc.h"
#include "store/FavoritesStore.h"
#include "store/LocalizedText.h"
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
constexpr auto sharedItemsKept = "IDS_BR_500";

} // namespace

GroupsPane::GroupsPane(ManagerController &controller, const ManagerServices &services, DimmingLayer &blackLayer,
                       QWidget *parent)
    : QWidget(parent)
    , m_controller(controller)
    , m_services(services)
    , m_blackLayer(blackLayer)
    , m_groupsModel(new GroupsModel(controller, this))
{
    setObjectName(QStringLiteral("groupsPane"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 4, 8);
    layout->addWidget(PaneParts::heading("IDS_BR_57", QStringLiteral("lblgroupstitle"), this));
    tblviewgroup = new GroupsTableView(controller, this);
    tblviewgroup->setAccessibleName(LocalizedText("IDS_BR_57"));
    tblviewgroup->installEventFilter(this);
    layout->addWidget(tblviewgroup, 1);

    auto *bar = new QHBoxLayout;
    btnAddGroup = PaneParts::barButton(QStringLiteral("btnAddRemoveGroup_add"), QStringLiteral("+"),
                                       LocalizedText("IDS_BR_180"), this);
    btnRemoveGroup = PaneParts::barButton(QStringLiteral("btnAddRemoveGroup_remove"), QString(QChar(0x2212)),
                                          LocalizedText("IDS_BR_63"), this);
    btnsortGroups_ = PaneParts::sortButton(QStringLiteral("btnsortGroups"), "IDS_BR_147", this);
    bar->addWidget(btnAddGroup);
    bar->addWidget(btnRemoveGroup);
    bar->addStretch();
    bar->addWidget(btnsortGroups_);
    layout->addLayout(bar);

    tblviewgroup->setModel(m_groupsModel);
    // A name edit that ends because another page of the window is now
    // showing is dropped: the page is hidden in the window by then.
    m_groupsModel->setEditsAllowed([this] { return isVisibleTo(window()); });

    connect(btnAddGroup, &QToolButton::clicked, this, &GroupsPane::btnaddgroup);
    connect(btnRemoveGroup, &QToolButton::clicked, this, &GroupsPane::btnremovegroup);
    connect(btnsortGroups_, &QToolButton::clicked, this, &GroupsPane::btnsortGroups);
    connect(tblviewgroup, &QWidget::customContextMenuRequested, this, &GroupsPane::showGroupsMenu);
    connect(tblviewgroup, &GroupsTableView::colorClicked, this, &GroupsPane::changegroupBoxColor);
    connectController();
}

void GroupsPane::connectController()
{
    connect(&m_controller, &ManagerController::groupsReset, this, [this] {
        syncGroupSelection();
        updateControls();
    });
    connect(&m_controller, &ManagerController::selectionMoved, this, &GroupsPane::syncGroupSelection);
    connect(&m_controller, &ManagerController::itemsReset, this, &GroupsPane::updateControls);
    connect(tblviewgroup->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (!m_syncingSelection && current.isValid() && current.row() != m_controller.selectedRow())
                    m_controller.selectGroup(current.row());
            });
    connect(m_groupsModel, &GroupsModel::renameFinished, this, [this](int row, int result) {
        if (result != int(ManagerController::Rename::duplicate))
            return;
        // The alert waits until the name field has closed.
        QTimer::singleShot(0, this, [this, row] {
            if (row != m_controller.selectedRow())
                m_controller.selectGroup(row);
            alertforSamegroup();
        });
    });
    connect(&m_services.selectTagvc, &SelectTagVc::colorPicked, this, [this](const QColor &color, bool fromMainWindow) {
        if (!fromMainWindow)
            return;
        // Should the groups have moved while the picker was open, the colour
        // follows the group it was opened for.
        int row = Rowforcolorchange;
        if (m_controller.groupTitle(row) != m_colorGroupTitle) {
            row = -1;
            for (int at = 0; row < 0 && at < m_controller.groupCount(); ++at)
                row = m_controller.groupTitle(at) == m_colorGroupTitle ? at : -1;
        }
        if (row >= 0 && row < m_controller.groupCount())
            m_controller.changeColor(row, color);
    });
}

void GroupsPane::syncGroupSelection()
{
    m_syncingSelection = true;
    const int row = m_controller.selectedRow();
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
    btnRemoveGroup->setEnabled(m_controller.groupCount() > 0);
}

void GroupsPane::endEditing()
{
    tblviewgroup->endEditing();
    m_groupsModel->applyPendingRename();
}

void GroupsPane::btnaddgroup()
{
    endEditing();
    btnAddGroup->setEnabled(false);
    QTimer::singleShot(addGroupReenableMs, btnAddGroup, [button = btnAddGroup] { button->setEnabled(true); });
    m_controller.addGroup();
    QTimer::singleShot(startEditingDelayMs, this, &GroupsPane::makeLabelStartEditing);
}

void GroupsPane::btnremovegroup()
{
    endEditing();
    if (m_controller.selectedRow() < 0)
        return;
    tblviewgroup->scrollTo(m_groupsModel->index(m_controller.selectedRow()));
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
    m_sameGroupAlert = ManagerAlert::show(this, m_blackLayer, LocalizedText("IDS_BR_68"), LocalizedText("IDS_BR_69"),
                                          {LocalizedText("IDS_BR_2")}, [this](int) {
                                              QTimer::singleShot(0, this, &GroupsPane::makeLabelStartEditing);
                                          });
}

void GroupsPane::alertforDeletegroup()
{
    const int row = m_controller.selectedRow();
    if (row < 0)
        return;
    const QString consequence = m_controller.groupSharesItems(row)
        ? LocalizedText(sharedItemsKept).arg(m_controller.groupTitle(row))
        : LocalizedText("IDS_BR_76");
    ManagerAlert::show(this, m_blackLayer, LocalizedText("IDS_BR_75"), consequence,
                       {LocalizedText("IDS_BR_77"), LocalizedText("IDS_BR_78")}, [this](int button) {
                           if (button == 0)
                               m_controller.deleteGroup(m_controller.selectedRow());
                       });
}

void GroupsPane::btnsortGroups()
{
    endEditing();
    ManagerSortMenus::groupSortMenu(m_controller, this)
        ->popup(btnsortGroups_->mapToGlobal(QPoint(0, btnsortGroups_->height())));
}

void GroupsPane::showGroupsMenu(const QPoint &pos)
{
    endEditing();
    if (m_blackLayer.isHeld())
        return;
    const QModelIndex index = tblviewgroup->indexAt(pos);
    if (index.isValid() && index.row() != m_controller.selectedRow())
        m_controller.selectGroup(index.row());
    if (m_controller.selectedRow() < 0)
        return;
    auto *groupsMenu = new QMenu(this);
    groupsMenu->setObjectName(QStringLiteral("groupsMenu"));
    groupsMenu->setAttribute(Qt::WA_DeleteOnClose);
    // The entries show the keys that do the same in the list.
    groupsMenu->addAction(LocalizedText("IDS_BR_62"), this, &GroupsPane::makeLabelStartEditing)
        ->setShortcut(QKeySequence(Qt::Key_F2));
    groupsMenu->addAction(LocalizedText("IDS_BR_63"), this, &GroupsPane::alertforDeletegroup)
        ->setShortcut(QKeySequence(QKeySequence::Delete));
    groupsMenu->popup(tblviewgroup->viewport()->mapToGlobal(pos));
}

void GroupsPane::changegroupBoxColor(int row, const QRect &anchor)
{
    if (row < 0 || row >= m_controller.groupCount())
        return;
    Rowforcolorchange = row;
    m_colorGroupTitle = m_controller.groupTitle(row);
    m_services.selectTagvc.openBeside(anchor, true,
                                      m_groupsModel->index(row).data(int(GroupsModel::Role::color)).value<QColor>());
}

bool GroupsPane::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == tblviewgroup && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
        if (plain && !tblviewgroup->isEditing() && key->key() == Qt::Key_Delete) {
            btnremovegroup();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
