#include "quicklist/QuickListPage.h"

#include "platform/StandardOutput.h"
#include "quicklist/AddGroupBox.h"
#include "quicklist/PopupAccessibility.h"
#include "quicklist/QuickListMenus.h"
#include "quicklist/QuickListModel.h"
#include "quicklist/QuickListToolbar.h"
#include "quicklist/QuickListView.h"
#include "quicklist/RowClickHandler.h"
#include "quicklist/UndoActions.h"
#include "store/FavoritesStore.h"
#include "store/LocalizedText.h"
#include "store/Settings.h"
#include "store/Sorting.h"
#include "store/TextKeys.h"
#include "store/ViewLinks.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

namespace {

constexpr int addGroupReenableMs = 1000;

bool isTabKey(const QKeyEvent *key)
{
    return key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
}

} // namespace

QuickListPage::QuickListPage(const QuickListServices &services, QWidget *parent)
    : QWidget(parent)
    , m_services(services)
    , m_quickList(services.favorites)
    , m_itemActions(m_quickList, services.favorites, services.sortSettings, services.supportFiles, services.viewLinks,
                    services.desktop, services.history)
    , m_groupActions(m_quickList, services.favorites, services.sortSettings, services.viewLinks, services.history)
{
    setObjectName(QStringLiteral("quickListPage"));
    m_toolbar = new QuickListToolbar(this);
    tableView = new QuickListView(this);
    PopupAccessibility::installList(tableView, [this](int row) { return m_rows->accessibleActions(row); });
    tableView->setAccessibleName(LocalizedText(Text::favouritesTitle));
    tableView->setRowDelegate(new RowDelegate(tableView));
    m_model = new QuickListModel(m_quickList, services.supportFiles, this);
    tableView->setModel(m_model);
    m_rows = new RowClickHandler(*tableView, m_quickList, m_itemActions, m_groupActions, services.selectTagvc, this);
    m_drops = new PopupDropTarget(*tableView, m_quickList, this);
    if (services.history) {
        // The popup closes when it loses the focus: what could not be
        // undone is told in a tip, not an alert.
        m_rows->setUndoActions(new UndoActions(*services.history, this, [this](const QString &message) {
            QToolTip::showText(tableView->mapToGlobal(tableView->rect().center()), message, tableView);
        }));
    }
    buildEmptyState();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolbar);
    layout->addWidget(tableView, 1);
    layout->addWidget(m_emptyState, 1);
    layout->addWidget(m_noResults, 1);

    boxAddGroup = new AddGroupBox(this);
    boxAddGroup->hide();
    connectToolbar();

    // Rows do nothing while an inline box covers them.
    connect(tableView, &QuickListView::rowClicked, this, [this](int row, RowDelegate::Part part) {
        if (!m_subViewAdded)
            m_rows->rowClicked(row, part);
    });
    connect(tableView, &QuickListView::contextMenuRequested, this, [this](int row, const QPoint &at) {
        if (!m_subViewAdded)
            m_rows->showContextMenu(row, at);
    });
    // The row under the pointer goes to standard output; a highlight moved
    // by the keys or a search does not.
    connect(tableView, &QuickListView::pointerEnteredRow, this, [](int row) { printLine(QString::number(row)); });
    connect(m_rows, &RowClickHandler::opened, this, &QuickListPage::closeRequested);
    connect(m_rows, &RowClickHandler::addItemClicked, this, &QuickListPage::addItemClicked);
    connect(&m_quickList, &QuickList::rebuilt, this, [this] {
        if (tableView->hoverRow() >= m_model->rowCount())
            tableView->setHoverRow(-1);
        updateEmptyState();
    });
    connect(&services.viewLinks, &ViewLinks::quickListReloadRequested, this, &QuickListPage::reloadQuickList);

    reloadQuickList();
    // The stored order follows the current item sort; the rows show it at
    // their next rebuild.
    Sorting::sortAllGroupItems(services.favorites, m_quickList.grouparr(), services.sortSettings);
    services.viewLinks.popoverListLoaded = true;
}

QuickListPage::~QuickListPage()
{
    m_services.viewLinks.popoverListLoaded = false;
}

void QuickListPage::buildEmptyState()
{
    // Without any group, a line says what groups are for and a button
    // creates the first one.
    m_emptyState = new QWidget(this);
    m_emptyState->setObjectName(QStringLiteral("emptyState"));
    auto *emptyText = new QLabel(LocalizedText(Text::noGroupsYet), m_emptyState);
    emptyText->setObjectName(QStringLiteral("lblemptyList"));
    emptyText->setWordWrap(true);
    emptyText->setAlignment(Qt::AlignCenter);
    auto *createFirst = new QPushButton(LocalizedText(Text::createFirstGroup), m_emptyState);
    createFirst->setObjectName(QStringLiteral("btncreateFirstGroup"));
    auto *layout = new QVBoxLayout(m_emptyState);
    layout->setContentsMargins(32, 24, 32, 24);
    layout->addStretch();
    layout->addWidget(emptyText);
    layout->addSpacing(8);
    layout->addWidget(createFirst, 0, Qt::AlignHCenter);
    layout->addStretch(2);
    m_emptyState->hide();
    connect(createFirst, &QPushButton::clicked, this, &QuickListPage::btncreateGroup);

    // A search that finds nothing says so.
    m_noResults = new QLabel(LocalizedText(Text::noSearchMatches), this);
    m_noResults->setObjectName(QStringLiteral("lblnoResults"));
    m_noResults->setAlignment(Qt::AlignCenter);
    m_noResults->setWordWrap(true);
    m_noResults->setForegroundRole(QPalette::PlaceholderText);
    m_noResults->hide();
}

void QuickListPage::connectToolbar()
{
    m_toolbar->searchField()->installEventFilter(this);
    // Tab on a toolbar button goes on round the popup's ring, not along
    // the window's focus chain; other keys reach the popup as usual.
    for (QWidget *button : m_toolbar->buttons())
        button->installEventFilter(this);

    connect(m_toolbar, &QuickListToolbar::searchClicked, this, &QuickListPage::btnsearchclicked);
    connect(m_toolbar, &QuickListToolbar::searchTextChanged, this, &QuickListPage::searchTextChanged);
    connect(m_toolbar, &QuickListToolbar::createGroupClicked, this, &QuickListPage::btncreateGroup);
    connect(boxAddGroup, &AddGroupBox::addClicked, this, &QuickListPage::btnadd_boxaddGroup);
    connect(boxAddGroup, &AddGroupBox::cancelClicked, this, &QuickListPage::closeInlineBox);
    connect(m_toolbar, &QuickListToolbar::sortClicked, this, [this](const QPoint &at) {
        QuickListMenus::sortMenu(m_services.sortSettings, m_groupActions, nullptr, window())->popup(at);
    });
    connect(m_toolbar, &QuickListToolbar::settingsClicked, this, [this](const QPoint &at) {
        QMenu *menu = QuickListMenus::settingsMenu(
            [this] {
                Q_EMIT closeRequested();
                Q_EMIT manageShortcutRequested();
            },
            [this] {
                Q_EMIT closeRequested();
                Q_EMIT showPreferencesRequested();
            },
            [this] { Q_EMIT quitRequested(); }, window());
        menu->popup(at);
    });
}

void QuickListPage::reloadQuickList()
{
    m_quickList.reloadQuickList();
}

void QuickListPage::showAddedItem(const QString &groupTitle)
{
    m_quickList.expandGroup(groupTitle);
}

void QuickListPage::updateEmptyState()
{
    const bool empty = m_quickList.grouparr().isEmpty() && !m_quickList.searchBegin();
    const bool nothingFound = m_quickList.searchBegin() && m_quickList.rowCount() == 0;
    m_emptyState->setVisible(empty);
    m_noResults->setVisible(nothingFound);
    tableView->setVisible(!empty && !nothingFound);
}

void QuickListPage::setDropHandler(PopupDropTarget::Handler handler)
{
    m_drops->setHandler(std::move(handler));
}

void QuickListPage::aboutToShow()
{
    m_rows->setShowFolderContents(Settings(m_services.preferences).showsFileListInFolder());
}

void QuickListPage::focusTyping()
{
    if (m_toolbar->isSearchFieldShown())
        m_toolbar->searchField()->setFocus(Qt::PopupFocusReason);
    else
        window()->setFocus(Qt::PopupFocusReason);
}

void QuickListPage::hidden()
{
    tableView->setHoverRow(-1);
    // The popup opens again on the groups with an empty search: what is
    // typed then starts a new search instead of lengthening a forgotten one,
    // and a screen reader meets the groups rather than stale results.
    if (m_toolbar->isSearchFieldShown() || m_quickList.searchBegin()) {
        m_toolbar->closeSearchField();
        m_quickList.endSearch();
    }
}

// Inline boxes

void QuickListPage::showInlineBox(QWidget *box)
{
    if (!box)
        return;
    if (m_inlineBox && m_inlineBox != box)
        m_inlineBox->hide();
    Q_EMIT listTabRequested();
    if (box->parentWidget() != this)
        box->setParent(this);
    box->setGeometry(rect());
    box->show();
    box->raise();
    m_inlineBox = box;
    m_subViewAdded = true;
    tableView->setHoverEnabled(false);
    // The box covers the toolbar: Tab stays among the box's own fields.
    m_toolbar->setEnabled(false);
    QWidget *first = box->focusProxy() ? box->focusProxy() : box->nextInFocusChain();
    if (first && box->isAncestorOf(first))
        first->setFocus(Qt::OtherFocusReason);
    else
        box->setFocus(Qt::OtherFocusReason);
}

void QuickListPage::closeInlineBox()
{
    if (m_inlineBox)
        m_inlineBox->hide();
    m_inlineBox = nullptr;
    m_subViewAdded = false;
    tableView->setHoverEnabled(true);
    m_toolbar->setEnabled(true);
    window()->setFocus(Qt::OtherFocusReason);
}

void QuickListPage::resizeEvent(QResizeEvent *event)
{
    // Inline boxes cover the whole page, also when it changes size.
    if (m_inlineBox)
        m_inlineBox->setGeometry(rect());
    QWidget::resizeEvent(event);
}

// The add-item menu

void QuickListPage::setAddItemHandler(AddItemKind kind, std::function<void()> handler)
{
    m_addHandlers[size_t(kind)] = std::move(handler);
}

void QuickListPage::runAddHandler(AddItemKind kind) const
{
    if (const auto &handler = m_addHandlers[size_t(kind)])
        handler();
}

void QuickListPage::AddFileFolders()
{
    runAddHandler(AddItemKind::fileFolders);
}

void QuickListPage::AddWebBookmark()
{
    runAddHandler(AddItemKind::webBookmark);
}

void QuickListPage::AddTextSnnipet()
{
    runAddHandler(AddItemKind::textSnippet);
}

void QuickListPage::AddColorSwitch()
{
    runAddHandler(AddItemKind::colorSwitch);
}

void QuickListPage::addItemClicked(int row)
{
    printLine(QString::number(row));
    const auto heading = m_quickList.headingAt(row);
    if (!heading)
        return;
    m_currentGroupName = heading->title();
    const auto entry = [this](AddItemKind kind, void (QuickListPage::*add)()) {
        return m_addHandlers[size_t(kind)] ? std::function<void()>([this, add] { (this->*add)(); }) : nullptr;
    };
    const std::array<std::function<void()>, 4> entries{
        entry(AddItemKind::fileFolders, &QuickListPage::AddFileFolders),
        entry(AddItemKind::webBookmark, &QuickListPage::AddWebBookmark),
        entry(AddItemKind::textSnippet, &QuickListPage::AddTextSnnipet),
        entry(AddItemKind::colorSwitch, &QuickListPage::AddColorSwitch),
    };
    QMenu *itemmenu = QuickListMenus::addItemMenu(entries, window());
    const QRect anchor = tableView->globalPartRect(row, RowDelegate::Part::add);
    itemmenu->popup(anchor.isEmpty() ? QCursor::pos() : anchor.bottomLeft());
}

// Group creation

void QuickListPage::btncreateGroup()
{
    boxAddGroup->clear();
    showInlineBox(boxAddGroup);
    boxAddGroup->focusName();
}

void QuickListPage::btnadd_boxaddGroup()
{
    const FavoritesStore::GroupCreation result = m_groupActions.createGroup(boxAddGroup->name());
    if (result != FavoritesStore::GroupCreation::created) {
        if (const auto refusal = GroupActions::refusalKey(result))
            boxAddGroup->showMessage(LocalizedText(*refusal));
        return;
    }
    boxAddGroup->clearMessage();
    closeInlineBox();
    // One group per confirmation, however fast the button is pressed again.
    QToolButton *button = m_toolbar->createGroupButton();
    button->setEnabled(false);
    QTimer::singleShot(addGroupReenableMs, button, [button] { button->setEnabled(true); });
}

// The keyboard: typing searches, the keys PopupKeys decides on, and Tab
// round the search field and the toolbar.

void QuickListPage::btnsearchclicked()
{
    Q_EMIT listTabRequested();
    m_toolbar->openSearchField();
}

void QuickListPage::searchFor(const QString &text)
{
    btnsearchclicked();
    m_toolbar->searchField()->setText(text);
}

void QuickListPage::searchTextChanged(const QString &text)
{
    if (!PopupKeys::searchRuns(text)) {
        // Clearing the field shows the groups again; the field stays open.
        m_quickList.endSearch();
        tableView->setHoverRow(-1);
        return;
    }
    m_quickList.beginSearch(text);
    tableView->setHoverRow(PopupKeys::rowAfterSearch(m_model->rowCount()));
    tableView->scrollToTop();
}

void QuickListPage::searchFieldDidEndSearching()
{
    m_toolbar->closeSearchField();
    m_quickList.endSearch();
    tableView->setHoverRow(-1);
    window()->setFocus(Qt::OtherFocusReason);
}

PopupKeys::State QuickListPage::keyState(bool tasksShown, bool inSearchField) const
{
    PopupKeys::State state;
    state.rowCount = m_model->rowCount();
    state.hoverRow = tableView->hoverRow();
    state.hoverIsHeading = m_quickList.isHeadingRow(state.hoverRow);
    if (state.hoverRow >= 0 && state.hoverRow < state.rowCount) {
        const QModelIndex hovered = m_model->index(state.hoverRow, 0);
        state.hoverIsExpanded = hovered.data(int(QuickListModel::Role::isExpanded)).toBool();
        state.hoverOpensFolderMenu = hovered.data(int(QuickListModel::Role::opensFolderMenu)).toBool();
    }
    state.inlineBoxOpen = m_subViewAdded;
    state.showsTasks = tasksShown;
    state.inSearchField = inSearchField;
    state.searchFieldShown = m_toolbar->isSearchFieldShown() || m_quickList.searchBegin();
    return state;
}

bool QuickListPage::windowKeyPressed(QKeyEvent *event, bool tasksShown)
{
    return handleKey(event, tasksShown, false);
}

bool QuickListPage::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        // The search field and the toolbar are on this page: it shows.
        auto *key = static_cast<QKeyEvent *>(event);
        if (watched == m_toolbar->searchField())
            return handleKey(key, false, true);
        if (isTabKey(key))
            return handleKey(key, false, false);
    }
    return QWidget::eventFilter(watched, event);
}

bool QuickListPage::handleKey(QKeyEvent *event, bool tasksShown, bool inSearchField)
{
    const PopupKeys::Decision decision = PopupKeys::keyPressed(keyState(tasksShown, inSearchField), event->key(),
                                                               event->modifiers(), event->text());
    switch (decision.action) {
    case PopupKeys::Action::none:
        return false;
    case PopupKeys::Action::consume:
        return true;
    case PopupKeys::Action::highlight:
        tableView->highlightRow(decision.row);
        return true;
    case PopupKeys::Action::open:
        m_rows->rowClicked(decision.row, RowDelegate::Part::body);
        return true;
    case PopupKeys::Action::contextMenu: {
        tableView->scrollTo(m_model->index(decision.row, 0));
        const QRect row = tableView->globalPartRect(decision.row, RowDelegate::Part::body);
        m_rows->showContextMenu(decision.row, row.isEmpty() ? QCursor::pos() : row.bottomLeft());
        return true;
    }
    case PopupKeys::Action::focusNext:
    case PopupKeys::Action::focusPrevious:
        moveFocus(decision.action == PopupKeys::Action::focusNext);
        return true;
    case PopupKeys::Action::addItemMenu:
        tableView->scrollTo(m_model->index(decision.row, 0));
        addItemClicked(decision.row);
        return true;
    case PopupKeys::Action::collapse:
    case PopupKeys::Action::expand:
        m_rows->rowClicked(decision.row, RowDelegate::Part::expand);
        return true;
    case PopupKeys::Action::folderContents:
        m_rows->rowClicked(decision.row, RowDelegate::Part::folderContents);
        return true;
    case PopupKeys::Action::colorTagPicker:
        tableView->scrollTo(m_model->index(decision.row, 0));
        m_rows->rowClicked(decision.row, RowDelegate::Part::color);
        return true;
    case PopupKeys::Action::closeInlineBox:
        closeInlineBox();
        return true;
    case PopupKeys::Action::endSearch:
        searchFieldDidEndSearching();
        return true;
    case PopupKeys::Action::closePopup:
        Q_EMIT closeRequested();
        return true;
    case PopupKeys::Action::typeIntoSearch:
        if (inSearchField)
            return false;
        btnsearchclicked();
        m_toolbar->searchField()->insert(decision.text);
        return true;
    }
    return false;
}

void QuickListPage::moveFocus(bool forward)
{
    // The ring: where typing goes (the search field, or the popup while no
    // search is shown), then the toolbar's buttons.
    QWidget *typing = m_toolbar->isSearchFieldShown() ? m_toolbar->searchField() : window();
    const QList<QWidget *> ring = QList<QWidget *>{typing} + m_toolbar->buttons();
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
