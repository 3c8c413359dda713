#pragma once

#include "platform/StatusItem.h"

#include <QDBusConnection>
#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class QtStatusItem;
class StatusNotifierItem;

// The tray icon in whichever tray the session has: a StatusNotifierItem,
// registered with every watcher that comes; and on X11, while no
// StatusNotifierItem host is there, Qt's XEmbed icon beside it, dropped
// again once a host shows the item, so that the icon never shows twice.
// The StatusNotifierItem names the symbolic icon on the desktops that prefer
// one (see TrayIconTheme); the XEmbed icon is always the coloured one.
class DesktopStatusItem final : public QObject, public StatusItem
{
    Q_OBJECT

public:
    // currentDesktops: as XDG_CURRENT_DESKTOP says; programFolder: where the
    // program lies, beside its installation's icons.
    DesktopStatusItem(const QDBusConnection &bus, bool offersXEmbed, const QString &currentDesktops = {},
                      const QString &programFolder = {}, QObject *parent = nullptr);
    ~DesktopStatusItem() override;

    bool isAvailable() const override;
    QRect geometry() const override;
    void show(const QIcon &icon, const QString &toolTip, QMenu *menu) override;
    void setSymbolicIconName(const QString &iconName) override;

    // Whether the XEmbed icon stands in now.
    bool showsXEmbedIcon() const { return m_xembed != nullptr; }

private:
    void trayStateChanged();
    // Tells the application once when the icon is in a tray that was missing at show().
    void noteTrayAppeared();

    StatusNotifierItem *m_item = nullptr;
    std::unique_ptr<QtStatusItem> m_xembed;
    const bool m_offersXEmbed;
    const QString m_currentDesktops;
    const QString m_programFolder;
    QIcon m_icon;
    QString m_toolTip;
    QPointer<QMenu> m_menu;
    bool m_shown = false;
    bool m_waitingForTray = false;
};
