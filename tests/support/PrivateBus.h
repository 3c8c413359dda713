#pragma once

#include "support/TestFolders.h"

#include <QDBusConnection>
#include <QFile>
#include <QProcess>

// A session bus of the test's own (dbus-daemon), with no service activation,
// so that no service of the machine can start on it.
class PrivateBus
{
public:
    PrivateBus()
    {
        const QString config = m_folder.filePath(QStringLiteral("bus.conf"));
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly))
            return;
        file.write(QStringLiteral("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\""
                                  " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">"
                                  "<busconfig><type>session</type><listen>unix:dir=%1</listen><auth>EXTERNAL</auth>"
                                  "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                                  "<allow eavesdrop=\"true\"/><allow receive_sender=\"*\"/><allow own=\"*\"/>"
                                  "</policy></busconfig>")
                       .arg(m_folder.path())
                       .toUtf8());
        file.close();
        m_daemon.start(QStringLiteral("dbus-daemon"),
                       {QStringLiteral("--config-file=") + config, QStringLiteral("--nofork"),
                        QStringLiteral("--print-address=1")});
        if (m_daemon.waitForReadyRead(10000))
            address = QString::fromUtf8(m_daemon.readLine().trimmed());
    }
    ~PrivateBus()
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("test client"));
        m_daemon.kill();
        m_daemon.waitForFinished();
    }

    QDBusConnection client() const { return QDBusConnection::connectToBus(address, QStringLiteral("test client")); }

    QString address;

private:
    TestFolder m_folder;
    QProcess m_daemon;
};
