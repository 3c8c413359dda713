#include "app/AppDelegate.h"

#include "app/AppContext.h"
#include "app/DesktopSearch.h"
#include "app/DesktopSearchService.h"
#include "app/GroupChooserDialog.h"
#include "app/ManagerWindow.h"
#include "app/ManagerWindowPages.h"
#include "app/ScriptCommands.h"
#include "app/SingleInstance.h"
#include "app/TrayIconImage.h"
#include "hotkey/GlobalShortcut.h"
#include "hotkey/HotKeysController.h"
#include "hotkey/ShortcutRecorder.h"
#include "items/ItemServices.h"
#include "items/PopupItemBoxes.h"
#include "manager/ManagerPage.h"
#include "platform/DisplayConnection.h"
#include "platform/PopupWindowStyle.h"
#include "platform/Relaunch.h"
#include "platform/StandardOutput.h"
#include "platform/StatusItem.h"
#include "quicklist/ColorTagPicker.h"
#include "quicklist/ItemOpener.h"
#include "quicklist/PopupWindow.h"
#include "quicklist/QuickListPage.h"
#include "store/FavoritesMerge.h"
#include "store/LocalizedText.h"
#include "store/PreferencesNotices.h"
#include "store/Settings.h"
#include "store/Sorting.h"
#include "store/TextKeys.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QLoggingCategory>
#include <QMenu>
#include <QMessageBox>
#include <QStandardPaths>
#include <QTimer>
#include <QTranslator>

#include <algorithm>
#include <utility>

Q_LOGGING_CATEGORY(lcApp, "brimble.app")

AppDelegate::AppDelegate(AppContext &context, QObject *parent)
    : QObject(parent)
    , m_context(context)
    , m_hotKey(std::make_unique<GlobalShortcut>(*context.preferences, [this] { showPopover(); }))
    , m_shortcutRecorder(std::make_unique<ShortcutRecorder>(*context.preferences, *m_hotKey))
    , m_relaunchProgram(QCoreApplication::applicationFilePath())
{
}

AppDelegate::~AppDelegate()
{
    // A chooser still open answers its client that nothing was added.
    for (const std::unique_ptr<GroupChooserDialog> &chooser : std::exchange(m_choosers, {})) {
        if (chooser->isVisible())
            chooser->reject();
    }
    m_desktopSearchService.reset();
    m_popover.reset();
    m_managerWindow.reset();
    // The hot key unregisters through the service, so the service goes last.
    m_shortcutRecorder.reset();
    m_hotKey.reset();
    HotKeysController::setService(nullptr);
}

void AppDelegate::applicationDidFinishLaunching(Opening opening)
{
    PreferencesStore &preferences = *m_context.preferences;

    m_context.favorites.adoptBareTitleItemLists();
    m_context.favorites.upgradeItemRecords();
    Localization::chooseSystemLanguage(preferences);
    translateQtDialogs();
    setMenuTitles();
    restoreGlobalShortcut();
    m_context.bookmarks.restoreFileAccess();
    // Removed notes and icons wait for an undo until quit, in the cache:
    // they are no favourites, and nothing is lost if they go.
    m_context.history.keepRemovedFilesIn(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation)
                                         + QStringLiteral("/brimble/removed"));

    // Login helper handshake: a running helper means this is a start at
    // login, which tells the helper to quit and opens no manager window
    // while there is a tray to reach Brimble from.
    const bool startedAtLogin = m_context.loginItems->endLoginHelper();

    Settings settings(preferences);
    settings.storeFileListInFolderDefault();
    if (const auto startAtLogin = settings.startsAtLogin())
        m_context.loginItems->setEnabled(*startAtLogin);

    // The tray icon goes up before the manager window is built, and the
    // display gets the request at once: building the window takes longer
    // than everything else the launch does, and the icon need not wait.
    setUpTrayIcon();
    DisplayConnection::sendQueuedRequests();
    if (opening == Opening::nothing) {
        // The desktop started Brimble for its search: no window pops up.
    } else if (!startedAtLogin && opening == Opening::popover && settings.isFirstRunFinished()) {
        showPopover();
    } else if (!startedAtLogin || m_minimizesOnClose) {
        // Without a tray the window is the way in, at login too; opened
        // only for that, it goes again once the icon is in a tray.
        m_windowStandsInForTray = startedAtLogin;
        managerWindow()->showAndActivate();
    }
    // Nothing on screen needs the popup yet: its rows are built at its first
    // use. The stored item order follows the sort as when the popup loads,
    // once the launch has settled (a popup opened earlier sorts on its own);
    // with 10,000 items that rewrites every list once.
    m_changesAtLaunch = preferences.changesMade();
    QTimer::singleShot(std::chrono::seconds(3), this, [this] {
        const bool unchangedSinceLaunch = m_context.preferences->changesMade() == m_changesAtLaunch;
        Sorting::sortAllGroupItems(m_context.favorites, m_context.favorites.groups(), m_context.sortSettings);
        if (unchangedSinceLaunch)
            m_changesAtLaunch = m_context.preferences->changesMade();
    });
}

bool AppDelegate::applicationWillTerminate()
{
    PreferencesStore &preferences = *m_context.preferences;
    const bool saved = preferences.flush() || preferences.changesMade() == m_changesAtLaunch;
    m_context.history.discardRemovedFiles();
    printLine(QStringLiteral("terminate"));
    return saved;
}

void AppDelegate::translateQtDialogs()
{
    // Dates, sizes and file type names that Qt formats follow the chosen
    // language too, in the system's own variant of it when it has one.
    const QLocale::Language language = Localization::isFrench() ? QLocale::French : QLocale::English;
    const QLocale system = QLocale::system();
    QLocale::setDefault(system.language() == language ? system : QLocale(language));

    // The file and colour dialogs come from Qt and carry its own texts.
    if (!Localization::isFrench())
        return;
    auto *translator = new QTranslator(this);
    if (translator->load(QLocale(QLocale::French), QStringLiteral("qtbase"), QStringLiteral("_"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(translator);
}

void AppDelegate::setMenuTitles()
{
    m_trayMenu = std::make_unique<QMenu>();
    m_trayMenu->addAction(LocalizedText(Text::showWindow), this, &AppDelegate::menuitem_Showwindow);
    m_trayMenu->addAction(LocalizedText(Text::aboutApp), this,
                          [this] { openManagerPage(ManagerWindowPages::aboutPage); });
    m_trayMenu->addSeparator();
    m_trayMenu->addAction(LocalizedText(Text::quitApp), this, &AppDelegate::terminate);
}

void AppDelegate::restoreGlobalShortcut()
{
    HotKeysController::setService(m_context.hotKeys.get());
    // A desktop that binds the key itself (the portal) lists it under this text.
    if (m_context.hotKeys)
        m_context.hotKeys->setShortcutDescription(LocalizedText(Text::showFavouritesAction));
    m_hotKey->restore();
}

void AppDelegate::setUpTrayIcon()
{
    if (!m_context.statusItem)
        m_context.statusItem = createStatusItem();
    StatusItem &statusItem = *m_context.statusItem;
    // Without a tray the manager window is the way back in, so it stays open
    // until a tray turns up.
    const bool trayAvailable = statusItem.isAvailable();
    m_minimizesOnClose = !trayAvailable;
    if (m_managerWindow)
        m_managerWindow->setMinimizesOnClose(m_minimizesOnClose);
    if (!trayAvailable)
        qCInfo(lcApp) << "No system tray: the manager window stays open instead";
    statusItem.setAppearedHandler([this] {
        m_minimizesOnClose = false;
        if (!m_managerWindow)
            return;
        m_managerWindow->setMinimizesOnClose(false);
        // The first run goes on in the window: the icon cannot open the popup before it ends.
        if (std::exchange(m_windowStandsInForTray, false) && !m_managerWindow->isShowingOnboarding())
            m_managerWindow->hide();
    });
    statusItem.setTriggerHandler([this] { togglePopover(); });
    statusItem.setSymbolicIconName(QLatin1String(brimbleSymbolicIconName));
    statusItem.show(brimbleIcon(), LocalizedText(Text::trayToolTip), m_trayMenu.get());
}

ManagerWindow *AppDelegate::managerWindow()
{
    if (!m_managerWindow) {
        m_managerWindow = std::make_unique<ManagerWindow>(m_context, *m_shortcutRecorder);
        m_managerWindow->setMinimizesOnClose(m_minimizesOnClose);
        m_managerWindow->setManagerPageFactory([this](DimmingLayer &blackLayer) {
            const ManagerServices services{m_context.favorites,    m_context.supportFiles, m_context.bookmarks,
                                           m_context.sortSettings, m_context.viewLinks,    m_context.faviconFetcher,
                                           *m_context.preferences, m_context.desktop,      selectTagvc(),
                                           &m_context.history};
            return new ManagerPage(services, blackLayer);
        });
        connect(m_managerWindow.get(), &ManagerWindow::popoverRequested, this, &AppDelegate::togglePopover);
        connect(m_managerWindow.get(), &ManagerWindow::relaunchRequested, this, &AppDelegate::relaunch);
        connect(m_managerWindow.get(), &ManagerWindow::quitRequested, this, &AppDelegate::terminate);
    }
    return m_managerWindow.get();
}

PopupWindow *AppDelegate::popover()
{
    if (!m_popover) {
        m_popover = std::make_unique<PopupWindow>(QuickListServices{m_context.favorites, *m_context.preferences,
                                                                    m_context.sortSettings, m_context.supportFiles,
                                                                    m_context.viewLinks, m_context.desktop,
                                                                    selectTagvc(), &m_context.history},
                                                  popupWindowStyleOfDisplay());
        const ItemServices itemServices{m_context.favorites,    m_context.supportFiles, m_context.bookmarks,
                                        m_context.sortSettings, m_context.viewLinks,    m_context.faviconFetcher};
        new PopupItemBoxes(m_popover->quickListPage(), itemServices, *m_context.preferences);
        connect(m_popover.get(), &PopupWindow::manageShortcutRequested, this,
                [this] { openManagerPage(ManagerWindowPages::managerPage); });
        connect(m_popover.get(), &PopupWindow::showPreferencesRequested, this,
                [this] { openManagerPage(ManagerWindowPages::preferencesPage); });
        connect(m_popover.get(), &PopupWindow::quitRequested, this, &AppDelegate::terminate);
    }
    return m_popover.get();
}

ColorTagPicker &AppDelegate::selectTagvc()
{
    if (!m_selectTagvc)
        m_selectTagvc = std::make_unique<ColorTagPicker>();
    return *m_selectTagvc;
}

QRect AppDelegate::trayIconGeometry() const
{
    // A StatusNotifierItem tray gives the point of the click at most, some
    // give nothing: the popup then opens at the pointer.
    return m_context.statusItem ? m_context.statusItem->geometry() : QRect();
}

void AppDelegate::terminate()
{
    QCoreApplication::exit(0);
}

void AppDelegate::togglePopover()
{
    if (!popover()->isPopoverShown() && !Settings(*m_context.preferences).isFirstRunFinished())
        return;
    popover()->togglePopover(trayIconGeometry());
}

void AppDelegate::showPopover()
{
    if (!Settings(*m_context.preferences).isFirstRunFinished())
        return;
    popover()->showPopover(trayIconGeometry());
}

void AppDelegate::menuitem_Showwindow()
{
    m_windowStandsInForTray = false;
    managerWindow()->showAndActivate();
}

ManagerWindow *AppDelegate::existingManagerWindow() const
{
    return m_managerWindow.get();
}

PopupWindow *AppDelegate::existingPopover() const
{
    return m_popover.get();
}

void AppDelegate::openManagerPage(int page)
{
    m_windowStandsInForTray = false;
    managerWindow()->openPage(page);
}

void AppDelegate::relaunch()
{
    if (!Relaunch::relaunchAfterExit(m_relaunchProgram))
        qCWarning(lcApp) << "Cannot start Brimble again:" << m_relaunchProgram;
    terminate();
}

void AppDelegate::handleInstanceRequest(const QByteArray &request)
{
    if (request == SingleInstance::toggleRequest)
        togglePopover();
    else if (request == SingleInstance::showRequest)
        menuitem_Showwindow();
}

ItemOpener &AppDelegate::itemOpener()
{
    if (!m_itemOpener)
        m_itemOpener = std::make_unique<ItemOpener>(m_context.supportFiles, m_context.desktop);
    return *m_itemOpener;
}

ScriptCommands &AppDelegate::scriptCommands()
{
    if (m_scriptCommands)
        return *m_scriptCommands;
    const ItemServices items{m_context.favorites,    m_context.supportFiles, m_context.bookmarks,
                             m_context.sortSettings, m_context.viewLinks,    m_context.faviconFetcher};
    auto chooser = [this](const QStringList &groupTitles, const QStringList &targets,
                          const ScriptCommands::ChoiceHandler &handler) {
        // A window of its own, whatever else is open; one left open when
        // Brimble ends is closed by the delegate.
        auto *dialog = m_choosers.emplace_back(std::make_unique<GroupChooserDialog>(groupTitles, targets)).get();
        // The client is answered once, however the window ends; the window
        // goes once the signal that ended it has returned.
        connect(
            dialog, &QDialog::finished, this,
            [this, dialog, handler] {
                handler(dialog->choice());
                const auto owned = std::ranges::find(m_choosers, dialog, &std::unique_ptr<GroupChooserDialog>::get);
                if (owned != m_choosers.end()) {
                    owned->release()->deleteLater();
                    m_choosers.erase(owned);
                }
            },
            Qt::SingleShotConnection);
        dialog->show();
        dialog->raise();
        dialog->activateWindow();
    };
    m_scriptCommands = std::make_unique<ScriptCommands>(items, m_context.desktop, chooser);
    return *m_scriptCommands;
}

void AppDelegate::handleCommand(const InstanceRequest &request, const SingleInstance::Replier &reply)
{
    scriptCommands().run(request, reply);
}

void AppDelegate::showPopoverSearching(const QString &text)
{
    if (!Settings(*m_context.preferences).isFirstRunFinished()) {
        menuitem_Showwindow();
        return;
    }
    popover()->quickListPage().searchFor(text);
    popover()->showPopover(trayIconGeometry());
}

void AppDelegate::startDesktopSearch(const QDBusConnection &bus)
{
    if (m_desktopSearchService)
        return;
    m_desktopSearch = std::make_unique<DesktopSearch>(m_context.favorites, m_context.supportFiles);
    m_desktopSearchService = std::make_unique<DesktopSearchService>(
        bus, *m_desktopSearch, itemOpener(), [this](const QString &text) { showPopoverSearching(text); });
    m_desktopSearchService->start();
}

void AppDelegate::followPreferencesFile(PlistPreferencesStore &store)
{
    store.setMergeFunction(FavoritesMerge::merge);
    store.setOutsideChangeHandler(
        [this](const PlistPreferencesStore::OutsideChange &change) { preferencesChangedElsewhere(change); });
    store.watchForOutsideChanges();
}

void AppDelegate::preferencesChangedElsewhere(const PlistPreferencesStore::OutsideChange &change)
{
    m_context.viewLinks.storeChangedElsewhere();
    if (const auto text = PreferencesNotices::forOutsideChange(change))
        managerWindow()->showNotice(*text);
}

void AppDelegate::reportPreferencesProblem(const PreferencesNotice &notice)
{
    QTimer::singleShot(0, this, [this, notice] {
        auto *box = new QMessageBox(QMessageBox::Warning, notice.title, notice.text, QMessageBox::Ok, managerWindow());
        box->setAttribute(Qt::WA_DeleteOnClose);
        box->open();
    });
}
