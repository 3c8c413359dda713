#pragma once

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/ProcessUntil.h"

// A Wayland compositor of the test's own: weston on its headless backend,
// with its socket in a runtime folder of its own, and the test seat module
// (WestonTestSeat.cpp) so that it activates the windows it maps and types
// the keys a test asks for. Needs nothing from the machine's session.
class WestonSession
{
public:
    static QString westonProgram() { return QStandardPaths::findExecutable(QStringLiteral("weston")); }

    // Starts weston with the seat module at seatModule; false, with the
    // reason in log(), when it does not come up.
    bool start(const QString &seatModule)
    {
        const QString seatFifo = m_runtime.filePath(QStringLiteral("seat"));
        if (!m_runtime.isValid() || mkfifo(QFile::encodeName(seatFifo).constData(), 0600) != 0)
            return false;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        environment.insert(QStringLiteral("BRIMBLE_TEST_SEAT_FIFO"), seatFifo);
        for (const char *name : {"WAYLAND_DISPLAY", "WAYLAND_SOCKET", "DISPLAY"})
            environment.remove(QString::fromLatin1(name));
        m_weston.setProcessEnvironment(environment);
        m_weston.setProcessChannelMode(QProcess::MergedChannels);
        m_weston.start(westonProgram(),
                       {QStringLiteral("--backend=headless-backend.so"), QStringLiteral("--socket=") + socketName,
                        QStringLiteral("--no-config"), QStringLiteral("--idle-time=0"), QStringLiteral("--width=1280"),
                        QStringLiteral("--height=800"), QStringLiteral("--log=") + logPath(),
                        QStringLiteral("--modules=") + seatModule});
        const QString socket = m_runtime.filePath(socketName);
        return processUntil([&] { return QFileInfo::exists(socket) || m_weston.state() == QProcess::NotRunning; },
                            30000)
               && m_weston.state() == QProcess::Running;
    }

    ~WestonSession()
    {
        m_weston.terminate();
        if (!m_weston.waitForFinished(10000))
            m_weston.kill();
        m_weston.waitForFinished();
    }

    // What a client of this compositor gets: Qt's Wayland plugin, and no
    // way to reach an X server instead.
    QProcessEnvironment clientEnvironment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"), socketName);
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
        environment.remove(QStringLiteral("DISPLAY"));
        return environment;
    }

    // Keys (Linux key codes, as in linux/input-event-codes.h) for the window
    // that has the keyboard focus: typed, or pressed and held until released.
    // While a key is held, its press is the latest event, which a client
    // may open a grabbing popup with, as after a user's click.
    void typeKey(int linuxKeyCode) { tellSeat("key", linuxKeyCode); }
    void pressKey(int linuxKeyCode) { tellSeat("press", linuxKeyCode); }
    void releaseKey(int linuxKeyCode) { tellSeat("release", linuxKeyCode); }

    // Weston's log, and what it printed before it could write one.
    QString log()
    {
        QFile file(logPath());
        const QString written = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
        return QString::fromLocal8Bit(m_weston.readAll()) + written;
    }

    inline static const QString socketName = QStringLiteral("brimble-test");

private:
    void tellSeat(const char *verb, int linuxKeyCode)
    {
        const int fifo = ::open(QFile::encodeName(m_runtime.filePath(QStringLiteral("seat"))).constData(),
                                O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fifo < 0)
            return;
        const QByteArray line = verb + (' ' + QByteArray::number(linuxKeyCode)) + '\n';
        [[maybe_unused]] const ssize_t written = ::write(fifo, line.constData(), size_t(line.size()));
        ::close(fifo);
    }
    QString logPath() const { return m_runtime.filePath(QStringLiteral("weston.log")); }

    // QTemporaryDir makes it with mode 0700, as a runtime folder must be.
    QTemporaryDir m_runtime;
    QProcess m_weston;
};
