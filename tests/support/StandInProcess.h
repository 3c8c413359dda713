#pragma once

#include "support/BusCall.h"
#include "support/PrivateBus.h"
#include "support/ProcessUntil.h"

#include <QProcess>

// The other side of a D-Bus conversation (a tray, a portal) played by a
// program of the tests on a private bus: it is steered by method calls on
// its object, interface org.brimble.Test, and writes a line for each thing
// it sees.
class StandInProcess
{
public:
    StandInProcess(const PrivateBus &bus, const QString &program, const QString &service, const char *path,
                   const QStringList &options = {})
        : m_bus(bus.client())
        , m_service(service)
        , m_path(path)
    {
        m_process.start(program, QStringList{bus.address} + options);
        ready = !waitForLine(QStringLiteral("ready")).isEmpty();
    }
    ~StandInProcess()
    {
        m_process.kill();
        m_process.waitForFinished();
    }

    // "verb argument"; returns once the stand-in has taken it, running this
    // thread's events meanwhile so that it may call back.
    void send(const QString &command)
    {
        callOverBus(m_bus, m_service, m_path, "org.brimble.Test", command.section(u' ', 0, 0).toLatin1().constData(),
                    {command.section(u' ', 1)});
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
    QString m_service;
    const char *m_path;
    QProcess m_process;
};
