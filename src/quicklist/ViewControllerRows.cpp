#include "quicklist/ViewControllerPrivate.h"

#include "platform/PreferencesStore.h"
#include "platform/StandardOutput.h"
#include "quicklist/AddGroupBox.h"
#include "quicklist/QuickListMenus.h"
#include "quicklist/QuickListView.h"
#include "quicklist/SelectTagVc.h"
#include "store/LocalizedText.h"
#include "store/Records.h"
#include "store/StoreKeys.h"
#include "store/ViewLinks.h"

#include <QCursor>
#include <QMenu>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>

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
    if (itemActions.clickRow(row) == ItemActions::Click::copiedColor)
        showCopiedTooltip(row);
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
    menu->popup(globalPos);
}

void ViewController::Private::addItemClicked(int row)
{
    printLine(QString::number(row));
    const QVariantMap heading = quickList.groupedRecordAt(row);
    if (!StoredValue::isBool(heading.value(RecordKeys::isHeader)))
        return;
    currentGroupName = Records::title(heading);
    services.viewLinks.editMode = false;
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
    // Listing a folder can take a moment: let the click finish drawing first.
    QTimer::singleShot(0, q, [this, row] {
        if (subItemsmenu)
            subItemsmenu->close();
        if (itemActions.folderEntries(row, showFolderContents).isEmpty())
            return;
        subItemsmenu = QuickListMenus::folderContentsMenu(itemActions, q);
        QObject::connect(subItemsmenu, &QMenu::aboutToHide, q, [this] {
            QTimer::singleShot(folderMenuResetMs, q, [this] { menuisopend = false; });
        });
        menuisopend = true;
        const QRect anchor = tableView->globalPartRect(row, RowDelegate::Part::folderContents);
        subItemsmenu->popup(anchor.isEmpty() ? QCursor::pos() : anchor.topRight());
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
    const GroupActions::Creation result = groupActions.createGroup(boxAddGroup->name());
    if (result != GroupActions::Creation::created) {
        boxAddGroup->showMessage(LocalizedText(GroupActions::refusalKey(result)));
        return;
    }
    boxAddGroup->clearMessage();
    q->closeInlineBox();
    // One group per confirmation, however fast the button is pressed again.
    btncreateGroupButton->setEnabled(false);
    QTimer::singleShot(addGroupReenableMs, btncreateGroupButton, [button = btncreateGroupButton] { button->setEnabled(true); });
}
