#pragma once

#include "platform/DBusTrayTypes.h"
#include "platform/StatusItem.h"
#include "platform/TrayIconTheme.h"

#include <QDBusConnection>
#include <QObject>
#include <QPointer>

class DBusMenuExporter;
class StatusNotifierItemAdaptor;

// The tray icon as a StatusNotifierItem of its own over D-Bus, the tray of
// KDE Plasma, Xfce, LXQt, Cinnamon, waybar and GNOME's AppIndicator
// extension. The item and its menu stay exported on the bus, and the item is
// registered with the StatusNotifierWatcher each time one appears: at start,
// when the panel starts after Brimble, and again after a panel restart.
class StatusNotifierItem final : public QObject, public StatusItem
{
    Q_OBJECT

public:
    explicit StatusNotifierItem(const QDBusConnection &bus, QObject *parent = nullptr);
    ~StatusNotifierItem() override;

    // A watcher with a host that shows items is on the bus.
    bool isAvailable() const override;
    // Hosts do not say where the icon is; this is a point where the last
    // activation happened, where the host told it, else empty.
    QRect geometry() const override;
    void show(const QIcon &icon, const QString &toolTip, QMenu *menu) override;
    // The icon theme's icon the host shows instead of the pixmaps where it
    // finds it; none by default.
    void setThemeIcon(const TrayIconTheme &theme);

    // The watcher took the item and a host shows it.
    bool isInTray() const { return m_registered && m_hostPresent; }
    QString serviceName() const { return m_serviceName; }

Q_SIGNALS:
    // The watcher or its host came or went, or the item was taken.
    void trayStateChanged();

private Q_SLOTS:
    void hostRegistered();
    void askWhetherAHostIsRegistered();

private:
    friend class StatusNotifierItemAdaptor;

    bool exportItem();
    void watcherOwnerChanged(const QString &oldOwner, const QString &newOwner);
    void registerWithWatcher();
    // Reads the watcher's IsStatusNotifierHostRegistered; on the answer.
    void hostPresenceRead(const QDBusMessage &reply, int generation);
    void setState(bool watcherPresent, bool hostPresent, bool registered);
    void activate(int x, int y);
    void showContextMenu(int x, int y);

    QDBusConnection m_bus;
    QString m_serviceName;
    DBusMenuExporter *m_menuExporter = nullptr;
    StatusNotifierItemAdaptor *m_adaptor = nullptr;
    QPointer<QMenu> m_menu;
    QList<DBusImage> m_images;
    TrayIconTheme m_themeIcon;
    QString m_toolTip;
    QRect m_activationPoint;
    // Which watcher answers belong to: a reply from a watcher that has gone since is dropped.
    int m_watcherGeneration = 0;
    bool m_exported = false;
    bool m_shown = false;
    bool m_watcherPresent = false;
    bool m_hostPresent = false;
    bool m_registered = false;
    bool m_waitingForTray = false;
};
