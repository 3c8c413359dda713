#include "manager/ItemsPane.h"

#include "items/FaviconFetcher.h"
#include "manager/ItemPanels.h"
#include "manager/ItemsListView.h"
#include "manager/ItemsModel.h"
#include "manager/ManagerGroups.h"
#include "manager/ManagerItems.h"
#include "manager/ManagerSortMenus.h"
#include "manager/PaneWidgets.h"
#include "manager/PreviewWindow.h"
#include "platform/FilePreviewer.h"
#include "quicklist/ItemOpener.h"
#include "quicklist/QuickListMenus.h"
#include "quicklist/UndoActions.h"
#include "store/FavoritesStore.h"
#include "store/LocalizedText.h"
#include "store/TextKeys.h"
#include "store/ViewLinks.h"
#include "widgets/DimmingLayer.h"
#include "widgets/ManagerAlert.h"

#include <QBoxLayout>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>
#include <QToolTip>

namespace {

constexpr int tooltipMs = 2000;

} // namespace

ItemsPane::ItemsPane(ManagerGroups &groups, ManagerItems &items, GroupsDropTarget &drops,
                     const ManagerServices &services, DimmingLayer &blackLayer, std::function<void()> endGroupEditing,
                     QWidget *parent)
    : QWidget(parent)
    , m_groups(groups)
    , m_items(items)
    , m_services(services)
    , m_blackLayer(blackLayer)
    , m_endGroupEditing(std::move(endGroupEditing))
    , m_itemsModel(new ItemsModel(items, services.supportFiles, this))
    , m_panels(new ItemPanels(groups, items, services, blackLayer, this))
{
    setObjectName(QStringLiteral("itemsPane"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 8, 8, 8);
    auto *top = new QHBoxLayout;
    top->addWidget(PaneWidgets::heading(Text::itemsHeading, QStringLiteral("lblitemstitle"), this));
    top->addStretch();
    searchtextfield = new QLineEdit(this);
    searchtextfield->setObjectName(QStringLiteral("searchtextfield"));
    searchtextfield->setPlaceholderText(LocalizedText(Text::searchThisGroup));
    searchtextfield->setAccessibleName(LocalizedText(Text::searchThisGroup));
    searchtextfield->setClearButtonEnabled(true);
    searchtextfield->installEventFilter(this);
    top->addWidget(searchtextfield, 1);
    layout->addLayout(top);

    itemsStack = new QStackedWidget(this);
    tblviewItems = new ItemsListView(items, drops, itemsStack);
    tblviewItems->setAccessibleName(LocalizedText(Text::itemsHeading));
    tblviewItems->installEventFilter(this);
    itemsStack->addWidget(tblviewItems);
    buildEmptyBox();
    itemsStack->addWidget(boxNoItem);
    layout->addWidget(itemsStack, 1);

    auto *bar = new QHBoxLayout;
    m_addItemButton = PaneWidgets::barButton(QStringLiteral("brnAddRemoveItems_add"), QStringLiteral("+"),
                                             LocalizedText(Text::addItem), this);
    m_removeItemButton = PaneWidgets::barButton(QStringLiteral("brnAddRemoveItems_remove"), QString(QChar(0x2212)),
                                                LocalizedText(Text::removeItemTitle), this);
    m_sortItemsButton = PaneWidgets::sortButton(QStringLiteral("btnsortItems"), Text::sortItems, this);
    bar->addWidget(m_addItemButton);
    bar->addWidget(m_removeItemButton);
    bar->addStretch();
    bar->addWidget(m_sortItemsButton);
    layout->addLayout(bar);

    tblviewItems->setModel(m_itemsModel);

    // The selected item stays selected as the search starts, narrows or ends.
    connect(searchtextfield, &QLineEdit::textChanged, this, [this](const QString &text) {
        if (m_clearingSearch)
            return;
        const auto selected = m_items.shownItem(selectedItemRow());
        m_items.search(text);
        if (const auto uid = selected ? selected->uid() : std::nullopt)
            scrolltoLastAddedItemWithUid(*uid);
    });
    connect(m_addItemButton, &QToolButton::clicked, this, &ItemsPane::addItemClicked);
    connect(m_removeItemButton, &QToolButton::clicked, this, &ItemsPane::btnremoveItem);
    connect(m_sortItemsButton, &QToolButton::clicked, this, &ItemsPane::btnsortItems);
    connect(tblviewItems, &QWidget::customContextMenuRequested, this, &ItemsPane::showItemsMenu);
    connect(tblviewItems, &QAbstractItemView::doubleClicked, this, &ItemsPane::Items_doubleclicked);
    connect(tblviewItems, &ItemsListView::editClicked, this, &ItemsPane::editRow);
    connectItems();
}

void ItemsPane::buildEmptyBox()
{
    boxNoItem = new QWidget(itemsStack);
    boxNoItem->setObjectName(QStringLiteral("boxNoItem"));
    auto *empty = new QVBoxLayout(boxNoItem);
    auto *lbltitleNoitems = PaneWidgets::heading(Text::noItemsYetTitle, QStringLiteral("lbltitleNoitems"), boxNoItem);
    lbltitleNoitems->setAlignment(Qt::AlignCenter);
    auto *lbldescriptionN0items = new QLabel(LocalizedText(Text::noItemsYetHint), boxNoItem);
    lbldescriptionN0items->setObjectName(QStringLiteral("lbldescriptionN0items"));
    lbldescriptionN0items->setWordWrap(true);
    lbldescriptionN0items->setAlignment(Qt::AlignCenter);
    auto *btnAddNewItem = new QPushButton(LocalizedText(Text::addItem), boxNoItem);
    btnAddNewItem->setObjectName(QStringLiteral("btnAddNewItem"));
    empty->addStretch();
    empty->addWidget(lbltitleNoitems);
    empty->addWidget(lbldescriptionN0items);
    empty->addWidget(btnAddNewItem, 0, Qt::AlignCenter);
    empty->addStretch();
    connect(btnAddNewItem, &QPushButton::clicked, this, [this, btnAddNewItem] { showAddMenu(btnAddNewItem); });
}

void ItemsPane::connectItems()
{
    connect(&m_groups, &ManagerGroups::groupsReset, this, &ItemsPane::updateControls);
    connect(&m_items, &ManagerItems::itemsReset, this, &ItemsPane::updateControls);
    connect(&m_items, &ManagerItems::itemToReveal, this, &ItemsPane::scrolltoLastAddedItemWithUid);
    // Cleared without searching again; not with the signals blocked, which
    // would leave the field's clear button up.
    connect(&m_items, &ManagerItems::searchEnded, this, [this] {
        m_clearingSearch = true;
        searchtextfield->clear();
        m_clearingSearch = false;
    });
    // Remove acts on the selected item: without one it is off.
    connect(tblviewItems->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { m_removeItemButton->setEnabled(selectedItemRow() >= 0); });
    connect(&m_services.faviconFetcher, &FaviconFetcher::iconSaved, m_itemsModel, &ItemsModel::iconFileChanged);
}

void ItemsPane::updateControls()
{
    const bool hasGroups = m_groups.groupCount() > 0;
    const bool hasItems = !m_items.selectedGroupItems().isEmpty();
    m_addItemButton->setEnabled(hasGroups);
    m_removeItemButton->setEnabled(selectedItemRow() >= 0);
    const bool showEmptyBox = !m_items.searchBegin() && !hasItems && hasGroups;
    tblviewItems->setEmptyText(m_items.searchBegin() ? LocalizedText(Text::noSearchMatches) : QString());
    itemsStack->setCurrentWidget(showEmptyBox ? boxNoItem : static_cast<QWidget *>(tblviewItems));
}

void ItemsPane::focusSearch()
{
    searchtextfield->setFocus(Qt::ShortcutFocusReason);
    searchtextfield->selectAll();
}

int ItemsPane::selectedItemRow() const
{
    return tblviewItems->selectedRow();
}

void ItemsPane::addItemClicked()
{
    showAddMenu(m_addItemButton);
}

void ItemsPane::showAddMenu(QWidget *anchor)
{
    if (m_groups.selectedRow() < 0 || !m_services.favorites.hasGroupList())
        return;
    m_endGroupEditing();
    ItemPanels *panels = m_panels;
    QMenu *itemmenu = QuickListMenus::addItemMenu(
        {[panels] { panels->AddFileFolders(); }, [panels] { panels->AddWebBookmark(); },
         [panels] { panels->AddTextSnnipet(); }, [panels] { panels->AddColorSwitch(); }},
        this);
    itemmenu->popup(anchor->mapToGlobal(QPoint(0, anchor->height())));
}

void ItemsPane::editRow(int row)
{
    const auto item = m_items.shownItem(row);
    if (!item || !item->uid())
        return;
    if (tblviewItems->selectedRow() != row)
        tblviewItems->setCurrentIndex(m_itemsModel->index(row));
    m_panels->edit(*item);
}

void ItemsPane::menuitem_edit()
{
    editRow(selectedItemRow());
}

void ItemsPane::menuitem_Open()
{
    const auto item = m_items.shownItem(selectedItemRow());
    const auto path = item ? ManagerItems::filePathOf(*item) : std::nullopt;
    if (!path)
        return;
    // The file manager may answer after the pane is gone.
    m_items.revealItem(selectedItemRow(),
                       [pane = QPointer<ItemsPane>(this), text = ItemOpener::revealFailureText(*path)] {
                           if (pane)
                               pane->alertOpenFailure(text);
                       });
}

void ItemsPane::alertOpenFailure(const QString &text)
{
    ManagerAlert::show(this, m_blackLayer, LocalizedText(Text::couldNotOpenTitle), text, {LocalizedText(Text::ok)}, {});
}

void ItemsPane::menuitem_QuickLook()
{
    const auto item = m_items.shownItem(selectedItemRow());
    const auto path = item ? ManagerItems::filePathOf(*item) : std::nullopt;
    if (!path)
        return;
    if (!m_previewWindow)
        m_previewWindow = new PreviewWindow(this);
    QPointer<PreviewWindow> window = m_previewWindow;
    const QString file = *path;
    // The desktop's previewer has nothing to show for a file that is gone; ours says so.
    const bool asked = QFileInfo::exists(file) && m_services.desktop.previewer.toggleFile(file, [window, file] {
        if (window)
            window->showFile(file);
    });
    if (!asked)
        m_previewWindow->toggle(file);
}

void ItemsPane::PinItem()
{
    m_items.PinItem(selectedItemRow());
}

void ItemsPane::btnremoveItem()
{
    m_endGroupEditing();
    alertforRemoveItem();
}

void ItemsPane::alertforRemoveItem()
{
    const auto item = m_items.shownItem(selectedItemRow());
    if (!item)
        return;
    const auto uid = item->uid();
    // The alert names the item, so that a key press cannot remove another
    // one than the user thinks.
    ManagerAlert::confirmRemoval(this, m_blackLayer, LocalizedText(Text::removeItemQuestion), item->title(),
                                 {LocalizedText(Text::continueAction), LocalizedText(Text::cancelAlert)},
                                 [this, uid](int button) {
                                     if (button != 0 || !uid)
                                         return;
                                     const int row = m_items.shownRowOfUid(*uid);
                                     m_items.removeItem(row);
                                     // The next item takes the removed one's place, as
                                     // in a file manager, so Delete can go on.
                                     const int count = m_itemsModel->rowCount();
                                     if (row >= 0 && count > 0)
                                         tblviewItems->setCurrentIndex(m_itemsModel->index(qMin(row, count - 1)));
                                 });
}

void ItemsPane::btnsortItems()
{
    m_endGroupEditing();
    ManagerSortMenus::itemSortMenu(m_items, m_services.sortSettings, this)
        ->popup(m_sortItemsButton->mapToGlobal(QPoint(0, m_sortItemsButton->height())));
}

void ItemsPane::showItemsMenu(const QPoint &pos)
{
    m_endGroupEditing();
    if (m_blackLayer.isHeld())
        return;
    const QModelIndex index = tblviewItems->indexAt(pos);
    if (index.isValid())
        tblviewItems->setCurrentIndex(index);
    const auto item = m_items.shownItem(selectedItemRow());
    if (!item)
        return;
    const bool isFile = item->kind() == ItemKind::normalFile;
    auto *listMenu = new QMenu(this);
    listMenu->setObjectName(QStringLiteral("listMenu"));
    listMenu->setAttribute(Qt::WA_DeleteOnClose);
    // The entries show the keys that do the same in the list.
    listMenu->addAction(LocalizedText(Text::edit), this, &ItemsPane::menuitem_edit)
        ->setShortcut(QKeySequence(Qt::Key_F2));
    listMenu->addAction(LocalizedText(Text::showInFileManager), this, &ItemsPane::menuitem_Open)->setEnabled(isFile);
    // (Space, the list's preview key, is left off: in the menu it picks the
    // highlighted entry.)
    listMenu->addAction(LocalizedText(Text::preview), this, &ItemsPane::menuitem_QuickLook)->setEnabled(isFile);
    listMenu->addAction(LocalizedText(Text::removeItemAction), this, &ItemsPane::alertforRemoveItem)
        ->setShortcut(QKeySequence(QKeySequence::Delete));
    listMenu->addAction(LocalizedText(item->isPinned() ? Text::unpin : Text::pinToTop), this, &ItemsPane::PinItem);
    if (m_undoActions)
        m_undoActions->addTo(listMenu);
    listMenu->popup(tblviewItems->viewport()->mapToGlobal(pos));
}

void ItemsPane::Items_doubleclicked()
{
    const int row = selectedItemRow();
    switch (m_items.openItem(row)) {
    case ManagerItems::Open::copiedColor:
        showCopiedTip(row);
        break;
    case ManagerItems::Open::missing:
        ManagerAlert::show(this, m_blackLayer, LocalizedText(Text::itemTargetMissing),
                           LocalizedText(Text::itemTargetMissingDetail).arg(m_items.shownItem(row)->target()),
                           {LocalizedText(Text::ok)}, {});
        break;
    case ManagerItems::Open::openFailed:
        alertOpenFailure(ItemOpener::openFailureText(*m_items.shownItem(row)));
        break;
    default:
        break;
    }
}

void ItemsPane::showCopiedTip(int row)
{
    const QRect rect = tblviewItems->visualRect(m_itemsModel->index(row));
    const QPoint at = tblviewItems->viewport()->mapToGlobal(QPoint(rect.center().x(), rect.top()));
    QToolTip::showText(at, LocalizedText(Text::colourCodeCopied), tblviewItems, QRect(), tooltipMs);
}

void ItemsPane::scrolltoLastAddedItemWithUid(qint64 uid)
{
    const int row = m_items.shownRowOfUid(uid);
    if (row < 0)
        return;
    const QModelIndex index = m_itemsModel->index(row);
    tblviewItems->scrollTo(index);
    tblviewItems->setCurrentIndex(index);
}

bool ItemsPane::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto *key = static_cast<QKeyEvent *>(event);
    const bool plain = !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
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
