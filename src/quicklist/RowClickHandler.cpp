#include "quicklist/RowClickHandler.h"

#include "quicklist/ColorTagPicker.h"
#include "quicklist/GroupActions.h"
#include "quicklist/ItemActions.h"
#include "quicklist/QuickList.h"
#include "quicklist/QuickListMenus.h"
#include "quicklist/QuickListView.h"
#include "store/LocalizedText.h"

#include <QCursor>
#include <QFuture>
#include <QMenu>
#include <QPromise>
#include <QThreadPool>
#include <QTimer>
#include <QToolTip>

#include <memory>

namespace {

constexpr int tooltipMs = 2000;
constexpr int folderMenuResetMs = 200;

} // namespace

RowClickHandler::RowClickHandler(QuickListView &view, QuickList &quickList, ItemActions &itemActions,
                                 GroupActions &groupActions, ColorTagPicker &picker, QObject *parent)
    : QObject(parent)
    , m_view(view)
    , m_quickList(quickList)
    , m_itemActions(itemActions)
    , m_groupActions(groupActions)
    , m_picker(picker)
{
    connect(&picker, &ColorTagPicker::colorPicked, this, [this](const QColor &color, bool fromMainWindow) {
        if (!fromMainWindow)
            m_groupActions.changeColor(indexForColorChange, color);
    });
}

QWidget *RowClickHandler::window() const
{
    return m_view.window();
}

void RowClickHandler::rowClicked(int row, RowDelegate::Part part)
{
    if (row < 0 || row >= m_quickList.rowCount())
        return;
    if (m_quickList.isHeadingRow(row)) {
        switch (part) {
        case RowDelegate::Part::add:
            Q_EMIT addItemClicked(row);
            return;
        case RowDelegate::Part::color:
            changegroupBoxColor(row);
            return;
        default:
            m_quickList.toggleExpansion(row);
            return;
        }
    }
    if (part == RowDelegate::Part::folderContents) {
        getSubitems(row);
        return;
    }
    switch (m_itemActions.clickRow(row)) {
    case ItemActions::Click::copiedColor:
        showCopiedTooltip(row);
        return;
    case ItemActions::Click::opened:
        // The opened application has the user's attention now; on desktops
        // that do not move the focus to it, the popup would stay in front.
        Q_EMIT opened();
        return;
    default:
        return;
    }
}

void RowClickHandler::showCopiedTooltip(int row)
{
    const QRect rowRect = m_view.globalPartRect(row, RowDelegate::Part::body);
    const QPoint at = rowRect.isEmpty() ? QCursor::pos() : QPoint(rowRect.center().x(), rowRect.top());
    QToolTip::showText(at, LocalizedText("IDS_BR_27"), &m_view, QRect(), tooltipMs);
}

void RowClickHandler::showContextMenu(int row, const QPoint &globalPos)
{
    const ItemActions::ContextMenu entries = m_itemActions.menuWillOpen(row);
    if (entries.empty)
        return;
    const int clicked = row;
    QMenu *menu = QuickListMenus::itemContextMenu(entries, m_itemActions, nullptr,
                                                  [this, clicked] { showCopiedTooltip(clicked); }, window());
    closeAfterOpening(menu);
    menu->popup(globalPos);
}

void RowClickHandler::closeAfterOpening(QMenu *menu)
{
    connect(menu, &QMenu::triggered, this, [this](QAction *action) {
        if (action->property(QuickListMenus::opensSomething).toBool())
            QMetaObject::invokeMethod(this, &RowClickHandler::opened, Qt::QueuedConnection);
    });
}

void RowClickHandler::changegroupBoxColor(int row)
{
    const int index = m_groupActions.indexForColorChange(row);
    if (index < 0)
        return;
    Rowforcolorchange = row;
    indexForColorChange = index;
    const QRect anchor = m_view.globalPartRect(row, RowDelegate::Part::color);
    m_picker.openBeside(anchor.isEmpty() ? QRect(QCursor::pos(), QSize(1, 1)) : anchor, false);
}

void RowClickHandler::getSubitems(int row)
{
    const QString folder = ItemActions::folderPathOf(m_quickList.itemAt(row).value_or(Item()));
    if (folder.isEmpty())
        return;
    const QRect anchor = m_view.globalPartRect(row, RowDelegate::Part::folderContents);
    const QPoint at = anchor.isEmpty() ? QCursor::pos() : anchor.topRight();
    // A folder may be large or on a slow disk: it is listed off the
    // interface thread, and only the answer to the latest click is shown.
    const int request = ++m_folderRequest;
    auto promise = std::make_shared<QPromise<ItemActions::FolderListing>>();
    // The continuation is attached before the listing starts: attached to a
    // future that has already finished, it would run at once, inside the click.
    promise->future().then(this, [this, request, at](const ItemActions::FolderListing &listing) {
        if (request != m_folderRequest || listing.paths.isEmpty() || !window()->isVisible())
            return;
        if (subItemsmenu)
            subItemsmenu->close();
        subItemsmenu = QuickListMenus::folderContentsMenu(listing, m_itemActions, window());
        closeAfterOpening(subItemsmenu);
        connect(subItemsmenu, &QMenu::aboutToHide, this, [this] {
            QTimer::singleShot(folderMenuResetMs, this, [this] { menuisopend = false; });
        });
        menuisopend = true;
        subItemsmenu->popup(at);
    });
    QThreadPool::globalInstance()->start([promise, folder, show = m_showFolderContents] {
        promise->start();
        promise->addResult(ItemActions::listFolder(folder, show));
        promise->finish();
    });
}
