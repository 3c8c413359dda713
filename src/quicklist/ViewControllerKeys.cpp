#include "quicklist/ViewController.h"

#include "quicklist/ViewControllerPrivate.h"

#include "quicklist/PopoverContainerVc.h"
#include "quicklist/PopupKeys.h"
#include "quicklist/QuickList.h"
#include "quicklist/QuickListModel.h"
#include "quicklist/QuickListView.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

// The popup's keyboard: typing searches, the keys PopupKeys decides on, and
// Tab round the search field and the toolbar.

void ViewController::Private::btnsearchclicked()
{
    container->btnshortcut();
    searchtextfield->show();
    btnsearch->hide();
    imgviewsearch->hide();
    searchtextfield->setFocus(Qt::OtherFocusReason);
}

void ViewController::searchFor(const QString &text)
{
    d->btnsearchclicked();
    d->searchtextfield->setText(text);
}

void ViewController::Private::searchTextChanged(const QString &text)
{
    if (!PopupKeys::searchRuns(text)) {
        // Clearing the field shows the groups again; the field stays open.
        quickList.endSearch();
        tableView->setHoverRow(-1);
        return;
    }
    quickList.beginSearch(text);
    tableView->setHoverRow(PopupKeys::rowAfterSearch(model->rowCount()));
    tableView->scrollToTop();
}

void ViewController::Private::searchFieldDidEndSearching()
{
    {
        const QSignalBlocker blocker(searchtextfield);
        searchtextfield->clear();
    }
    quickList.endSearch();
    tableView->setHoverRow(-1);
    searchtextfield->hide();
    btnsearch->show();
    imgviewsearch->show();
    q->setFocus(Qt::OtherFocusReason);
}

PopupKeys::State ViewController::Private::keyState() const
{
    PopupKeys::State state;
    state.rowCount = model->rowCount();
    state.hoverRow = tableView->hoverRow();
    state.hoverIsHeading = quickList.isHeadingRow(state.hoverRow);
    state.inlineBoxOpen = subViewAdded;
    state.showsTasks = container->showsTasks();
    state.searchFieldShown = searchtextfield->isVisible() || quickList.searchBegin();
    return state;
}

bool ViewController::Private::handleKey(QKeyEvent *event, bool inSearchField)
{
    const PopupKeys::Decision decision =
        PopupKeys::keyPressed(keyState(), event->key(), event->modifiers(), event->text());
    switch (decision.action) {
    case PopupKeys::Action::none:
        return false;
    case PopupKeys::Action::consume:
        return true;
    case PopupKeys::Action::highlight:
        tableView->setHoverRow(decision.row);
        tableView->scrollTo(model->index(decision.row, 0));
        return true;
    case PopupKeys::Action::open:
        rowClicked(decision.row, RowDelegate::Part::body);
        return true;
    case PopupKeys::Action::contextMenu: {
        tableView->scrollTo(model->index(decision.row, 0));
        const QRect row = tableView->globalPartRect(decision.row, RowDelegate::Part::body);
        showContextMenu(decision.row, row.isEmpty() ? QCursor::pos() : row.bottomLeft());
        return true;
    }
    case PopupKeys::Action::focusNext:
    case PopupKeys::Action::focusPrevious:
        moveFocus(decision.action == PopupKeys::Action::focusNext);
        return true;
    case PopupKeys::Action::addItemMenu:
        tableView->scrollTo(model->index(decision.row, 0));
        addItemClicked(decision.row);
        return true;
    case PopupKeys::Action::closeInlineBox:
        q->closeInlineBox();
        return true;
    case PopupKeys::Action::endSearch:
        searchFieldDidEndSearching();
        return true;
    case PopupKeys::Action::closePopup:
        q->closePopover();
        return true;
    case PopupKeys::Action::typeIntoSearch:
        if (inSearchField)
            return false;
        btnsearchclicked();
        searchtextfield->insert(decision.text);
        return true;
    }
    return false;
}

void ViewController::Private::moveFocus(bool forward)
{
    // The ring: where typing goes (the search field, or the popup while no
    // search is shown), then the toolbar's buttons.
    QWidget *typing = searchtextfield->isVisible() ? static_cast<QWidget *>(searchtextfield) : q;
    const QList<QWidget *> ring{typing, btncreateGroupButton, btnsort, btnsettings};
    const int count = int(ring.size());
    const int step = forward ? 1 : count - 1;
    int at = qMax(0, int(ring.indexOf(QApplication::focusWidget())));
    for (int tried = 0; tried < count; ++tried) {
        at = (at + step) % count;
        if (ring[at]->isVisible() && ring[at]->isEnabled()) {
            ring[at]->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
            return;
        }
    }
}

bool ViewController::event(QEvent *event)
{
    // Tab and Backtab would otherwise move the focus before keyPressEvent.
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && d->handleKey(key, false))
            return true;
    }
    return QWidget::event(event);
}

void ViewController::keyPressEvent(QKeyEvent *event)
{
    if (d->handleKey(event, false))
        return;
    // Under an inline box the popup passes nothing on.
    if (d->subViewAdded) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}
