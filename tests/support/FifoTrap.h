#pragma once

#include <QFile>
#include <QString>

#include <atomic>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// A FIFO at path that tells whether anything opened it for reading, and
// frees whatever did: a watcher thread tries a non-blocking open of the
// writing end every few milliseconds, which succeeds only while a reader
// has it open, and closes it again at once, so that a reader stuck in open
// or read goes on (with nothing) instead of hanging the test for ever. Code
// that refuses FIFOs never opens one, so sprung() is false whatever the timing.
class FifoTrap final
{
public:
    explicit FifoTrap(const QString &path)
        : m_path(QFile::encodeName(path))
        , m_made(::mkfifo(m_path.constData(), 0600) == 0)
        , m_watcher([this] {
            while (!m_stopping) {
                if (const int writer = ::open(m_path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC); writer >= 0) {
                    m_sprung = true;
                    ::close(writer);
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
            }
        })
    {
    }
    ~FifoTrap()
    {
        m_stopping = true;
        m_watcher.join();
    }

    bool made() const { return m_made; }
    bool sprung() const { return m_sprung; }

private:
    QByteArray m_path;
    bool m_made;
    std::atomic<bool> m_sprung = false;
    std::atomic<bool> m_stopping = false;
    std::thread m_watcher;
};
