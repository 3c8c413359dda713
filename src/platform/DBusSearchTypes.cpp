#include "platform/DBusSearchTypes.h"

#include "platform/DBusStructure.h"

#include <QDBusMetaType>
#include <QImage>

DBusIconData DBusIconData::fromImage(const QImage &image)
{
    const QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    DBusIconData icon;
    icon.width = rgba.width();
    icon.height = rgba.height();
    icon.rowStride = int(rgba.bytesPerLine());
    icon.data = QByteArray(reinterpret_cast<const char *>(rgba.constBits()), rgba.sizeInBytes());
    return icon;
}

QDBusArgument &operator<<(QDBusArgument &argument, const DBusIconData &icon)
{
    return writeDBusStructure(argument, icon.width, icon.height, icon.rowStride, icon.hasAlpha, icon.bitsPerSample,
                              icon.channels, icon.data);
}

const QDBusArgument &operator>>(const QDBusArgument &argument, DBusIconData &icon)
{
    return readDBusStructure(argument, icon.width, icon.height, icon.rowStride, icon.hasAlpha, icon.bitsPerSample,
                             icon.channels, icon.data);
}

QDBusArgument &operator<<(QDBusArgument &argument, const KRunnerMatch &match)
{
    return writeDBusStructure(argument, match.id, match.text, match.iconName, match.type, match.relevance,
                              match.properties);
}

const QDBusArgument &operator>>(const QDBusArgument &argument, KRunnerMatch &match)
{
    return readDBusStructure(argument, match.id, match.text, match.iconName, match.type, match.relevance,
                             match.properties);
}

QDBusArgument &operator<<(QDBusArgument &argument, const KRunnerAction &action)
{
    return writeDBusStructure(argument, action.id, action.text, action.iconName);
}

const QDBusArgument &operator>>(const QDBusArgument &argument, KRunnerAction &action)
{
    return readDBusStructure(argument, action.id, action.text, action.iconName);
}

void registerDBusSearchTypes()
{
    qDBusRegisterMetaType<DBusIconData>();
    qDBusRegisterMetaType<KRunnerMatch>();
    qDBusRegisterMetaType<QList<KRunnerMatch>>();
    qDBusRegisterMetaType<KRunnerAction>();
    qDBusRegisterMetaType<QList<KRunnerAction>>();
    qDBusRegisterMetaType<QList<QVariantMap>>();
}
