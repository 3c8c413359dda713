#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>

#include <memory>

struct AppContext;
class GlobalShortcut;
class ManagerWindow;
struct PreferencesNotice;
class QMenu;
class QSystemTrayIcon;
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

    void applicationDidFinishLaunching();
    // Flushes the store and prints "terminate"; the last step of every exit.
    // False when the store could not save every change.
    bool applicationWillTerminate();

    // Ends the main loop; no window can refuse, unlike QCoreApplication::quit().
    void terminate();
    void togglePopover();
    // Shows the popup, once the first run is over; never closes it.
    void showPopover();
    void menuitem_Showwindow();
    GlobalShortcut &hotKey() const { return *m_hotKey; }
    ShortcutRecorder &shortcutRecorder() const { return *m_shortcutRecorder; }
    void handleInstanceRequest(const QByteArray &request);

    // Tells the user, once the interface is up, about a preferences file
    // that could not be read or written.
    void reportPreferencesProblem(const PreferencesNotice &notice);

private:
    void setUpTrayIcon();
    void translateQtDialogs();
    void setMenuTitles();
    void restoreGlobalShortcut();
    ManagerWindow *managerWindow();
    ViewController *popover();
    QRect trayIconGeometry() const;

    AppContext &m_context;
    std::unique_ptr<QMenu> m_trayMenu;
    QSystemTrayIcon *m_statusItem = nullptr;
    std::unique_ptr<SelectTagVc> m_selectTagvc;
    QPointer<ViewController> m_popover;
    QPointer<ManagerWindow> m_managerWindow;
    std::unique_ptr<GlobalShortcut> m_hotKey;
    std::unique_ptr<ShortcutRecorder> m_shortcutRecorder;
};
