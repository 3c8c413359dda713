#pragma once

#include "platform/FilePreviewer.h"

#include <QDBusConnection>
#include <QObject>

// GNOME's file previewer (Sushi) over D-Bus: org.gnome.NautilusPreviewer,
// started by the bus on demand. Available when the name is owned or can be
// activated on the session bus.
class DBusFilePreviewer final : public QObject, public FilePreviewer
{
    Q_OBJECT

public:
    explicit DBusFilePreviewer(const QDBusConnection &bus = QDBusConnection::sessionBus(), QObject *parent = nullptr);

    bool toggleFile(const QString &path, const std::function<void()> &refused) override;

private:
    bool serviceAvailable();

    QDBusConnection m_bus;
};
