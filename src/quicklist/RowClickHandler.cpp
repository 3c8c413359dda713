#include "quicklist/RowClickHandler.h"

#include "quicklist/ColorTagPicker.h"
#include "quicklist/GroupActions.h"
#include "quicklist/ItemActions.h"
#include "quicklist/PopupKeys.h"
#include "quicklist/QuickList.h"
#include "quicklist/QuickListMenus.h"
#include "quicklist/QuickListModel.h"
#include "quicklist/QuickListView.h"
#include "quicklist/UndoActions.h"
#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <QCursor>
#include <QFuture>
#include <QMenu>
#include <QPointer>
#include <QPromise>
#include <QThreadPool>
#include <QTimer>
#include <QToolTip>

#include <memory>

namespace {

constexpr int tooltipMs = 2000;
// Long enough to read a sentence.
constexpr int failureMs = 6000;
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
    // The popup says what did not open, by the rows, where the user looks.
    m_itemActions.setFailureReporter([handler = QPointer<RowClickHandler>(this)](const QString &text) {
        if (handler)
            handler->showFailure(text);
    });
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

QList<AccessibleRowAction> RowClickHandler::accessibleActions(int row)
{
    if (row < 0 || row >= m_quickList.rowCount())
        return {};
    const auto click = [this, row](RowDelegate::Part part) { return [this, row, part] { rowClicked(row, part); }; };
    const QPoint menuAt = [this, row] {
        const QRect rect = m_view.globalPartRect(row, RowDelegate::Part::body);
        return rect.isEmpty() ? QCursor::pos() : rect.bottomLeft();
    }();
    if (m_quickList.isHeadingRow(row)) {
        const bool expanded = m_quickList.headingAt(row).value_or(Group()).isExpanded();
        return {
            {LocalizedText(expanded ? Text::collapseHeading : Text::expandHeading),
             expanded ? PopupKeys::collapseKeys() : PopupKeys::expandKeys(), click(RowDelegate::Part::expand)},
            {LocalizedText(Text::addItemToHeading), PopupKeys::menuKeys(), [this, row] { Q_EMIT addItemClicked(row); }},
            {LocalizedText(Text::changeColourTag), PopupKeys::colorTagKeys(), click(RowDelegate::Part::color)},
        };
    }
    const ItemActions::ContextMenu entries = m_itemActions.menuEntries(row);
    if (entries.empty)
        return {};
    QList<AccessibleRowAction> actions{
        {LocalizedText(Text::openAction), QKeySequence(Qt::Key_Return), click(RowDelegate::Part::body)}};
    if (opensFolderMenu(row))
        actions.append({LocalizedText(Text::showFolderContents), PopupKeys::expandKeys(),
                        click(RowDelegate::Part::folderContents)});
    actions.append({LocalizedText(Text::showRowMenu), PopupKeys::menuKeys(),
                    [this, row, menuAt] { showContextMenu(row, menuAt); }});
    // The menu's own entries, bound to the item as the menu binds them.
    const Item item = entries.item;
    if (entries.offersReveal && entries.link)
        actions.append(
            {LocalizedText(Text::showInFileManager), {}, [this, link = *entries.link] { m_itemActions.reveal(link); }});
    if (entries.offersCopyColor) {
        actions.append({LocalizedText(Text::copyColourCode), {}, [this, item, row] {
                            if (m_itemActions.copyColorCode(item))
                                showCopiedTooltip(row);
                        }});
    }
    actions.append({LocalizedText(Text::removeItemMenu), {}, [this, item] { m_itemActions.removeItem(item); }});
    actions.append({LocalizedText(entries.pinned ? Text::unpin : Text::pinToTop), {}, [this, item] {
                        m_itemActions.pinItem(item);
                    }});
    return actions;
}

void RowClickHandler::showCopiedTooltip(int row)
{
    const QRect rowRect = m_view.globalPartRect(row, RowDelegate::Part::body);
    const QPoint at = rowRect.isEmpty() ? QCursor::pos() : QPoint(rowRect.center().x(), rowRect.top());
    QToolTip::showText(at, LocalizedText(Text::colourCodeCopied), &m_view, QRect(), tooltipMs);
}

void RowClickHandler::showFailure(const QString &text)
{
    if (!m_view.isVisible()) {
        QToolTip::showText(QCursor::pos(), text, nullptr, QRect(), failureMs);
        return;
    }
    const QRect list(m_view.mapToGlobal(QPoint(0, 0)), m_view.size());
    QToolTip::showText(QPoint(list.center().x(), list.top() + list.height() / 3), text, &m_view, QRect(), failureMs);
}

void RowClickHandler::showContextMenu(int row, const QPoint &globalPos)
{
    const ItemActions::ContextMenu entries = m_itemActions.menuWillOpen(row);
    if (entries.empty)
        return;
    const int clicked = row;
    // A folder's menu also offers its contents (the keyboard's way to its
    // chevron), listed where the menu opened.
    std::function<void()> showContents;
    if (opensFolderMenu(row)) {
        showContents = [this, folder = ItemActions::folderPathOf(entries.item), globalPos] {
            showFolderContents(folder, globalPos);
        };
    }
    QMenu *menu = QuickListMenus::itemContextMenu(
        entries, m_itemActions, nullptr, [this, clicked] { showCopiedTooltip(clicked); }, window(), showContents);
    if (m_undoActions)
        m_undoActions->addTo(menu);
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

bool RowClickHandler::opensFolderMenu(int row) const
{
    return m_view.model() && m_view.model()->index(row, 0).data(int(QuickListModel::Role::opensFolderMenu)).toBool();
}

void RowClickHandler::getSubitems(int row)
{
    const QRect anchor = m_view.globalPartRect(row, RowDelegate::Part::folderContents);
    showFolderContents(ItemActions::folderPathOf(m_quickList.itemAt(row).value_or(Item())),
                       anchor.isEmpty() ? QCursor::pos() : anchor.topRight());
}

void RowClickHandler::showFolderContents(const QString &folder, const QPoint &at)
{
    if (folder.isEmpty())
        return;
    // A folder may be large or on a slow disk: it is listed off the
    // interface thread, and only the answer to the latest click is shown.
    const int request = ++m_folderRequest;
    auto promise = std::make_shared<QPromise<ItemActions::FolderListing>>();
    // The continuation is attached before the listing starts: attached to a
    // future that has already finished, it would run at once, inside the click.
    promise->future().then(this, [this, request, at](const ItemActions::FolderListing &listing) {
        if (request != m_folderRequest || (listing.paths.isEmpty() && !listing.unreadable) || !window()->isVisible())
            return;
        if (subItemsmenu)
            subItemsmenu->close();
        subItemsmenu = QuickListMenus::folderContentsMenu(listing, m_itemActions, window());
        closeAfterOpening(subItemsmenu);
        connect(subItemsmenu, &QMenu::aboutToHide, this,
                [this] { QTimer::singleShot(folderMenuResetMs, this, [this] { menuisopend = false; }); });
        menuisopend = true;
        subItemsmenu->popup(at);
    });
    QThreadPool::globalInstance()->start([promise, folder, show = m_showFolderContents] {
        promise->start();
        promise->addResult(ItemActions::listFolder(folder, show));
        promise->finish();
    });
}
