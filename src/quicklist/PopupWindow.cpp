#include "quicklist/PopupWindow.h"

#include "quicklist/AccessiblePopups.h"
#include "quicklist/DeactivationCloser.h"
#include "quicklist/PopupAccessibility.h"
#include "quicklist/PopupTabs.h"
#include "quicklist/QuickListPage.h"
#include "quicklist/RowDelegate.h"
#include "quicklist/TaskEditor.h"
#include "quicklist/TaskListPage.h"
#include "store/LocalizedText.h"
#include "store/TextKeys.h"
#include "store/ViewLinks.h"
#include "widgets/PopupGeometry.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QVBoxLayout>

namespace {

constexpr int popupWidth = 360;
// A click on the tray icon that closed the popup (as a click elsewhere)
// must not open it again at once.
constexpr qint64 reopenGuardMs = 300;

} // namespace

PopupWindow::PopupWindow(const QuickListServices &services, PopupWindowStyle style, QWidget *parent)
    : QWidget(parent, (style == PopupWindowStyle::grabbing ? Qt::Popup : Qt::Window) | Qt::FramelessWindowHint)
    , m_windowStyle(style)
    , m_taskList(services.preferences)
{
    PopupAccessibility::installWindow(this);
    setObjectName(QStringLiteral("ViewController"));
    setAccessibleName(LocalizedText(Text::favouritesTitle));
    if (style == PopupWindowStyle::grabbing) {
        AccessiblePopups::expose(this);
    } else {
        // A window of its own there: window lists and switchers name it.
        setWindowTitle(LocalizedText(Text::appName));
        new DeactivationCloser(this);
    }
    setFocusPolicy(Qt::StrongFocus);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        screenHeight = screen->availableGeometry().height();
    m_page = new QuickListPage(services);
    buildTabs();

    connect(&services.viewLinks, &ViewLinks::storeReloaded, &m_taskList, &TaskList::reload);
    connect(m_page, &QuickListPage::closeRequested, this, &PopupWindow::closePopover);
    connect(m_page, &QuickListPage::listTabRequested, m_container, &PopupTabs::btnshortcut);
    connect(m_page, &QuickListPage::manageShortcutRequested, this, &PopupWindow::manageShortcutRequested);
    connect(m_page, &QuickListPage::showPreferencesRequested, this, &PopupWindow::showPreferencesRequested);
    connect(m_page, &QuickListPage::quitRequested, this, &PopupWindow::quitRequested);
    connect(&m_page->quickList(), &QuickList::rebuilt, this, &PopupWindow::updateBoxHeight);
    updateBoxHeight();
}

PopupWindow::~PopupWindow() = default;

void PopupWindow::buildTabs()
{
    auto *taskView = new TaskListPage(m_taskList);
    auto *taskEditor = new TaskEditor(m_taskList, m_page->services().viewLinks);
    m_container = new PopupTabs(m_page, taskView, taskEditor, this);
    connect(taskView, &TaskListPage::editRequested, m_container, &PopupTabs::showTaskEditor);
    connect(taskEditor, &TaskEditor::doneClicked, m_container, &PopupTabs::btntask);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(1, 1, 1, 1);
    layout->addWidget(m_container);
    // A hairline border: the window's own background shows around the content.
    const QPalette normal = QApplication::palette(this);
    QPalette border = normal;
    border.setColor(QPalette::Window, normal.color(QPalette::Mid));
    setPalette(border);
    setAutoFillBackground(true);
    QPalette content = m_container->palette();
    content.setColor(QPalette::Window, normal.color(QPalette::Window));
    m_container->setPalette(content);
    m_container->setAutoFillBackground(true);
}

void PopupWindow::updateBoxHeight()
{
    // The rows shown: the search results during a search.
    const int contentHeight = m_page->quickList().rowCount() * RowDelegate::rowHeight;
    boxheight = PopupGeometry::listBoxHeight(contentHeight, screenHeight);
    const int height = boxheight + m_container->tabBarHeight() + 2;
    if (this->height() != height || width() != popupWidth) {
        resize(popupWidth, height);
        if (isVisible())
            place();
    }
}

void PopupWindow::place()
{
    if (m_windowStyle == PopupWindowStyle::compositorPlaced)
        return;
    const QPoint anchor = m_trayIconGeometry.isEmpty() ? m_cursorAtShow : m_trayIconGeometry.center();
    move(PopupGeometry::popupPosition(m_trayIconGeometry, m_cursorAtShow, PopupGeometry::availableAreaAt(anchor),
                                      size()));
}

void PopupWindow::togglePopover(const QRect &trayIconGeometry)
{
    if (isVisible()) {
        closePopover();
        return;
    }
    if (m_sinceHidden.isValid() && m_sinceHidden.elapsed() < reopenGuardMs)
        return;
    showPopover(trayIconGeometry);
}

void PopupWindow::showPopover(const QRect &trayIconGeometry)
{
    m_page->aboutToShow();
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    m_trayIconGeometry = trayIconGeometry;
    m_cursorAtShow = QCursor::pos();
    const QPoint anchor = trayIconGeometry.isEmpty() ? m_cursorAtShow : trayIconGeometry.center();
    // Where the compositor places the window, neither the pointer nor the
    // window's place is known: the list fits the screen it was on last.
    const QScreen *screen = m_windowStyle == PopupWindowStyle::grabbing ? QGuiApplication::screenAt(anchor)
                                                                        : this->screen();
    if (screen)
        screenHeight = screen->availableGeometry().height();
    updateBoxHeight();
    place();
    show();
    raise();
    activateWindow();
    m_page->focusTyping();
}

void PopupWindow::closePopover()
{
    close();
}

bool PopupWindow::isPopoverShown() const
{
    return isVisible();
}

bool PopupWindow::event(QEvent *event)
{
    // Tab and Backtab would otherwise move the focus before keyPressEvent.
    if (event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            && m_page->windowKeyPressed(key, m_container->showsTasks()))
            return true;
    }
    return QWidget::event(event);
}

void PopupWindow::keyPressEvent(QKeyEvent *event)
{
    if (m_page->windowKeyPressed(event, m_container->showsTasks()))
        return;
    // Under an inline box the popup passes nothing on.
    if (m_page->subViewAdded()) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PopupWindow::hideEvent(QHideEvent *event)
{
    m_sinceHidden.start();
    m_page->hidden();
    QWidget::hideEvent(event);
}
