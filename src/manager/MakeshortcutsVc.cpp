#include "manager/MakeshortcutsVc.h"

#include "items/AddPanelvc.h"
#include "items/EditFileFolderitemvc.h"
#include "items/CharacterPalette.h"
#include "items/FaviconFetcher.h"
#include "items/FileOrFolderDialog.h"
#include "manager/DimmingLayer.h"
#include "manager/ManagerAlert.h"
#include "manager/ManagerController.h"
#include "manager/ManagerDelegates.h"
#include "manager/ManagerModels.h"
#include "manager/ManagerSortMenus.h"
#include "manager/ManagerViews.h"
#include "manager/PreviewWindow.h"
#include "platform/FilePreviewer.h"
#include "platform/PreferencesStore.h"
#include "quicklist/QuickListMenus.h"
#include "quicklist/SelectTagVc.h"
#include "store/FavoritesStore.h"
#include "store/LocalizedText.h"
#include "store/Records.h"
#include "store/StoreKeys.h"
#include "store/ViewLinks.h"

#include <QBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QSplitter>
#include <QStackedWidget>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>

namespace {

constexpr int addGroupReenableMs = 1000;
constexpr int startEditingDelayMs = 100;
constexpr int tooltipMs = 2000;
constexpr int minimumGroupsPaneWidth = 190;
constexpr int minimumItemsPaneWidth = 300;
constexpr int minimumPageHeight = 320;

QLabel *paneHeading(const char *key, const QString &name, QWidget *parent)
{
    auto *label = new QLabel(LocalizedText(key), parent);
    label->setObjectName(name);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QToolButton *barButton(const QString &name, const QString &text, const QString &accessibleName, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(text);
    button->setAccessibleName(accessibleName);
    button->setToolTip(accessibleName);
    button->setAutoRaise(true);
    return button;
}

QToolButton *sortButton(const QString &name, const char *accessibleKey, QWidget *parent)
{
    QToolButton *button = barButton(name, LocalizedText("IDS_BR_135"), LocalizedText(accessibleKey), parent);
    button->setToolTip(LocalizedText("IDS_BR_136"));
    return button;
}

} // namespace

MakeshortcutsVc::MakeshortcutsVc(const ManagerServices &services, DimmingLayer &blackLayer, QWidget *parent)
    : QWidget(parent)
    , m_services(services)
    , m_blackLayer(blackLayer)
    , m_controller(new ManagerController(services, this))
{
    setObjectName(QStringLiteral("makeshortcutsVc"));
    m_groupsModel = new GroupsModel(*m_controller, this);
    m_itemsModel = new ItemsModel(*m_controller, this);

    auto *splitter = new QSplitter(Qt::Horizontal, this);
    splitter->setChildrenCollapsible(false);
    // Below these sizes names, buttons and rows no longer fit: the window
    // stops shrinking there.
    QWidget *groupsPane = buildGroupsPane();
    groupsPane->setMinimumWidth(minimumGroupsPaneWidth);
    QWidget *itemsPane = buildItemsPane();
    itemsPane->setMinimumWidth(minimumItemsPaneWidth);
    splitter->addWidget(groupsPane);
    splitter->addWidget(itemsPane);
    setMinimumHeight(minimumPageHeight);
    // The groups heading is as tall as the search row beside it, so that
    // both headings and both lists start on one line.
    if (auto *heading = findChild<QLabel *>(QStringLiteral("lblgroupstitle")))
        heading->setMinimumHeight(searchtextfield->sizeHint().height());
    splitter->setStretchFactor(0, 2);
    splitter->setStretchFactor(1, 3);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    tblviewgroup->setModel(m_groupsModel);
    tblviewItems->setModel(m_itemsModel);
    // A name edit that ends because another page of the window is now
    // showing is dropped: the page is hidden in the window by then.
    m_groupsModel->setEditsAllowed([this] { return window() == this || isVisibleTo(window()); });
    connectController();

    auto *find = new QShortcut(QKeySequence::Find, this);
    find->setContext(Qt::WidgetWithChildrenShortcut);
    connect(find, &QShortcut::activated, this, [this] {
        searchtextfield->setFocus(Qt::ShortcutFocusReason);
        searchtextfield->selectAll();
    });

    m_services.viewLinks.managerLoaded = true;
    m_controller->loadGroups();
    if (m_controller->groupCount() > 0)
        m_controller->selectGroup(qMax(0, m_controller->selectedRow()));
    updateControls();
}

MakeshortcutsVc::~MakeshortcutsVc()
{
    m_services.viewLinks.managerLoaded = false;
}

QWidget *MakeshortcutsVc::buildGroupsPane()
{
    auto *pane = new QWidget(this);
    auto *layout = new QVBoxLayout(pane);
    layout->setContentsMargins(8, 8, 4, 8);
    layout->addWidget(paneHeading("IDS_BR_57", QStringLiteral("lblgroupstitle"), pane));
    tblviewgroup = new GroupsTableView(*m_controller, pane);
    tblviewgroup->setAccessibleName(LocalizedText("IDS_BR_57"));
    tblviewgroup->installEventFilter(this);
    layout->addWidget(tblviewgroup, 1);

    auto *bar = new QHBoxLayout;
    btnAddGroup = barButton(QStringLiteral("btnAddRemoveGroup_add"), QStringLiteral("+"), LocalizedText("IDS_BR_180"), pane);
    btnRemoveGroup = barButton(QStringLiteral("btnAddRemoveGroup_remove"), QString(QChar(0x2212)),
                               LocalizedText("IDS_BR_63"), pane);
    btnsortGroups_ = sortButton(QStringLiteral("btnsortGroups"), "IDS_BR_147", pane);
    bar->addWidget(btnAddGroup);
    bar->addWidget(btnRemoveGroup);
    bar->addStretch();
    bar->addWidget(btnsortGroups_);
    layout->addLayout(bar);

    connect(btnAddGroup, &QToolButton::clicked, this, &MakeshortcutsVc::btnaddgroup);
    connect(btnRemoveGroup, &QToolButton::clicked, this, &MakeshortcutsVc::btnremovegroup);
    connect(btnsortGroups_, &QToolButton::clicked, this, &MakeshortcutsVc::btnsortGroups);
    connect(tblviewgroup, &QWidget::customContextMenuRequested, this, &MakeshortcutsVc::showGroupsMenu);
    connect(tblviewgroup, &GroupsTableView::colorClicked, this, &MakeshortcutsVc::changegroupBoxColor);
    return pane;
}

QWidget *MakeshortcutsVc::buildItemsPane()
{
    auto *pane = new QWidget(this);
    auto *layout = new QVBoxLayout(pane);
    layout->setContentsMargins(4, 8, 8, 8);
    auto *top = new QHBoxLayout;
    top->addWidget(paneHeading("IDS_BR_58", QStringLiteral("lblitemstitle"), pane));
    top->addStretch();
    searchtextfield = new QLineEdit(pane);
    searchtextfield->setObjectName(QStringLiteral("searchtextfield"));
    searchtextfield->setPlaceholderText(LocalizedText("IDS_BR_181"));
    searchtextfield->setAccessibleName(LocalizedText("IDS_BR_181"));
    searchtextfield->setClearButtonEnabled(true);
    searchtextfield->installEventFilter(this);
    top->addWidget(searchtextfield, 1);
    layout->addLayout(top);

    itemsStack = new QStackedWidget(pane);
    tblviewItems = new ItemsTableView(*m_controller, itemsStack);
    tblviewItems->setAccessibleName(LocalizedText("IDS_BR_58"));
    tblviewItems->installEventFilter(this);
    itemsStack->addWidget(tblviewItems);

    boxNoItem = new QWidget(itemsStack);
    boxNoItem->setObjectName(QStringLiteral("boxNoItem"));
    auto *empty = new QVBoxLayout(boxNoItem);
    auto *lbltitleNoitems = paneHeading("IDS_BR_59", QStringLiteral("lbltitleNoitems"), boxNoItem);
    lbltitleNoitems->setAlignment(Qt::AlignCenter);
    auto *lbldescriptionN0items = new QLabel(LocalizedText("IDS_BR_60"), boxNoItem);
    lbldescriptionN0items->setObjectName(QStringLiteral("lbldescriptionN0items"));
    lbldescriptionN0items->setWordWrap(true);
    lbldescriptionN0items->setAlignment(Qt::AlignCenter);
    auto *btnAddNewItem = new QPushButton(LocalizedText("IDS_BR_61"), boxNoItem);
    btnAddNewItem->setObjectName(QStringLiteral("btnAddNewItem"));
    empty->addStretch();
    empty->addWidget(lbltitleNoitems);
    empty->addWidget(lbldescriptionN0items);
    empty->addWidget(btnAddNewItem, 0, Qt::AlignCenter);
    empty->addStretch();
    itemsStack->addWidget(boxNoItem);
    layout->addWidget(itemsStack, 1);

    auto *bar = new QHBoxLayout;
    btnAddItem_ = barButton(QStringLiteral("brnAddRemoveItems_add"), QStringLiteral("+"), LocalizedText("IDS_BR_61"), pane);
    btnRemoveItem = barButton(QStringLiteral("brnAddRemoveItems_remove"), QString(QChar(0x2212)),
                              LocalizedText("IDS_BR_187"), pane);
    btnsortItems_ = sortButton(QStringLiteral("btnsortItems"), "IDS_BR_148", pane);
    bar->addWidget(btnAddItem_);
    bar->addWidget(btnRemoveItem);
    bar->addStretch();
    bar->addWidget(btnsortItems_);
    layout->addLayout(bar);

    // The selected item stays selected as the search starts, narrows or ends.
    connect(searchtextfield, &QLineEdit::textChanged, this, [this](const QString &text) {
        const auto selected = m_controller->shownItem(selectedItemRow());
        m_controller->search(text);
        if (const auto uid = selected ? Records::uid(*selected) : std::nullopt)
            scrolltoLastAddedItemWithUid(*uid);
    });
    connect(btnAddItem_, &QToolButton::clicked, this, &MakeshortcutsVc::btnAddItem);
    connect(btnAddNewItem, &QPushButton::clicked, this, [this, btnAddNewItem] { showAddMenu(btnAddNewItem); });
    connect(btnRemoveItem, &QToolButton::clicked, this, &MakeshortcutsVc::btnremoveItem);
    connect(btnsortItems_, &QToolButton::clicked, this, &MakeshortcutsVc::btnsortItems);
    connect(tblviewItems, &QWidget::customContextMenuRequested, this, &MakeshortcutsVc::showItemsMenu);
    connect(tblviewItems, &QAbstractItemView::doubleClicked, this, &MakeshortcutsVc::Items_doubleclicked);
    connect(tblviewItems, &ItemsTableView::editClicked, this, &MakeshortcutsVc::editRow);
    return pane;
}

void MakeshortcutsVc::connectController()
{
    ManagerController *controller = m_controller;
    connect(controller, &ManagerController::groupsReset, this, [this] {
        syncGroupSelection();
        updateControls();
    });
    connect(controller, &ManagerController::selectionMoved, this, &MakeshortcutsVc::syncGroupSelection);
    connect(controller, &ManagerController::itemsReset, this, &MakeshortcutsVc::updateControls);
    connect(controller, &ManagerController::itemToReveal, this, &MakeshortcutsVc::scrolltoLastAddedItemWithUid);
    connect(controller, &ManagerController::searchEnded, this, [this] {
        const QSignalBlocker blocker(searchtextfield);
        searchtextfield->clear();
    });
    // Remove acts on the selected item: without one it is off.
    connect(tblviewItems->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { btnRemoveItem->setEnabled(selectedItemRow() >= 0); });
    connect(tblviewgroup->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex &current) {
                if (!m_syncingSelection && current.isValid() && current.row() != m_controller->selectedRow())
                    m_controller->selectGroup(current.row());
            });
    connect(m_groupsModel, &GroupsModel::renameFinished, this, [this](int row, int result) {
        if (result != int(ManagerController::Rename::duplicate))
            return;
        // The alert waits until the name field has closed.
        QTimer::singleShot(0, this, [this, row] {
            if (row != m_controller->selectedRow())
                m_controller->selectGroup(row);
            alertforSamegroup();
        });
    });
    connect(&m_services.viewLinks, &ViewLinks::managerGroupsReloadRequested, this, &MakeshortcutsVc::reloadGroups);
    connect(&m_services.selectTagvc, &SelectTagVc::colorPicked, this, [this](const QColor &color, bool fromMainWindow) {
        if (fromMainWindow && Rowforcolorchange < m_controller->groupCount())
            m_controller->changeColor(Rowforcolorchange, color);
    });
    connect(&m_services.faviconFetcher, &FaviconFetcher::iconSaved, m_itemsModel, &ItemsModel::iconFileChanged);
}

void MakeshortcutsVc::reloadGroups()
{
    m_controller->loadGroups();
}

void MakeshortcutsVc::syncGroupSelection()
{
    m_syncingSelection = true;
    const int row = m_controller->selectedRow();
    if (row >= 0) {
        const QModelIndex index = m_groupsModel->index(row);
        tblviewgroup->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
        tblviewgroup->scrollTo(index);
    } else {
        tblviewgroup->selectionModel()->clear();
    }
    m_syncingSelection = false;
}

void MakeshortcutsVc::updateControls()
{
    const bool hasGroups = m_controller->groupCount() > 0;
    const bool hasItems = !m_controller->selectedGroupItems().isEmpty();
    btnRemoveGroup->setEnabled(hasGroups);
    btnAddItem_->setEnabled(hasGroups);
    btnRemoveItem->setEnabled(selectedItemRow() >= 0);
    const bool showEmptyBox = !m_controller->searchBegin() && !hasItems && hasGroups;
    tblviewItems->setEmptyText(m_controller->searchBegin() ? LocalizedText("IDS_BR_320") : QString());
    itemsStack->setCurrentWidget(showEmptyBox ? boxNoItem : static_cast<QWidget *>(tblviewItems));
}

// Groups pane

void MakeshortcutsVc::endEditing()
{
    tblviewgroup->endEditing();
    m_groupsModel->applyPendingRename();
}

void MakeshortcutsVc::btnaddgroup()
{
    endEditing();
    btnAddGroup->setEnabled(false);
    QTimer::singleShot(addGroupReenableMs, btnAddGroup, [button = btnAddGroup] { button->setEnabled(true); });
    m_controller->addGroup();
    QTimer::singleShot(startEditingDelayMs, this, &MakeshortcutsVc::makeLabelStartEditing);
}

void MakeshortcutsVc::btnremovegroup()
{
    endEditing();
    if (m_controller->selectedRow() < 0)
        return;
    tblviewgroup->scrollTo(m_groupsModel->index(m_controller->selectedRow()));
    alertforDeletegroup();
}

void MakeshortcutsVc::makeLabelStartEditing()
{
    if (m_blackLayer.isHeld())
        return;
    tblviewgroup->setFocus(Qt::OtherFocusReason);
    tblviewgroup->makeLabelStartEditing();
}

void MakeshortcutsVc::alertforSamegroup()
{
    if (m_sameGroupAlert)
        return;
    m_sameGroupAlert = ManagerAlert::show(this, m_blackLayer, LocalizedText("IDS_BR_68"), LocalizedText("IDS_BR_69"),
                                          {LocalizedText("IDS_BR_2")}, [this](int) {
                                              QTimer::singleShot(0, this, &MakeshortcutsVc::makeLabelStartEditing);
                                          });
}

void MakeshortcutsVc::alertforDeletegroup()
{
    if (m_controller->selectedRow() < 0)
        return;
    ManagerAlert::show(this, m_blackLayer, LocalizedText("IDS_BR_75"), LocalizedText("IDS_BR_76"),
                       {LocalizedText("IDS_BR_77"), LocalizedText("IDS_BR_78")}, [this](int button) {
                           if (button == 0)
                               m_controller->deleteGroup(m_controller->selectedRow());
                       });
}

void MakeshortcutsVc::btnsortGroups()
{
    endEditing();
    ManagerSortMenus::groupSortMenu(*m_controller, this)
        ->popup(btnsortGroups_->mapToGlobal(QPoint(0, btnsortGroups_->height())));
}

void MakeshortcutsVc::showGroupsMenu(const QPoint &pos)
{
    endEditing();
    if (m_blackLayer.isHeld())
        return;
    const QModelIndex index = tblviewgroup->indexAt(pos);
    if (index.isValid() && index.row() != m_controller->selectedRow())
        m_controller->selectGroup(index.row());
    if (m_controller->selectedRow() < 0)
        return;
    auto *groupsMenu = new QMenu(this);
    groupsMenu->setObjectName(QStringLiteral("groupsMenu"));
    groupsMenu->setAttribute(Qt::WA_DeleteOnClose);
    // The entries show the keys that do the same in the list.
    groupsMenu->addAction(LocalizedText("IDS_BR_62"), this, &MakeshortcutsVc::makeLabelStartEditing)
        ->setShortcut(QKeySequence(Qt::Key_F2));
    groupsMenu->addAction(LocalizedText("IDS_BR_63"), this, &MakeshortcutsVc::alertforDeletegroup)
        ->setShortcut(QKeySequence(QKeySequence::Delete));
    groupsMenu->popup(tblviewgroup->viewport()->mapToGlobal(pos));
}

void MakeshortcutsVc::changegroupBoxColor(int row, const QRect &anchor)
{
    if (row < 0 || row >= m_services.favorites.groups().size())
        return;
    Rowforcolorchange = row;
    m_services.selectTagvc.openBeside(anchor, true);
}

// Items pane

int MakeshortcutsVc::selectedItemRow() const
{
    return tblviewItems->selectedRow();
}

void MakeshortcutsVc::btnAddItem()
{
    showAddMenu(btnAddItem_);
}

void MakeshortcutsVc::showAddMenu(QWidget *anchor)
{
    if (m_controller->selectedRow() < 0 || !m_services.favorites.preferences().hasObjectForKey(StoreKeys::allgroups))
        return;
    endEditing();
    m_services.viewLinks.editMode = false;
    QMenu *itemmenu = QuickListMenus::addItemMenu({[this] { AddFileFolders(); }, [this] { AddWebBookmark(); },
                                                   [this] { AddTextSnnipet(); }, [this] { AddColorSwitch(); }},
                                                  this);
    itemmenu->popup(anchor->mapToGlobal(QPoint(0, anchor->height())));
}

void MakeshortcutsVc::AddFileFolders()
{
    if (m_controller->selectedRow() < 0)
        return;
    std::optional<QString> path;
    {
        const DimmingLayer::Scope dimmed(m_blackLayer);
        path = m_chooseFile ? m_chooseFile(this) : FileOrFolderDialog::choose(window());
    }
    if (path)
        m_controller->addDroppedFiles({*path});
}

void MakeshortcutsVc::AddWebBookmark()
{
    m_services.viewLinks.editMode = false;
    openAddPanel(PanelKind::webBookmark, std::nullopt);
}

void MakeshortcutsVc::AddTextSnnipet()
{
    m_services.viewLinks.editMode = false;
    openAddPanel(PanelKind::textFile, std::nullopt);
}

void MakeshortcutsVc::AddColorSwitch()
{
    m_services.viewLinks.editMode = false;
    openAddPanel(PanelKind::colorWell, std::nullopt);
}

CharacterPalette &MakeshortcutsVc::palette()
{
    if (!m_palette)
        m_palette = new CharacterPalette(m_services.preferences, this);
    return *m_palette;
}

void MakeshortcutsVc::holdDimming(QWidget *panel)
{
    m_blackLayer.hold();
    connect(qobject_cast<QDialog *>(panel), &QDialog::finished, this, [this] { m_blackLayer.release(); },
            Qt::SingleShotConnection);
}

void MakeshortcutsVc::openAddPanel(PanelKind kind, const std::optional<QVariantMap> &edited)
{
    if (m_controller->selectedRow() < 0)
        return;
    if (!m_addPanelvc) {
        const ItemServices itemServices{m_services.favorites,   m_services.supportFiles, m_services.fileBookmarks,
                                        m_services.sortSettings, m_services.viewLinks,  m_services.faviconFetcher};
        m_addPanelvc = new AddPanelvc(itemServices, palette(), this);
        connect(m_addPanelvc, &AddPanelvc::saved, m_controller, &ManagerController::selectedItemsStored);
    }
    holdDimming(m_addPanelvc);
    m_addPanelvc->showPanel(kind, m_controller->selectedGroupTitle(), edited);
}

void MakeshortcutsVc::editRow(int row)
{
    const auto item = m_controller->shownItem(row);
    if (!item || !Records::uid(*item))
        return;
    if (tblviewItems->selectedRow() != row)
        tblviewItems->setCurrentIndex(m_itemsModel->index(row));
    m_services.viewLinks.editMode = true;
    switch (Records::kindOf(*item)) {
    case ItemKind::normalFile:
        if (!m_editFileFolderitemvc) {
            const ItemServices itemServices{m_services.favorites,   m_services.supportFiles, m_services.fileBookmarks,
                                            m_services.sortSettings, m_services.viewLinks,  m_services.faviconFetcher};
            m_editFileFolderitemvc = new EditFileFolderitemvc(itemServices, palette(), this);
            connect(m_editFileFolderitemvc, &EditFileFolderitemvc::saved, m_controller,
                    &ManagerController::selectedItemsStored);
        }
        holdDimming(m_editFileFolderitemvc);
        m_editFileFolderitemvc->showPanel(m_controller->selectedGroupTitle(), *item);
        break;
    case ItemKind::bookmark:
        openAddPanel(PanelKind::webBookmark, item);
        break;
    case ItemKind::text:
        openAddPanel(PanelKind::textFile, item);
        break;
    case ItemKind::color:
        openAddPanel(PanelKind::colorWell, item);
        break;
    case ItemKind::unknown:
        break;
    }
}

void MakeshortcutsVc::menuitem_edit()
{
    editRow(selectedItemRow());
}

void MakeshortcutsVc::menuitem_Open()
{
    m_controller->revealItem(selectedItemRow());
}

void MakeshortcutsVc::menuitem_QuickLook()
{
    const auto item = m_controller->shownItem(selectedItemRow());
    const auto path = item ? ManagerController::filePathOf(*item) : std::nullopt;
    if (!path)
        return;
    if (!m_previewWindow)
        m_previewWindow = new PreviewWindow(this);
    QPointer<PreviewWindow> window = m_previewWindow;
    const QString file = *path;
    const bool asked = m_services.desktop.previewer.toggleFile(file, [window, file] {
        if (window)
            window->showFile(file);
    });
    if (!asked)
        m_previewWindow->toggle(file);
}

void MakeshortcutsVc::PinItem()
{
    m_controller->PinItem(selectedItemRow());
}

void MakeshortcutsVc::btnremoveItem()
{
    endEditing();
    alertforRemoveItem();
}

void MakeshortcutsVc::alertforRemoveItem()
{
    const auto item = m_controller->shownItem(selectedItemRow());
    if (!item)
        return;
    const auto uid = Records::uid(*item);
    // The alert names the item, so that a key press cannot remove another
    // one than the user thinks.
    ManagerAlert::show(this, m_blackLayer, LocalizedText("IDS_BR_79"), Records::title(*item),
                       {LocalizedText("IDS_BR_77"), LocalizedText("IDS_BR_78")}, [this, uid](int button) {
                           if (button != 0 || !uid)
                               return;
                           const int row = m_controller->shownRowOfUid(*uid);
                           m_controller->removeItem(row);
                           // The next item takes the removed one's place, as
                           // in a file manager, so Delete can go on.
                           const int count = m_itemsModel->rowCount();
                           if (row >= 0 && count > 0)
                               tblviewItems->setCurrentIndex(m_itemsModel->index(qMin(row, count - 1)));
                       });
}

void MakeshortcutsVc::btnsortItems()
{
    endEditing();
    ManagerSortMenus::itemSortMenu(*m_controller, this)
        ->popup(btnsortItems_->mapToGlobal(QPoint(0, btnsortItems_->height())));
}

void MakeshortcutsVc::showItemsMenu(const QPoint &pos)
{
    endEditing();
    if (m_blackLayer.isHeld())
        return;
    const QModelIndex index = tblviewItems->indexAt(pos);
    if (index.isValid())
        tblviewItems->setCurrentIndex(index);
    const auto item = m_controller->shownItem(selectedItemRow());
    if (!item)
        return;
    const bool isFile = StoredValue::flagIn(*item, RecordKeys::isnormalFile);
    auto *listMenu = new QMenu(this);
    listMenu->setObjectName(QStringLiteral("listMenu"));
    listMenu->setAttribute(Qt::WA_DeleteOnClose);
    // The entries show the keys that do the same in the list.
    listMenu->addAction(LocalizedText("IDS_BR_64"), this, &MakeshortcutsVc::menuitem_edit)
        ->setShortcut(QKeySequence(Qt::Key_F2));
    listMenu->addAction(LocalizedText("IDS_BR_65"), this, &MakeshortcutsVc::menuitem_Open)->setEnabled(isFile);
    // (Space, the list's preview key, is left off: in the menu it picks the
    // highlighted entry.)
    listMenu->addAction(LocalizedText("IDS_BR_66"), this, &MakeshortcutsVc::menuitem_QuickLook)->setEnabled(isFile);
    listMenu->addAction(LocalizedText("IDS_BR_67"), this, &MakeshortcutsVc::alertforRemoveItem)
        ->setShortcut(QKeySequence(QKeySequence::Delete));
    listMenu->addAction(LocalizedText(item->contains(RecordKeys::isPin) ? "IDS_BR_138" : "IDS_BR_137"), this,
                        &MakeshortcutsVc::PinItem);
    listMenu->popup(tblviewItems->viewport()->mapToGlobal(pos));
}

void MakeshortcutsVc::Items_doubleclicked()
{
    const int row = selectedItemRow();
    switch (m_controller->openItem(row)) {
    case ManagerController::Open::copiedColor:
        showCopiedTip(row);
        break;
    case ManagerController::Open::missing:
        ManagerAlert::show(this, m_blackLayer, LocalizedText("IDS_BR_321"),
                           LocalizedText("IDS_BR_322").arg(Records::text(*m_controller->shownItem(row), RecordKeys::url)),
                           {LocalizedText("IDS_BR_2")}, {});
        break;
    default:
        break;
    }
}

void MakeshortcutsVc::showCopiedTip(int row)
{
    const QRect rect = tblviewItems->visualRect(m_itemsModel->index(row));
    const QPoint at = tblviewItems->viewport()->mapToGlobal(QPoint(rect.center().x(), rect.top()));
    QToolTip::showText(at, LocalizedText("IDS_BR_27"), tblviewItems, QRect(), tooltipMs);
}

void MakeshortcutsVc::scrolltoLastAddedItemWithUid(qint64 uid)
{
    const int row = m_controller->shownRowOfUid(uid);
    if (row < 0)
        return;
    const QModelIndex index = m_itemsModel->index(row);
    tblviewItems->scrollTo(index);
    tblviewItems->setCurrentIndex(index);
}

bool MakeshortcutsVc::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (watched == tblviewgroup && plain && !tblviewgroup->isEditing()
        && key->key() == Qt::Key_Delete) {
        btnremovegroup();
        return true;
    }
    if (watched == tblviewItems && plain) {
        switch (key->key()) {
        case Qt::Key_Delete:
            alertforRemoveItem();
            return true;
        case Qt::Key_F2:
            menuitem_edit();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            Items_doubleclicked();
            return true;
        case Qt::Key_Space:
            menuitem_QuickLook();
            return true;
        default:
            break;
        }
    }
    if (watched == searchtextfield && key->key() == Qt::Key_Escape && !searchtextfield->text().isEmpty()) {
        searchtextfield->clear();
        return true;
    }
    // Down or Return in the search field goes on to the results.
    if (watched == searchtextfield && plain
        && (key->key() == Qt::Key_Down || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
        && m_itemsModel->rowCount() > 0) {
        if (selectedItemRow() < 0)
            tblviewItems->setCurrentIndex(m_itemsModel->index(0));
        tblviewItems->setFocus(Qt::TabFocusReason);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
