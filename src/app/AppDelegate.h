#pragma once

#include "platform/PlistPreferencesStore.h"

#include <QObject>
#include <QRect>
#include <QString>

#include <memory>

struct AppContext;
class GlobalShortcut;
class ManagerWindow;
struct PreferencesNotice;
class QMenu;
class SelectTagVc;
class ShortcutRecorder;
class ViewController;

// Brimble's application object: runs the launch sequence, owns the tray icon,
// the popup and the manager window, and ends the process cleanly.
class AppDelegate final : public QObject
{
    Q_OBJECT

public:
    explicit AppDelegate(AppContext &context, QObject *parent = nullptr);
    ~AppDelegate() override;

    // What a launch opens when it is not a start at login.
    enum class Opening { managerWindow, popover };
    // The popover only once the first run is over; onboarding comes first.
    void applicationDidFinishLaunching(Opening opening = Opening::managerWindow);
    // Flushes the store and prints "terminate"; the last step of every exit.
    // False when changes of the session could not be saved. What launch
    // changes by itself (defaults, upgraded records, the stored order) is
    // no loss: the next launch changes it again from the same file.
    bool applicationWillTerminate();

    // Ends the main loop; no window can refuse, unlike QCoreApplication::quit().
    void terminate();
    void togglePopover();
    // Shows the popup, once the first run is over; never closes it.
    void showPopover();
    void menuitem_Showwindow();
    // Opens the manager window on a page of its container (groups,
    // preferences, about); during the first run it shows onboarding instead.
    void openManagerPage(int page);
    // The language changed: starts program again once this process has
    // ended, then ends it. The running executable unless set for tests.
    void relaunch();
    void setRelaunchProgram(const QString &program) { m_relaunchProgram = program; }
    // The manager window, or null when none was created yet (a start at login with a tray).
    ManagerWindow *existingManagerWindow() const;
    ViewController *existingPopover() const;
    GlobalShortcut &hotKey() const { return *m_hotKey; }
    ShortcutRecorder &shortcutRecorder() const { return *m_shortcutRecorder; }
    void handleInstanceRequest(const QByteArray &request);

    // Tells the user, once the interface is up, about a preferences file
    // that could not be read or written.
    void reportPreferencesProblem(const PreferencesNotice &notice);
    // From now on, what other programs change in the preferences file is
    // merged into the favourites as it happens (see
    // preferencesChangedElsewhere).
    void followPreferencesFile(PlistPreferencesStore &store);
    // Another program changed the preferences file and the store took the
    // change in: both views show it, and the manager window says what the
    // user needs to know, without a dialog.
    void preferencesChangedElsewhere(const PlistPreferencesStore::OutsideChange &change);

private:
    void setUpTrayIcon();
    void translateQtDialogs();
    void setMenuTitles();
    void restoreGlobalShortcut();
    ManagerWindow *managerWindow();
    ViewController *popover();
    SelectTagVc &selectTagvc();
    QRect trayIconGeometry() const;

    AppContext &m_context;
    std::unique_ptr<QMenu> m_trayMenu;
    std::unique_ptr<SelectTagVc> m_selectTagvc;
    std::unique_ptr<ViewController> m_popover;
    std::unique_ptr<ManagerWindow> m_managerWindow;
    std::unique_ptr<GlobalShortcut> m_hotKey;
    std::unique_ptr<ShortcutRecorder> m_shortcutRecorder;
    QString m_relaunchProgram;
    bool m_minimizesOnClose = false;
    // The window opened at login only because no tray was there.
    bool m_windowStandsInForTray = false;
    // The store's count of changes once launch had made its own.
    quint64 m_changesAtLaunch = 0;
};
