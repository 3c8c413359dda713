#pragma once

#include "app/SingleInstance.h"
#include "platform/PlistPreferencesStore.h"

#include <QDBusConnection>
#include <QObject>
#include <QRect>
#include <QString>

#include <memory>
#include <vector>

struct AppContext;
class ColorTagPicker;
class DesktopSearch;
class DesktopSearchService;
class GlobalShortcut;
class GroupChooserDialog;
class ItemOpener;
class ManagerWindow;
class PopupWindow;
struct PreferencesNotice;
class QMenu;
class ScriptCommands;
class ShortcutRecorder;

// Brimble's application object: runs the launch sequence, owns the tray icon,
// the popup and the manager window, and ends the process cleanly.
class AppDelegate final : public QObject
{
    Q_OBJECT

public:
    explicit AppDelegate(AppContext &context, QObject *parent = nullptr);
    ~AppDelegate() override;

    // What a launch opens when it is not a start at login: the window, the
    // popup, or nothing (started for the desktop's search, or by
    // --background), whether there is a tray or not.
    enum class Opening { managerWindow, popover, nothing };
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
    PopupWindow *existingPopover() const;
    GlobalShortcut &hotKey() const { return *m_hotKey; }
    ShortcutRecorder &shortcutRecorder() const { return *m_shortcutRecorder; }
    void handleInstanceRequest(const QByteArray &request);
    // A command for scripts from a later `brimble` (add, list, open): carried
    // out on the favourites, asking which group in a small window when the
    // command names none.
    void handleCommand(const InstanceRequest &request, const SingleInstance::Replier &reply);
    // Opens the popup searching for text (GNOME's "more results"); during
    // the first run, the window with onboarding instead.
    void showPopoverSearching(const QString &text);
    // Serves the favourites to the desktop's search on bus; by default the
    // session bus, once launch is done.
    void startDesktopSearch(const QDBusConnection &bus);

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
    PopupWindow *popover();
    ItemOpener &itemOpener();
    ScriptCommands &scriptCommands();
    ColorTagPicker &selectTagvc();
    QRect trayIconGeometry() const;

    AppContext &m_context;
    std::unique_ptr<QMenu> m_trayMenu;
    std::unique_ptr<ColorTagPicker> m_selectTagvc;
    std::unique_ptr<PopupWindow> m_popover;
    std::unique_ptr<ManagerWindow> m_managerWindow;
    std::unique_ptr<GlobalShortcut> m_hotKey;
    std::unique_ptr<ShortcutRecorder> m_shortcutRecorder;
    std::unique_ptr<ItemOpener> m_itemOpener;
    std::unique_ptr<ScriptCommands> m_scriptCommands;
    std::unique_ptr<DesktopSearch> m_desktopSearch;
    std::unique_ptr<DesktopSearchService> m_desktopSearchService;
    // The group choosers of commands still waiting for the user.
    std::vector<std::unique_ptr<GroupChooserDialog>> m_choosers;
    QString m_relaunchProgram;
    bool m_minimizesOnClose = false;
    // The window opened at login only because no tray was there.
    bool m_windowStandsInForTray = false;
    // The store's count of changes once launch had made its own.
    quint64 m_changesAtLaunch = 0;
};
