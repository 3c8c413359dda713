#include "app/AppDelegate.h"

#include "app/AppContext.h"
#include "app/ManagerWindow.h"
#include "app/SingleInstance.h"
#include "app/TrayIconImage.h"
#include "platform/StandardOutput.h"
#include "store/LocalizedText.h"
#include "store/StoreKeys.h"

#include <QApplication>
#include <QCursor>
#include <QLoggingCategory>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QSystemTrayIcon>
#include <QTimer>

Q_LOGGING_CATEGORY(lcApp, "brimble.app")

AppDelegate::AppDelegate(AppContext &context, QObject *parent)
    : QObject(parent)
    , m_context(context)
{
}

AppDelegate::~AppDelegate()
{
    delete m_popover;
    delete m_managerWindow;
}

void AppDelegate::applicationDidFinishLaunching()
{
    PreferencesStore &preferences = *m_context.preferences;

    m_context.favorites.upgradeItemRecords();
    Localization::chooseSystemLanguage(preferences);
    setMenuTitles();
    m_context.bookmarks.restoreFileAccess();

    managerWindow()->showAndActivate();

    if (!preferences.boolForKey(StoreKeys::showFileListInFolder))
        preferences.setBool(false, StoreKeys::showFileListInFolder);
    if (const auto startAtLogin = preferences.boolForKey(StoreKeys::loginStartStatus))
        m_context.loginItems->setEnabled(*startAtLogin);

    setUpTrayIcon();
    popover();
}

void AppDelegate::applicationWillTerminate()
{
    m_context.preferences->flush();
    printLine(QStringLiteral("terminate"));
}

void AppDelegate::setMenuTitles()
{
    m_trayMenu = std::make_unique<QMenu>();
    m_trayMenu->addAction(LocalizedText("IDS_BR_123"), this, &AppDelegate::menuitem_Showwindow);
    m_trayMenu->addAction(LocalizedText("IDS_BR_128"), this, &AppDelegate::menuitem_Showwindow);
    m_trayMenu->addSeparator();
    m_trayMenu->addAction(LocalizedText("IDS_BR_132"), this, &AppDelegate::terminate);
}

void AppDelegate::setUpTrayIcon()
{
    const bool trayAvailable = QSystemTrayIcon::isSystemTrayAvailable();
    managerWindow()->setMinimizesOnClose(!trayAvailable);
    if (!trayAvailable)
        qCInfo(lcApp) << "No system tray: the manager window stays open instead";

    m_statusItem = new QSystemTrayIcon(brimbleIcon(), this);
    m_statusItem->setToolTip(LocalizedText("IDS_BR_152"));
    m_statusItem->setContextMenu(m_trayMenu.get());
    connect(m_statusItem, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            togglePopover();
    });
    m_statusItem->show();
}

ManagerWindow *AppDelegate::managerWindow()
{
    if (!m_managerWindow)
        m_managerWindow = new ManagerWindow(*m_context.preferences);
    return m_managerWindow;
}

QWidget *AppDelegate::popover()
{
    if (!m_popover) {
        m_popover = new QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint);
        m_popover->resize(360, 480);
        m_context.viewLinks.popoverListLoaded = true;
    }
    return m_popover;
}

QRect AppDelegate::trayIconGeometry() const
{
    return m_statusItem ? m_statusItem->geometry() : QRect();
}

void AppDelegate::terminate()
{
    QCoreApplication::exit(0);
}

void AppDelegate::togglePopover()
{
    if (popover()->isVisible())
        popover()->close();
    else
        showPopover();
}

void AppDelegate::showPopover()
{
    if (!m_context.preferences->integerForKey(StoreKeys::first))
        return;
    QWidget *window = popover();
    const QRect anchor = trayIconGeometry();
    const QPoint origin = anchor.isValid() ? anchor.bottomLeft() : QCursor::pos();
    QScreen *screen = QGuiApplication::screenAt(origin);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect available = screen->availableGeometry();
    QPoint position(origin.x() - window->width() / 2, origin.y());
    position.setX(qBound(available.left(), position.x(), available.right() - window->width()));
    position.setY(qBound(available.top(), position.y(), available.bottom() - window->height()));
    window->move(position);
    window->show();
    window->activateWindow();
}

void AppDelegate::menuitem_Showwindow()
{
    managerWindow()->showAndActivate();
}

void AppDelegate::handleInstanceRequest(const QByteArray &request)
{
    if (request == SingleInstance::toggleRequest)
        togglePopover();
    else
        menuitem_Showwindow();
}

void AppDelegate::reportSetAsidePreferences(const QString &setAsidePath)
{
    if (setAsidePath.isEmpty())
        return;
    QTimer::singleShot(0, this, [this, setAsidePath] {
        auto *box = new QMessageBox(QMessageBox::Warning, LocalizedText("IDS_BR_150"),
                                    LocalizedText("IDS_BR_151").arg(setAsidePath), QMessageBox::Ok,
                                    managerWindow());
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    });
}
