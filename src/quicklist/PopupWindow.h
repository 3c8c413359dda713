#pragma once

#include "platform/PopupWindowStyle.h"
#include "quicklist/QuickListServices.h"
#include "quicklist/TaskList.h"

#include <QElapsedTimer>
#include <QRect>
#include <QWidget>

#include <optional>

class PopupTabs;
class QuickListPage;

// The popup opened from the tray icon: a window of two tabs, the quick-access
// list (QuickListPage) and the task list. In the grabbing style, a frameless
// Qt::Popup window under the tray icon that the desktop closes on a click
// elsewhere; in the compositor-placed style, an undecorated window the
// compositor places, closed when it loses activation. Either closes on
// Escape and once an item is opened. It is as tall as its rows, within the
// screen.
//
// Created once per process.
//
// Known elsewhere as ViewController.
class PopupWindow final : public QWidget
{
    Q_OBJECT

public:
    explicit PopupWindow(const QuickListServices &services, PopupWindowStyle style = PopupWindowStyle::grabbing,
                         QWidget *parent = nullptr);
    ~PopupWindow() override;

    // The tray icon's action: closes the popup when it is shown, else shows
    // it under trayIconGeometry (at the cursor when that is empty; where the
    // compositor places it, the geometry goes unused).
    void togglePopover(const QRect &trayIconGeometry);
    // Shows the popup (never closes it): the global shortcut's action.
    void showPopover(const QRect &trayIconGeometry);
    void closePopover();
    bool isPopoverShown() const;
    PopupWindowStyle windowStyle() const { return m_windowStyle; }

    QuickListPage &quickListPage() const { return *m_page; }

Q_SIGNALS:
    // The settings menu: open the manager window on its groups page, on the
    // preferences page, or quit the application.
    void manageShortcutRequested();
    void showPreferencesRequested();
    void quitRequested();

protected:
    bool event(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void buildTabs();
    void updateBoxHeight();
    void place();

    PopupWindowStyle m_windowStyle;
    TaskList m_taskList;
    QuickListPage *m_page = nullptr;
    PopupTabs *m_container = nullptr;
    int boxheight = 430;
    std::optional<int> screenHeight;
    QRect m_trayIconGeometry;
    QPoint m_cursorAtShow;
    QElapsedTimer m_sinceHidden;
};
