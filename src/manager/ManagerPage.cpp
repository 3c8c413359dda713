#include "manager/ManagerPage.h"

#include "manager/GroupRowDelegate.h"
#include "manager/GroupsDropTarget.h"
#include "manager/GroupsPane.h"
#include "manager/ItemsPane.h"
#include "manager/ManagerGroups.h"
#include "manager/ManagerItems.h"
#include "quicklist/UndoActions.h"
#include "store/LocalizedText.h"
#include "store/TextKeys.h"
#include "store/ViewLinks.h"
#include "widgets/DimmingLayer.h"
#include "widgets/ManagerAlert.h"

#include <QBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QShortcut>
#include <QSplitter>

namespace {

constexpr int minimumGroupsPaneWidth = 190;
constexpr int minimumItemsPaneWidth = 300;
constexpr int minimumPageHeight = 320;

} // namespace

ManagerPage::ManagerPage(const ManagerServices &services, DimmingLayer &blackLayer, QWidget *parent)
    : QWidget(parent)
    , m_services(services)
    , m_groups(new ManagerGroups(services, this))
    , m_items(new ManagerItems(services, *m_groups, this))
    , m_drops(std::make_unique<GroupsDropTarget>(*m_groups, *m_items))
{
    setObjectName(QStringLiteral("makeshortcutsVc"));
    auto *splitter = m_splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setChildrenCollapsible(false);
    m_groupsPane = new GroupsPane(*m_groups, *m_drops, services, blackLayer, splitter);
    m_itemsPane = new ItemsPane(
        *m_groups, *m_items, *m_drops, services, blackLayer, [this] { m_groupsPane->endEditing(); }, splitter);
    // Below these sizes names, buttons and rows no longer fit: the window
    // stops shrinking there.
    m_groupsPane->setMinimumWidth(minimumGroupsPaneWidth);
    m_itemsPane->setMinimumWidth(minimumItemsPaneWidth);
    setMinimumHeight(minimumPageHeight);
    splitter->addWidget(m_groupsPane);
    splitter->addWidget(m_itemsPane);
    // The groups heading is as tall as the search row beside it, so that
    // both headings and both lists start on one line.
    if (auto *heading = m_groupsPane->findChild<QLabel *>(QStringLiteral("lblgroupstitle")))
        heading->setMinimumHeight(m_itemsPane->searchField()->sizeHint().height());
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    // The page's keys work wherever the focus is in the window while the page
    // shows (a shortcut of a hidden widget is off), page buttons included.
    setFocusProxy(m_groupsPane);
    auto *find = new QShortcut(QKeySequence::Find, this);
    find->setContext(Qt::WindowShortcut);
    connect(find, &QShortcut::activated, this, [this, &blackLayer] {
        if (!blackLayer.isHeld())
            m_itemsPane->focusSearch();
    });
    auto *colorTag = new QShortcut(GroupRowDelegate::colorTagKeys(), this);
    colorTag->setContext(Qt::WindowShortcut);
    connect(colorTag, &QShortcut::activated, m_groupsPane, &GroupsPane::openSelectedColorTag);
    connect(&m_services.viewLinks, &ViewLinks::managerGroupsReloadRequested, this, &ManagerPage::reloadGroups);
    if (m_services.history) {
        auto *undoActions = new UndoActions(*m_services.history, this, [this, &blackLayer](const QString &message) {
            ManagerAlert::show(this, blackLayer, message, QString(), {LocalizedText(Text::ok)}, {});
        });
        m_groupsPane->setUndoActions(undoActions);
        m_itemsPane->setUndoActions(undoActions);
    }

    m_services.viewLinks.managerLoaded = true;
    m_groups->loadGroups();
    if (m_groups->groupCount() > 0)
        m_groups->selectGroup(qMax(0, m_groups->selectedRow()));
}

ManagerPage::~ManagerPage()
{
    m_services.viewLinks.managerLoaded = false;
}

QByteArray ManagerPage::paneSplit() const
{
    return m_splitter->saveState();
}

void ManagerPage::restorePaneSplit(const QByteArray &split)
{
    m_splitter->restoreState(split);
}

void ManagerPage::selectGroupTitled(const QString &title)
{
    for (int row = 0; row < m_groups->groupCount(); ++row) {
        if (m_groups->groupTitle(row) == title) {
            m_groups->selectGroup(row);
            return;
        }
    }
}

void ManagerPage::reloadGroups()
{
    m_groups->loadGroups();
}
