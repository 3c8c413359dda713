#include "quicklist/ViewControllerPrivate.h"

#include "platform/StandardOutput.h"
#include "quicklist/AddGroupBox.h"
#include "quicklist/QuickListMenus.h"
#include "quicklist/QuickListView.h"
#include "quicklist/SelectTagVc.h"
#include "store/LocalizedText.h"
#include "store/ViewLinks.h"

#include <QCursor>
#include <QFuture>
#include <QMenu>
#include <QPromise>
#include <QThreadPool>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>

#include <memory>

namespace {

constexpr int tooltipMs = 2000;
constexpr int folderMenuResetMs = 200;
constexpr int addGroupReenableMs = 1000;

} // namespace

// Rows

void ViewController::Private::rowClicked(int row, RowDelegate::Part part)
{
    if (subViewAdded || row < 0 || row >= quickList.rowCount())
        return;
    if (quickList.isHeadingRow(row)) {
        switch (part) {
        case RowDelegate::Part::add:
            addItemClicked(row);
            return;
        case RowDelegate::Part::color:
            changegroupBoxColor(row);
            return;
        default:
            quickList.toggleExpansion(row);
            return;
        }
    }
    if (part == RowDelegate::Part::folderContents) {
        getSubitems(row);
        return;
    }
    switch (itemActions.clickRow(row)) {
    case ItemActions::Click::copiedColor:
        showCopiedTooltip(row);
        return;
    case ItemActions::Click::opened:
        // The opened application has the user's attention now; on desktops
        // that do not move the focus to it, the popup would stay in front.
        q->closePopover();
        return;
    default:
        return;
    }
}

void ViewController::Private::showCopiedTooltip(int row)
{
    const QRect rowRect = tableView->globalPartRect(row, RowDelegate::Part::body);
    const QPoint at = rowRect.isEmpty() ? QCursor::pos() : QPoint(rowRect.center().x(), rowRect.top());
    QToolTip::showText(at, LocalizedText("IDS_BR_27"), tableView, QRect(), tooltipMs);
}

void ViewController::Private::showContextMenu(int row, const QPoint &globalPos)
{
    if (subViewAdded)
        return;
    const ItemActions::ContextMenu entries = itemActions.menuWillOpen(row);
    if (entries.empty)
        return;
    const int clicked = row;
    QMenu *menu = QuickListMenus::itemContextMenu(entries, itemActions, nullptr,
                                                  [this, clicked] { showCopiedTooltip(clicked); }, q);
    closeAfterOpening(menu);
    menu->popup(globalPos);
}

void ViewController::Private::closeAfterOpening(QMenu *menu)
{
    // Entries that open something (in a submenu too) close the popup once
    // the menu has finished with them.
    QObject::connect(menu, &QMenu::triggered, q, [this](QAction *action) {
        if (action->property(QuickListMenus::opensSomething).toBool())
            QMetaObject::invokeMethod(q, &ViewController::closePopover, Qt::QueuedConnection);
    });
}

void ViewController::Private::addItemClicked(int row)
{
    printLine(QString::number(row));
    const auto heading = quickList.headingAt(row);
    if (!heading)
        return;
    currentGroupName = heading->title();
    const std::array<std::function<void()>, 4> entries{
        addHandlers[0] ? std::function<void()>([this] { q->AddFileFolders(); }) : nullptr,
        addHandlers[1] ? std::function<void()>([this] { q->AddWebBookmark(); }) : nullptr,
        addHandlers[2] ? std::function<void()>([this] { q->AddTextSnnipet(); }) : nullptr,
        addHandlers[3] ? std::function<void()>([this] { q->AddColorSwitch(); }) : nullptr,
    };
    QMenu *itemmenu = QuickListMenus::addItemMenu(entries, q);
    const QRect anchor = tableView->globalPartRect(row, RowDelegate::Part::add);
    itemmenu->popup(anchor.isEmpty() ? QCursor::pos() : anchor.bottomLeft());
}

void ViewController::Private::changegroupBoxColor(int row)
{
    const int index = groupActions.indexForColorChange(row);
    if (index < 0)
        return;
    Rowforcolorchange = row;
    indexForColorChange = index;
    const QRect anchor = tableView->globalPartRect(row, RowDelegate::Part::color);
    services.selectTagvc.openBeside(anchor.isEmpty() ? QRect(QCursor::pos(), QSize(1, 1)) : anchor, false);
}

void ViewController::Private::getSubitems(int row)
{
    const QString folder = ItemActions::folderPathOf(quickList.itemAt(row).value_or(Item()));
    if (folder.isEmpty())
        return;
    const QRect anchor = tableView->globalPartRect(row, RowDelegate::Part::folderContents);
    const QPoint at = anchor.isEmpty() ? QCursor::pos() : anchor.topRight();
    // A folder may be large or on a slow disk: it is listed off the
    // interface thread, and only the answer to the latest click is shown.
    const int request = ++folderRequest;
    auto promise = std::make_shared<QPromise<ItemActions::FolderListing>>();
    // The continuation is attached before the listing starts: attached to a
    // future that has already finished, it would run at once, inside the click.
    promise->future().then(q, [this, request, at](const ItemActions::FolderListing &listing) {
        if (request != folderRequest || listing.paths.isEmpty() || !q->isVisible())
            return;
        if (subItemsmenu)
            subItemsmenu->close();
        subItemsmenu = QuickListMenus::folderContentsMenu(listing, itemActions, q);
        closeAfterOpening(subItemsmenu);
        QObject::connect(subItemsmenu, &QMenu::aboutToHide, q, [this] {
            QTimer::singleShot(folderMenuResetMs, q, [this] { menuisopend = false; });
        });
        menuisopend = true;
        subItemsmenu->popup(at);
    });
    QThreadPool::globalInstance()->start([promise, folder, show = showFolderContents] {
        promise->start();
        promise->addResult(ItemActions::listFolder(folder, show));
        promise->finish();
    });
}

// Groups

void ViewController::Private::btncreateGroup()
{
    boxAddGroup->clear();
    q->showInlineBox(boxAddGroup);
    boxAddGroup->focusName();
}

void ViewController::Private::btnadd_boxaddGroup()
{
    const FavoritesStore::GroupCreation result = groupActions.createGroup(boxAddGroup->name());
    if (result != FavoritesStore::GroupCreation::created) {
        boxAddGroup->showMessage(LocalizedText(GroupActions::refusalKey(result)));
        return;
    }
    boxAddGroup->clearMessage();
    q->closeInlineBox();
    // One group per confirmation, however fast the button is pressed again.
    btncreateGroupButton->setEnabled(false);
    QTimer::singleShot(addGroupReenableMs, btncreateGroupButton, [button = btncreateGroupButton] { button->setEnabled(true); });
}
