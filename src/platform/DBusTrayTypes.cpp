#include "platform/DBusTrayTypes.h"

#include "platform/DBusStructure.h"

#include <QDBusMetaType>
#include <QIcon>
#include <QImage>
#include <QtEndian>

#include <algorithm>

QList<DBusImage> dbusImages(const QIcon &icon)
{
    QList<DBusImage> images;
    for (const int side : {16, 22, 24, 32, 48, 64}) {
        // A smaller pixmap is never scaled up: each size is sent once.
        const QImage image = icon.pixmap(QSize(side, side), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
        const bool known = std::any_of(images.cbegin(), images.cend(), [&](const DBusImage &sent) {
            return sent.width == image.width() && sent.height == image.height();
        });
        if (image.isNull() || known)
            continue;
        DBusImage converted{image.width(), image.height(),
                            QByteArray(qsizetype(image.width()) * image.height() * 4, 0)};
        auto *out = reinterpret_cast<quint32 *>(converted.pixels.data());
        for (int y = 0; y < image.height(); ++y) {
            const auto *line = reinterpret_cast<const quint32 *>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x)
                *out++ = qToBigEndian(line[x]);
        }
        images.append(converted);
    }
    return images;
}

QDBusArgument &operator<<(QDBusArgument &argument, const DBusImage &image)
{
    return writeDBusStructure(argument, image.width, image.height, image.pixels);
}

const QDBusArgument &operator>>(const QDBusArgument &argument, DBusImage &image)
{
    return readDBusStructure(argument, image.width, image.height, image.pixels);
}

QDBusArgument &operator<<(QDBusArgument &argument, const DBusToolTip &toolTip)
{
    return writeDBusStructure(argument, toolTip.iconName, toolTip.images, toolTip.title, toolTip.description);
}

const QDBusArgument &operator>>(const QDBusArgument &argument, DBusToolTip &toolTip)
{
    return readDBusStructure(argument, toolTip.iconName, toolTip.images, toolTip.title, toolTip.description);
}

QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuLayout &layout)
{
    argument.beginStructure();
    argument << layout.id << layout.properties;
    // Children travel as variants, each holding a layout of its own.
    argument.beginArray(QMetaType::fromType<QDBusVariant>());
    for (const DBusMenuLayout &child : layout.children)
        argument << QDBusVariant(QVariant::fromValue(child));
    argument.endArray();
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuLayout &layout)
{
    argument.beginStructure();
    argument >> layout.id >> layout.properties;
    layout.children.clear();
    argument.beginArray();
    while (!argument.atEnd()) {
        QDBusVariant child;
        argument >> child;
        layout.children.append(qdbus_cast<DBusMenuLayout>(child.variant()));
    }
    argument.endArray();
    argument.endStructure();
    return argument;
}

QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuItem &item)
{
    return writeDBusStructure(argument, item.id, item.properties);
}

const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuItem &item)
{
    return readDBusStructure(argument, item.id, item.properties);
}

QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuItemKeys &keys)
{
    return writeDBusStructure(argument, keys.id, keys.names);
}

const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuItemKeys &keys)
{
    return readDBusStructure(argument, keys.id, keys.names);
}

QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuEvent &event)
{
    return writeDBusStructure(argument, event.id, event.eventId, event.data, event.timestamp);
}

const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuEvent &event)
{
    return readDBusStructure(argument, event.id, event.eventId, event.data, event.timestamp);
}

void registerDBusTrayTypes()
{
    static const bool registered = [] {
        qDBusRegisterMetaType<DBusImage>();
        qDBusRegisterMetaType<QList<DBusImage>>();
        qDBusRegisterMetaType<DBusToolTip>();
        qDBusRegisterMetaType<DBusMenuLayout>();
        qDBusRegisterMetaType<DBusMenuItem>();
        qDBusRegisterMetaType<QList<DBusMenuItem>>();
        qDBusRegisterMetaType<DBusMenuItemKeys>();
        qDBusRegisterMetaType<QList<DBusMenuItemKeys>>();
        qDBusRegisterMetaType<DBusMenuEvent>();
        qDBusRegisterMetaType<QList<DBusMenuEvent>>();
        return true;
    }();
    Q_UNUSED(registered);
}
