#pragma once

#include "support/PrivateBus.h"
#include "support/ProcessUntil.h"

#include <QDBusMessage>
#include <QProcess>

// The stand-in tray (FakeTray.cpp) as a process on a private bus, its
// output kept line by line.
class FakeTray
{
public:
    explicit FakeTray(const PrivateBus &bus, const QStringList &options = {})
        : m_bus(bus.client())
    {
        m_process.start(QStringLiteral(BRIMBLE_FAKE_TRAY), QStringList{bus.address} + options);
        ready = !waitForLine(QStringLiteral("ready")).isEmpty();
    }
    ~FakeTray()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

    // "verb argument"; the tray carries it out after answering.
    void send(const QString &command)
    {
        QDBusMessage call = QDBusMessage::createMethodCall(
            QStringLiteral("org.kde.StatusNotifierWatcher"), QStringLiteral("/StatusNotifierWatcher"),
            QStringLiteral("org.brimble.Test"), command.section(u' ', 0, 0));
        m_bus.send(call << command.section(u' ', 1));
    }

    // Waits, running the event loop, for a line starting with prefix that
    // was not yet consumed; returns it (empty when none came).
    QString waitForLine(const QString &prefix, int timeoutMs = 10000)
    {
        QString line;
        bool found = false;
        processUntil(
            [&] {
                while (!found && m_process.canReadLine())
                    found = (line = QString::fromUtf8(m_process.readLine()).trimmed()).startsWith(prefix);
                return found;
            },
            timeoutMs);
        return found ? line : QString();
    }

    bool ready = false;

private:
    QDBusConnection m_bus;
    QProcess m_process;
};
