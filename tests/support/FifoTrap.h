#pragma once

#include <QFile>
#include <QString>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// A FIFO at path that tells whether anything opened it for reading, and
// frees whatever did. Opening a FIFO for reading waits for a writer, so a
// reader that does so would hang the test for ever: a watcher thread looks
// every few milliseconds for a reader (a writer's non-blocking open succeeds
// only when one exists), and when it finds one opens and closes the writing
// end, which lets the stuck open return and its reads end. Code that refuses
// FIFOs never opens one, so sprung() stays false whatever the timing.
class FifoTrap final
{
public:
    explicit FifoTrap(const QString &path)
        : m_path(QFile::encodeName(path))
        , m_made(::mkfifo(m_path.constData(), 0600) == 0)
        , m_watcher([this] { watch(); })
    {
    }
    FifoTrap(const FifoTrap &) = delete;
    FifoTrap &operator=(const FifoTrap &) = delete;
    ~FifoTrap()
    {
        {
            const std::lock_guard lock(m_mutex);
            m_stopping = true;
        }
        m_wake.notify_all();
        m_watcher.join();
    }

    bool made() const { return m_made; }
    // Whether something opened the FIFO for reading.
    bool sprung() const { return m_sprung; }

private:
    void watch()
    {
        std::unique_lock lock(m_mutex);
        while (!m_wake.wait_for(lock, std::chrono::milliseconds(20), [this] { return m_stopping; })) {
            const int writer = ::open(m_path.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
            if (writer >= 0) {
                m_sprung = true;
                ::close(writer);
            }
        }
    }

    QByteArray m_path;
    bool m_made;
    std::atomic<bool> m_sprung = false;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_stopping = false;
    std::thread m_watcher;
};
