#pragma once

#include <QByteArray>
#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariantMap>

class QImage;

// The structures the desktops' search interfaces exchange: pictures sent
// as pixels (GNOME Shell's and KRunner's "icon-data"), and KRunner's
// matches and actions.

// A picture as GdkPixbuf keeps it: width, height, bytes a row, whether it
// has alpha, bits a sample, samples a pixel, and the RGBA bytes, not
// premultiplied (iiibiiay).
struct DBusIconData
{
    int width = 0;
    int height = 0;
    int rowStride = 0;
    bool hasAlpha = true;
    int bitsPerSample = 8;
    int channels = 4;
    QByteArray data;

    static DBusIconData fromImage(const QImage &image);
};

// One match of org.kde.krunner1's Match: id, text, icon name, type (how it
// ranks among the runners' categories), relevance, properties (sssida{sv}).
struct KRunnerMatch
{
    QString id;
    QString text;
    QString iconName;
    int type = 0;
    double relevance = 0;
    QVariantMap properties;
};

// One action of org.kde.krunner1's Actions: id, text, icon name (sss).
struct KRunnerAction
{
    QString id;
    QString text;
    QString iconName;
};

Q_DECLARE_METATYPE(DBusIconData)
Q_DECLARE_METATYPE(KRunnerMatch)
Q_DECLARE_METATYPE(KRunnerAction)

QDBusArgument &operator<<(QDBusArgument &argument, const DBusIconData &icon);
const QDBusArgument &operator>>(const QDBusArgument &argument, DBusIconData &icon);
QDBusArgument &operator<<(QDBusArgument &argument, const KRunnerMatch &match);
const QDBusArgument &operator>>(const QDBusArgument &argument, KRunnerMatch &match);
QDBusArgument &operator<<(QDBusArgument &argument, const KRunnerAction &action);
const QDBusArgument &operator>>(const QDBusArgument &argument, KRunnerAction &action);

// Makes the types above, and lists of them and of dictionaries, known to
// Qt D-Bus; before the first object using them is exported.
void registerDBusSearchTypes();
