#pragma once

#include <QObject>
#include <QTimer>

class QWindow;
class QWidget;

// Closes a top-level window once the window system's focus has left it for
// a window that is not its own: another application's, or another window of
// this one. Where a window cannot grab the pointer (Wayland), this is what
// makes it behave as a popup.
//
// Windows opened from it keep it open: menus, pickers and tool tips (popup
// windows, which open from the focused window and close when they lose the
// focus), windows whose parent or transient parent it is (dialogs).
//
// A window the desktop never activated stays open: some desktops refuse
// activation to a window that did not come from a user's action.
class DeactivationCloser final : public QObject
{
    Q_OBJECT

public:
    // Watches window, which owns the closer.
    explicit DeactivationCloser(QWidget *window);

    // Whether focus is window or one of the windows that keep it open.
    bool ownsFocus(const QWindow *focus) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void focusWindowChanged(QWindow *focus);
    void closeUnlessRefocused();

    QWidget *m_window;
    // The focus has been on the window (or its own) since it was shown.
    bool m_wasActivated = false;
    // The focus passes through no window at all on its way from the window
    // to a menu it opens, and back: the decision waits for it to settle.
    QTimer m_settle;
};
