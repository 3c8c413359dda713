#pragma once

#include <QRect>

#include <functional>

class QIcon;
class QMenu;
class QString;

// The application's icon in the desktop's tray. Trays differ: an XEmbed tray
// says where the icon sits; a StatusNotifierItem host (KDE Plasma, GNOME with
// the AppIndicator extension) does not; some desktops have no tray at all.
class StatusItem
{
public:
    virtual ~StatusItem() = default;

    // Whether a tray shows status items on this desktop now.
    virtual bool isAvailable() const = 0;
    // Where the icon sits on screen; empty where the tray does not say.
    virtual QRect geometry() const = 0;
    // Puts the icon in the tray (or in the first tray that appears later).
    virtual void show(const QIcon &icon, const QString &toolTip, QMenu *menu) = 0;

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
