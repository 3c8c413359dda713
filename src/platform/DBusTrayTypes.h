#pragma once

#include <QByteArray>
#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariantMap>

class QIcon;

// The structures the tray's D-Bus interfaces exchange: icons and tool tips
// of org.kde.StatusNotifierItem, menu items of com.canonical.dbusmenu.

// One image of an icon: width, height and ARGB32 pixels in network byte order (iiay).
struct DBusImage
{
    int width = 0;
    int height = 0;
    QByteArray pixels;
};

// The icon's images at the sizes panels use, from small to large.
QList<DBusImage> dbusImages(const QIcon &icon);

// Icon name, icon images, title and description (sa(iiay)ss).
struct DBusToolTip
{
    QString iconName;
    QList<DBusImage> images;
    QString title;
    QString description;
};

// A menu item with its properties and, to the depth asked, its children (ia{sv}av).
struct DBusMenuLayout
{
    int id = 0;
    QVariantMap properties;
    QList<DBusMenuLayout> children;
};

// A menu item's properties (ia{sv}).
struct DBusMenuItem
{
    int id = 0;
    QVariantMap properties;
};

// The names of properties an item no longer has (ias).
struct DBusMenuItemKeys
{
    int id = 0;
    QStringList names;
};

// One event of a group: item, event name, data, time (isvu).
struct DBusMenuEvent
{
    int id = 0;
    QString eventId;
    QDBusVariant data;
    uint timestamp = 0;
};

Q_DECLARE_METATYPE(DBusImage)
Q_DECLARE_METATYPE(DBusToolTip)
Q_DECLARE_METATYPE(DBusMenuLayout)
Q_DECLARE_METATYPE(DBusMenuItem)
Q_DECLARE_METATYPE(DBusMenuItemKeys)
Q_DECLARE_METATYPE(DBusMenuEvent)

QDBusArgument &operator<<(QDBusArgument &argument, const DBusImage &image);
const QDBusArgument &operator>>(const QDBusArgument &argument, DBusImage &image);
QDBusArgument &operator<<(QDBusArgument &argument, const DBusToolTip &toolTip);
const QDBusArgument &operator>>(const QDBusArgument &argument, DBusToolTip &toolTip);
QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuLayout &layout);
const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuLayout &layout);
QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuItem &item);
const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuItem &item);
QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuItemKeys &keys);
const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuItemKeys &keys);
QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuEvent &event);
const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuEvent &event);

// Makes the types above known to Qt D-Bus; before the first object using them is exported.
void registerDBusTrayTypes();
