#include "quicklist/QuickListPage.h"

#include "quicklist/AddGroupBox.h"
#include "quicklist/QuickListMenus.h"
#include "quicklist/QuickListModel.h"
#include "quicklist/QuickListView.h"
#include "quicklist/RowClickHandler.h"
#include "platform/StandardOutput.h"
#include "store/FavoritesStore.h"
#include "store/LocalizedText.h"
#include "store/Settings.h"
#include "store/Sorting.h"
#include "store/ViewLinks.h"

#include <QApplication>
#include <QCursor>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int addGroupReenableMs = 1000;

QIcon magnifierIcon()
{
    QIcon themed = QIcon::fromTheme(QStringLiteral("edit-find"));
    if (!themed.isNull())
        return themed;
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(110, 110, 110), 3));
    painter.drawEllipse(QRectF(5, 5, 16, 16));
    painter.drawLine(QPointF(19, 19), QPointF(27, 27));
    return QIcon(pixmap);
}

QToolButton *toolButton(const QString &name, const QString &themeIcon, const QString &fallbackText,
                        const QString &toolTip, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(name);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::TabFocus);
    button->setCursor(Qt::PointingHandCursor);
    button->setToolTip(toolTip);
    button->setAccessibleName(toolTip);
    const QIcon icon = QIcon::fromTheme(themeIcon);
    if (icon.isNull())
        button->setText(fallbackText);
    else
        button->setIcon(icon);
    return button;
}

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
                    services.desktop)
    , m_groupActions(m_quickList, services.favorites, services.sortSettings, services.viewLinks)
{
    setObjectName(QStringLiteral("quickListPage"));
    buildToolbar();
    tableView = new QuickListView(this);
    tableView->setAccessibleName(LocalizedText("IDS_BR_264"));
    tableView->setRowDelegate(new RowDelegate(tableView));
    m_model = new QuickListModel(m_quickList, services.supportFiles, this);
    tableView->setModel(m_model);
    m_rows = new RowClickHandler(*tableView, m_quickList, m_itemActions, m_groupActions, services.selectTagvc, this);
    buildEmptyState();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_toolbar);
    layout->addWidget(tableView, 1);
    layout->addWidget(m_emptyState, 1);

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

void QuickListPage::buildToolbar()
{
    m_toolbar = new QWidget(this);
    auto *bar = new QHBoxLayout(m_toolbar);
    bar->setContentsMargins(8, 6, 6, 6);
    bar->setSpacing(4);
    imgviewsearch = new QLabel(m_toolbar);
    imgviewsearch->setObjectName(QStringLiteral("imgviewsearch"));
    imgviewsearch->setPixmap(magnifierIcon().pixmap(16, 16));
    btnsearch = new QToolButton(m_toolbar);
    btnsearch->setObjectName(QStringLiteral("btnsearch"));
    btnsearch->setAutoRaise(true);
    btnsearch->setFocusPolicy(Qt::NoFocus);
    btnsearch->setCursor(Qt::IBeamCursor);
    btnsearch->setText(LocalizedText("IDS_BR_26"));
    searchtextfield = new QLineEdit(m_toolbar);
    searchtextfield->setObjectName(QStringLiteral("searchtextfield"));
    searchtextfield->setPlaceholderText(LocalizedText("IDS_BR_26"));
    searchtextfield->setAccessibleName(LocalizedText("IDS_BR_26"));
    searchtextfield->setClearButtonEnabled(true);
    searchtextfield->hide();
    m_createGroupButton = toolButton(QStringLiteral("btncreateGroup"), QStringLiteral("list-add"), QStringLiteral("+"),
                                     LocalizedText("IDS_BR_30"), m_toolbar);
    m_sortButton = toolButton(QStringLiteral("btnsort"), QStringLiteral("view-sort-ascending"), QStringLiteral("\u21C5"),
                              LocalizedText("IDS_BR_135"), m_toolbar);
    m_settingsButton = toolButton(QStringLiteral("btnsettings"), QStringLiteral("open-menu"), QStringLiteral("\u22EF"),
                                  LocalizedText("IDS_BR_37"), m_toolbar);
    bar->addWidget(imgviewsearch);
    bar->addWidget(btnsearch);
    bar->addWidget(searchtextfield, 1);
    bar->addStretch();
    bar->addWidget(m_createGroupButton);
    bar->addWidget(m_sortButton);
    bar->addWidget(m_settingsButton);
}

void QuickListPage::buildEmptyState()
{
    // Without any group, a line says what groups are for and a button
    // creates the first one.
    m_emptyState = new QWidget(this);
    m_emptyState->setObjectName(QStringLiteral("emptyState"));
    auto *emptyText = new QLabel(LocalizedText("IDS_BR_261"), m_emptyState);
    emptyText->setObjectName(QStringLiteral("lblemptyList"));
    emptyText->setWordWrap(true);
    emptyText->setAlignment(Qt::AlignCenter);
    auto *createFirst = new QPushButton(LocalizedText("IDS_BR_262"), m_emptyState);
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
}

void QuickListPage::connectToolbar()
{
    searchtextfield->installEventFilter(this);
    // Tab on a toolbar button goes on round the popup's ring, not along
    // the window's focus chain; other keys reach the popup as usual.
    for (QToolButton *button : {m_createGroupButton, m_sortButton, m_settingsButton})
        button->installEventFilter(this);

    connect(btnsearch, &QToolButton::clicked, this, &QuickListPage::btnsearchclicked);
    connect(searchtextfield, &QLineEdit::textChanged, this, &QuickListPage::searchTextChanged);
    connect(m_createGroupButton, &QToolButton::clicked, this, &QuickListPage::btncreateGroup);
    connect(boxAddGroup, &AddGroupBox::addClicked, this, &QuickListPage::btnadd_boxaddGroup);
    connect(boxAddGroup, &AddGroupBox::cancelClicked, this, &QuickListPage::closeInlineBox);
    connect(m_sortButton, &QToolButton::clicked, this, [this] {
        QMenu *menu = QuickListMenus::sortMenu(m_services.sortSettings, m_groupActions, nullptr, window());
        menu->popup(m_sortButton->mapToGlobal(QPoint(0, m_sortButton->height())));
    });
    connect(m_settingsButton, &QToolButton::clicked, this, [this] {
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
        menu->popup(m_settingsButton->mapToGlobal(QPoint(0, m_settingsButton->height())));
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
    m_emptyState->setVisible(empty);
    tableView->setVisible(!empty);
}

void QuickListPage::aboutToShow()
{
    m_rows->setShowFolderContents(Settings(m_services.preferences).showsFileListInFolder());
}

void QuickListPage::focusTyping()
{
    if (searchtextfield->isVisible())
        searchtextfield->setFocus(Qt::PopupFocusReason);
    else
        window()->setFocus(Qt::PopupFocusReason);
}

void QuickListPage::hidden()
{
    tableView->setHoverRow(-1);
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
        boxAddGroup->showMessage(LocalizedText(GroupActions::refusalKey(result)));
        return;
    }
    boxAddGroup->clearMessage();
    closeInlineBox();
    // One group per confirmation, however fast the button is pressed again.
    m_createGroupButton->setEnabled(false);
    QTimer::singleShot(addGroupReenableMs, m_createGroupButton,
                       [button = m_createGroupButton] { button->setEnabled(true); });
}

// The keyboard: typing searches, the keys PopupKeys decides on, and Tab
// round the search field and the toolbar.

void QuickListPage::btnsearchclicked()
{
    Q_EMIT listTabRequested();
    searchtextfield->show();
    btnsearch->hide();
    imgviewsearch->hide();
    searchtextfield->setFocus(Qt::OtherFocusReason);
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
    {
        const QSignalBlocker blocker(searchtextfield);
        searchtextfield->clear();
    }
    m_quickList.endSearch();
    tableView->setHoverRow(-1);
    searchtextfield->hide();
    btnsearch->show();
    imgviewsearch->show();
    window()->setFocus(Qt::OtherFocusReason);
}

PopupKeys::State QuickListPage::keyState(bool tasksShown) const
{
    PopupKeys::State state;
    state.rowCount = m_model->rowCount();
    state.hoverRow = tableView->hoverRow();
    state.hoverIsHeading = m_quickList.isHeadingRow(state.hoverRow);
    state.inlineBoxOpen = m_subViewAdded;
    state.showsTasks = tasksShown;
    state.searchFieldShown = searchtextfield->isVisible() || m_quickList.searchBegin();
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
        if (watched == searchtextfield)
            return handleKey(key, false, true);
        if (isTabKey(key))
            return handleKey(key, false, false);
    }
    return QWidget::eventFilter(watched, event);
}

bool QuickListPage::handleKey(QKeyEvent *event, bool tasksShown, bool inSearchField)
{
    const PopupKeys::Decision decision =
        PopupKeys::keyPressed(keyState(tasksShown), event->key(), event->modifiers(), event->text());
    switch (decision.action) {
    case PopupKeys::Action::none:
        return false;
    case PopupKeys::Action::consume:
        return true;
    case PopupKeys::Action::highlight:
        tableView->setHoverRow(decision.row);
        tableView->scrollTo(m_model->index(decision.row, 0));
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
        searchtextfield->insert(decision.text);
        return true;
    }
    return false;
}

void QuickListPage::moveFocus(bool forward)
{
    // The ring: where typing goes (the search field, or the popup while no
    // search is shown), then the toolbar's buttons.
    QWidget *typing = searchtextfield->isVisible() ? static_cast<QWidget *>(searchtextfield) : window();
    const QList<QWidget *> ring{typing, m_createGroupButton, m_sortButton, m_settingsButton};
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
