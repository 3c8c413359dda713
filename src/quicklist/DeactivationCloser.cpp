#include "quicklist/DeactivationCloser.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace {

// Long enough for the compositor's focus to arrive on a menu the window
// opened, short enough to pass unseen.
constexpr int settleMs = 150;

QWidget *widgetOf(const QWindow *window)
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->windowHandle() == window)
            return widget;
    }
    return nullptr;
}

} // namespace

DeactivationCloser::DeactivationCloser(QWidget *window)
    : QObject(window)
    , m_window(window)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(settleMs);
    connect(&m_settle, &QTimer::timeout, this, &DeactivationCloser::closeUnlessRefocused);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &DeactivationCloser::focusWindowChanged);
    window->installEventFilter(this);
}

bool DeactivationCloser::ownsFocus(const QWindow *focus) const
{
    if (!focus)
        return false;
    const QWindow *own = m_window->windowHandle();
    for (const QWindow *window = focus; window; window = window->transientParent()) {
        if (window == own)
            return true;
    }
    const QWidget *widget = widgetOf(focus);
    if (!widget)
        return false;
    return widget->windowType() == Qt::Popup || widget->windowType() == Qt::ToolTip || m_window->isAncestorOf(widget);
}

bool DeactivationCloser::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        if (event->type() == QEvent::Show) {
            m_wasActivated = ownsFocus(QGuiApplication::focusWindow());
        } else if (event->type() == QEvent::Hide) {
            m_settle.stop();
            m_wasActivated = false;
        }
    }
    return QObject::eventFilter(watched, event);
}

void DeactivationCloser::focusWindowChanged(QWindow *focus)
{
    if (!m_window->isVisible())
        return;
    if (ownsFocus(focus)) {
        m_wasActivated = true;
        m_settle.stop();
        return;
    }
    // Until the desktop has activated the window, a focus elsewhere is the
    // one it had before the window opened.
    if (m_wasActivated)
        m_settle.start();
}

void DeactivationCloser::closeUnlessRefocused()
{
    if (m_window->isVisible() && !ownsFocus(QGuiApplication::focusWindow()))
        m_window->close();
}
