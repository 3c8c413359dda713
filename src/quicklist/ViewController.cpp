#include "quicklist/ViewController.h"

#include "quicklist/ViewControllerPrivate.h"

#include "platform/StandardOutput.h"
#include "quicklist/AccessiblePopups.h"
#include "quicklist/AddGroupBox.h"
#include "quicklist/DeactivationCloser.h"
#include "quicklist/GroupActions.h"
#include "quicklist/ItemActions.h"
#include "quicklist/ManageTask.h"
#include "quicklist/PopoverContainerVc.h"
#include "quicklist/PopoverTaskVc.h"
#include "quicklist/PopupKeys.h"
#include "quicklist/QuickList.h"
#include "quicklist/QuickListMenus.h"
#include "quicklist/QuickListModel.h"
#include "quicklist/QuickListView.h"
#include "quicklist/RowDelegate.h"
#include "quicklist/SelectTagVc.h"
#include "quicklist/TaskList.h"
#include "store/FavoritesStore.h"
#include "store/LocalizedText.h"
#include "store/Settings.h"
#include "store/Sorting.h"
#include "store/ViewLinks.h"
#include "widgets/PopupGeometry.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>

#include <array>

namespace {

constexpr int popupWidth = 360;
// A click on the tray icon that closed the popup (as a click elsewhere)
// must not open it again at once.
constexpr qint64 reopenGuardMs = 300;

// Runs a function for the events of another object.
class EventHook final : public QObject
{
public:
    EventHook(QObject *target, std::function<bool(QEvent *)> hook)
        : QObject(target)
        , m_hook(std::move(hook))
    {
        target->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override { return m_hook(event); }

private:
    std::function<bool(QEvent *)> m_hook;
};

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

} // namespace


ViewController::Private::Private(ViewController *owner, const QuickListServices &shared, PopupWindowStyle style)
    : q(owner)
    , services(shared)
    , windowStyle(style)
    , quickList(shared.favorites)
    , itemActions(quickList, shared.favorites, shared.sortSettings, shared.supportFiles, shared.viewLinks,
                  shared.desktop)
    , groupActions(quickList, shared.favorites, shared.sortSettings, shared.viewLinks)
    , taskList(shared.preferences)
{
}

ViewController::ViewController(const QuickListServices &services, PopupWindowStyle style, QWidget *parent)
    : QWidget(parent, (style == PopupWindowStyle::grabbing ? Qt::Popup : Qt::Window) | Qt::FramelessWindowHint)
    , d(std::make_unique<Private>(this, services, style))
{
    setObjectName(QStringLiteral("ViewController"));
    setAccessibleName(LocalizedText("IDS_BR_264"));
    if (style == PopupWindowStyle::grabbing) {
        AccessiblePopups::expose(this);
    } else {
        // A window of its own there: window lists and switchers name it.
        setWindowTitle(LocalizedText("IDS_BR_7"));
        new DeactivationCloser(this);
    }
    setFocusPolicy(Qt::StrongFocus);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        d->screenHeight = screen->availableGeometry().height();
    d->buildViews();

    connect(&services.viewLinks, &ViewLinks::quickListReloadRequested, this, &ViewController::reloadQuickList);
    connect(&services.viewLinks, &ViewLinks::storeReloaded, &d->taskList, &TaskList::reload);
    connect(&services.selectTagvc, &SelectTagVc::colorPicked, this, [this](const QColor &color, bool fromMainWindow) {
        if (!fromMainWindow)
            d->groupActions.changeColor(d->indexForColorChange, color);
    });

    reloadQuickList();
    // The stored order follows the current item sort; the rows show it at
    // their next rebuild.
    Sorting::sortAllGroupItems(services.favorites, d->quickList.grouparr(), services.sortSettings);
    services.viewLinks.popoverListLoaded = true;
}

ViewController::~ViewController()
{
    d->services.viewLinks.popoverListLoaded = false;
}

void ViewController::Private::buildViews()
{
    listPage = buildListPage();
    auto *taskView = new PopoverTaskVc(taskList);
    auto *taskEditor = new ManageTask(taskList, services.viewLinks);
    container = new PopoverContainerVc(listPage, taskView, taskEditor, q);
    QObject::connect(taskView, &PopoverTaskVc::editRequested, container, &PopoverContainerVc::showTaskEditor);
    QObject::connect(taskEditor, &ManageTask::doneClicked, container, &PopoverContainerVc::btntask);

    auto *layout = new QVBoxLayout(q);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(container);
    // A hairline border: the window's own background shows around the content.
    const QPalette normal = QApplication::palette(q);
    QPalette border = normal;
    border.setColor(QPalette::Window, normal.color(QPalette::Mid));
    q->setPalette(border);
    q->setAutoFillBackground(true);
    QPalette content = container->palette();
    content.setColor(QPalette::Window, normal.color(QPalette::Window));
    container->setPalette(content);
    container->setAutoFillBackground(true);

    model = new QuickListModel(quickList, services.supportFiles, q);
    tableView->setModel(model);
    QObject::connect(&quickList, &QuickList::rebuilt, q, [this] {
        if (tableView->hoverRow() >= model->rowCount())
            tableView->setHoverRow(-1);
        updateEmptyState();
        updateBoxHeight();
    });
}

QWidget *ViewController::Private::buildListPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("quickListPage"));

    toolbar = new QWidget(page);
    auto *bar = new QHBoxLayout(toolbar);
    bar->setContentsMargins(8, 6, 6, 6);
    bar->setSpacing(4);
    imgviewsearch = new QLabel(toolbar);
    imgviewsearch->setObjectName(QStringLiteral("imgviewsearch"));
    imgviewsearch->setPixmap(magnifierIcon().pixmap(16, 16));
    btnsearch = new QToolButton(toolbar);
    btnsearch->setObjectName(QStringLiteral("btnsearch"));
    btnsearch->setAutoRaise(true);
    btnsearch->setFocusPolicy(Qt::NoFocus);
    btnsearch->setCursor(Qt::IBeamCursor);
    btnsearch->setText(LocalizedText("IDS_BR_26"));
    searchtextfield = new QLineEdit(toolbar);
    searchtextfield->setObjectName(QStringLiteral("searchtextfield"));
    searchtextfield->setPlaceholderText(LocalizedText("IDS_BR_26"));
    searchtextfield->setAccessibleName(LocalizedText("IDS_BR_26"));
    searchtextfield->setClearButtonEnabled(true);
    searchtextfield->hide();
    btncreateGroupButton = toolButton(QStringLiteral("btncreateGroup"), QStringLiteral("list-add"),
                                      QStringLiteral("+"), LocalizedText("IDS_BR_30"), toolbar);
    btnsort = toolButton(QStringLiteral("btnsort"), QStringLiteral("view-sort-ascending"), QStringLiteral("\u21C5"),
                         LocalizedText("IDS_BR_135"), toolbar);
    btnsettings = toolButton(QStringLiteral("btnsettings"), QStringLiteral("open-menu"), QStringLiteral("\u22EF"),
                             LocalizedText("IDS_BR_37"), toolbar);
    bar->addWidget(imgviewsearch);
    bar->addWidget(btnsearch);
    bar->addWidget(searchtextfield, 1);
    bar->addStretch();
    bar->addWidget(btncreateGroupButton);
    bar->addWidget(btnsort);
    bar->addWidget(btnsettings);

    tableView = new QuickListView(page);
    tableView->setAccessibleName(LocalizedText("IDS_BR_264"));
    delegate = new RowDelegate(tableView);
    tableView->setRowDelegate(delegate);

    // Without any group, a line says what groups are for and a button
    // creates the first one.
    emptyState = new QWidget(page);
    emptyState->setObjectName(QStringLiteral("emptyState"));
    auto *emptyText = new QLabel(LocalizedText("IDS_BR_261"), emptyState);
    emptyText->setObjectName(QStringLiteral("lblemptyList"));
    emptyText->setWordWrap(true);
    emptyText->setAlignment(Qt::AlignCenter);
    auto *createFirst = new QPushButton(LocalizedText("IDS_BR_262"), emptyState);
    createFirst->setObjectName(QStringLiteral("btncreateFirstGroup"));
    auto *emptyLayout = new QVBoxLayout(emptyState);
    emptyLayout->setContentsMargins(32, 24, 32, 24);
    emptyLayout->addStretch();
    emptyLayout->addWidget(emptyText);
    emptyLayout->addSpacing(8);
    emptyLayout->addWidget(createFirst, 0, Qt::AlignHCenter);
    emptyLayout->addStretch(2);
    emptyState->hide();

    auto *layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(toolbar);
    layout->addWidget(tableView, 1);
    layout->addWidget(emptyState, 1);

    boxAddGroup = new AddGroupBox(page);
    boxAddGroup->hide();

    // Inline boxes cover the whole page, also when it changes size.
    new EventHook(page, [this, page](QEvent *event) {
        if (event->type() == QEvent::Resize && inlineBox)
            inlineBox->setGeometry(page->rect());
        return false;
    });
    new EventHook(searchtextfield, [this](QEvent *event) {
        return event->type() == QEvent::KeyPress && handleKey(static_cast<QKeyEvent *>(event), true);
    });
    // Tab on a toolbar button goes on round the popup's ring, not along
    // the window's focus chain; other keys reach the popup as usual.
    for (QToolButton *button : {btncreateGroupButton, btnsort, btnsettings}) {
        new EventHook(button, [this](QEvent *event) {
            if (event->type() != QEvent::KeyPress)
                return false;
            auto *key = static_cast<QKeyEvent *>(event);
            return (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) && handleKey(key, false);
        });
    }

    QObject::connect(btnsearch, &QToolButton::clicked, q, [this] { btnsearchclicked(); });
    QObject::connect(searchtextfield, &QLineEdit::textChanged, q, [this](const QString &text) { searchTextChanged(text); });
    QObject::connect(btncreateGroupButton, &QToolButton::clicked, q, [this] { btncreateGroup(); });
    QObject::connect(createFirst, &QPushButton::clicked, q, [this] { btncreateGroup(); });
    QObject::connect(boxAddGroup, &AddGroupBox::addClicked, q, [this] { btnadd_boxaddGroup(); });
    QObject::connect(boxAddGroup, &AddGroupBox::cancelClicked, q, [this] { q->closeInlineBox(); });
    QObject::connect(btnsort, &QToolButton::clicked, q, [this] {
        QMenu *menu = QuickListMenus::sortMenu(services.sortSettings, groupActions, nullptr, q);
        menu->popup(btnsort->mapToGlobal(QPoint(0, btnsort->height())));
    });
    QObject::connect(btnsettings, &QToolButton::clicked, q, [this] {
        QMenu *menu = QuickListMenus::settingsMenu(
            [this] {
                q->closePopover();
                Q_EMIT q->manageShortcutRequested();
            },
            [this] {
                q->closePopover();
                Q_EMIT q->showPreferencesRequested();
            },
            [this] { Q_EMIT q->quitRequested(); }, q);
        menu->popup(btnsettings->mapToGlobal(QPoint(0, btnsettings->height())));
    });
    QObject::connect(tableView, &QuickListView::rowClicked, q,
                     [this](int row, RowDelegate::Part part) { rowClicked(row, part); });
    QObject::connect(tableView, &QuickListView::contextMenuRequested, q,
                     [this](int row, const QPoint &at) { showContextMenu(row, at); });
    // The row under the pointer goes to standard output; a highlight moved
    // by the keys or a search does not.
    QObject::connect(tableView, &QuickListView::pointerEnteredRow, q,
                     [](int row) { printLine(QString::number(row)); });
    return page;
}

const QuickListServices &ViewController::services() const
{
    return d->services;
}

QString ViewController::currentGroupName() const
{
    return d->currentGroupName;
}

const QList<Group> &ViewController::grouparr() const
{
    return d->quickList.grouparr();
}

bool ViewController::subViewAdded() const
{
    return d->subViewAdded;
}

void ViewController::reloadQuickList()
{
    d->quickList.reloadQuickList();
}

void ViewController::showAddedItem(const QString &groupTitle)
{
    d->quickList.expandGroup(groupTitle);
}

void ViewController::Private::updateEmptyState()
{
    const bool empty = quickList.grouparr().isEmpty() && !quickList.searchBegin();
    emptyState->setVisible(empty);
    tableView->setVisible(!empty);
}

void ViewController::Private::updateBoxHeight()
{
    // The rows shown: the search results during a search.
    const int contentHeight = quickList.rowCount() * RowDelegate::rowHeight;
    boxheight = PopupGeometry::listBoxHeight(contentHeight, screenHeight);
    const int height = boxheight + container->tabBarHeight() + 2;
    if (q->height() != height || q->width() != popupWidth) {
        q->resize(popupWidth, height);
        if (q->isVisible())
            place();
    }
}

void ViewController::Private::place()
{
    if (windowStyle == PopupWindowStyle::compositorPlaced)
        return;
    const QPoint anchor = trayIconGeometry.isEmpty() ? cursorAtShow : trayIconGeometry.center();
    q->move(PopupGeometry::popupPosition(trayIconGeometry, cursorAtShow, PopupGeometry::availableAreaAt(anchor),
                                         q->size()));
}

void ViewController::togglePopover(const QRect &trayIconGeometry)
{
    if (isVisible()) {
        closePopover();
        return;
    }
    if (d->sinceHidden.isValid() && d->sinceHidden.elapsed() < reopenGuardMs)
        return;
    showPopover(trayIconGeometry);
}

void ViewController::showPopover(const QRect &trayIconGeometry)
{
    d->showFolderContents = Settings(d->services.preferences).showsFileListInFolder();
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    d->trayIconGeometry = trayIconGeometry;
    d->cursorAtShow = QCursor::pos();
    const QPoint anchor = trayIconGeometry.isEmpty() ? d->cursorAtShow : trayIconGeometry.center();
    // Where the compositor places the window, neither the pointer nor the
    // window's place is known: the list fits the screen it was on last.
    const QScreen *screen =
        d->windowStyle == PopupWindowStyle::grabbing ? QGuiApplication::screenAt(anchor) : this->screen();
    if (screen)
        d->screenHeight = screen->availableGeometry().height();
    d->updateBoxHeight();
    d->place();
    show();
    raise();
    activateWindow();
    if (d->searchtextfield->isVisible())
        d->searchtextfield->setFocus(Qt::PopupFocusReason);
    else
        setFocus(Qt::PopupFocusReason);
}

void ViewController::closePopover()
{
    close();
}

bool ViewController::isPopoverShown() const
{
    return isVisible();
}

PopupWindowStyle ViewController::windowStyle() const
{
    return d->windowStyle;
}

void ViewController::showInlineBox(QWidget *box)
{
    if (!box)
        return;
    if (d->inlineBox && d->inlineBox != box)
        d->inlineBox->hide();
    d->container->btnshortcut();
    if (box->parentWidget() != d->listPage)
        box->setParent(d->listPage);
    box->setGeometry(d->listPage->rect());
    box->show();
    box->raise();
    d->inlineBox = box;
    d->subViewAdded = true;
    d->tableView->setHoverEnabled(false);
    // The box covers the toolbar: Tab stays among the box's own fields.
    d->toolbar->setEnabled(false);
    QWidget *first = box->focusProxy() ? box->focusProxy() : box->nextInFocusChain();
    if (first && box->isAncestorOf(first))
        first->setFocus(Qt::OtherFocusReason);
    else
        box->setFocus(Qt::OtherFocusReason);
}

void ViewController::closeInlineBox()
{
    if (d->inlineBox)
        d->inlineBox->hide();
    d->inlineBox = nullptr;
    d->subViewAdded = false;
    d->tableView->setHoverEnabled(true);
    d->toolbar->setEnabled(true);
    setFocus(Qt::OtherFocusReason);
}

void ViewController::setAddItemHandler(AddItemKind kind, std::function<void()> handler)
{
    d->addHandlers[size_t(kind)] = std::move(handler);
}

void ViewController::AddFileFolders()
{
    if (const auto &handler = d->addHandlers[size_t(AddItemKind::fileFolders)])
        handler();
}

void ViewController::AddWebBookmark()
{
    if (const auto &handler = d->addHandlers[size_t(AddItemKind::webBookmark)])
        handler();
}

void ViewController::AddTextSnnipet()
{
    if (const auto &handler = d->addHandlers[size_t(AddItemKind::textSnippet)])
        handler();
}

void ViewController::AddColorSwitch()
{
    if (const auto &handler = d->addHandlers[size_t(AddItemKind::colorSwitch)])
        handler();
}

void ViewController::hideEvent(QHideEvent *event)
{
    d->sinceHidden.start();
    d->tableView->setHoverRow(-1);
    QWidget::hideEvent(event);
}

