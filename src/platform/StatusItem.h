#pragma once

#include <QRect>

#include <functional>
#include <memory>

class QIcon;
class QMenu;
class QString;

// The application's icon in the desktop's tray. Trays differ: an XEmbed tray
// says where the icon sits; a StatusNotifierItem host (KDE Plasma, Xfce, GNOME
// with the AppIndicator extension) only says where it was clicked; some
// desktops have no tray at all, or get one after Brimble started.
class StatusItem
{
public:
    virtual ~StatusItem() = default;

    // Whether a tray shows status items on this desktop now.
    virtual bool isAvailable() const = 0;
    // Where the icon sits on screen (or was last clicked); empty where the tray does not say.
    virtual QRect geometry() const = 0;
    // Puts the icon in the tray (or in the first tray that appears later).
    virtual void show(const QIcon &icon, const QString &toolTip, QMenu *menu) = 0;
    // Names a monochrome variant of the icon in the icon theme, for trays
    // that draw their icons in one colour; before show(). Trays that do not
    // prefer such icons keep the one show() gets.
    virtual void setSymbolicIconName(const QString &) { }

    // Runs on a primary click on the icon.
    void setTriggerHandler(std::function<void()> handler) { m_triggered = std::move(handler); }
    // Runs once when a tray that was missing at show() appears.
    void setAppearedHandler(std::function<void()> handler) { m_appeared = std::move(handler); }

protected:
    void triggered() const
    {
        if (m_triggered)
            m_triggered();
    }
    void appeared() const
    {
        if (m_appeared)
            m_appeared();
    }

private:
    std::function<void()> m_triggered;
    std::function<void()> m_appeared;
};

// The tray icon for this session: a StatusNotifierItem on the session bus,
// and on X11 the XEmbed tray while no StatusNotifierItem host is there.
std::unique_ptr<StatusItem> createStatusItem();
