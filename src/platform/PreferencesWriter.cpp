#include "platform/PreferencesWriter.h"

#include "platform/AtomicFile.h"
#include "platform/PlistCodec.h"

#include <QLoggingCategory>

#include <malloc.h>

Q_LOGGING_CATEGORY(lcWriter, "brimble.platform.preferences")

namespace {
constexpr std::chrono::milliseconds longestRetryDelay = std::chrono::minutes(1);
}

PreferencesWriter::PreferencesWriter(QString filePath, std::function<void()> onFailure,
                                     std::chrono::milliseconds firstRetryDelay)
    : m_filePath(std::move(filePath))
    , m_onFailure(std::move(onFailure))
    , m_firstRetryDelay(firstRetryDelay)
    , m_retryDelay(firstRetryDelay)
    , m_thread([this] { run(); })
{
}

PreferencesWriter::~PreferencesWriter()
{
    {
        std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void PreferencesWriter::schedule(const QVariantMap &snapshot)
{
    {
        std::lock_guard lock(m_mutex);
        m_pending = snapshot;
        m_unsaved.reset(); // the newer snapshot holds every change
        ++m_scheduledGeneration;
    }
    m_wake.notify_one();
}

void PreferencesWriter::holdWritesFor(std::chrono::milliseconds duration)
{
    std::lock_guard lock(m_mutex);
    m_holdUntil = std::chrono::steady_clock::now() + duration;
}

bool PreferencesWriter::flush()
{
    std::unique_lock lock(m_mutex);
    m_holdUntil = {}; // a held snapshot goes now
    if (m_unsaved && !m_pending) {
        m_pending = std::move(m_unsaved);
        m_unsaved.reset();
        ++m_scheduledGeneration;
    }
    m_wake.notify_one();
    const uint64_t target = m_scheduledGeneration;
    // A retry already under way decides the outcome too.
    m_written.wait(lock, [&] { return m_writtenGeneration >= target && !m_writing; });
    return m_lastWriteSucceeded && !m_unsaved;
}

void PreferencesWriter::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        const auto ready = [&] { return m_pending.has_value() || m_stopping; };
        if (m_unsaved) {
            if (!m_wake.wait_until(lock, m_retryAt, ready) && m_unsaved) {
                m_pending = std::move(m_unsaved); // time for another try
                m_unsaved.reset();
            }
        } else {
            m_wake.wait(lock, ready);
        }
        if (!m_pending) {
            if (m_stopping)
                return;
            continue;
        }
        if (!m_stopping && std::chrono::steady_clock::now() < m_holdUntil) {
            // Later snapshots replace this one meanwhile; flush() or the
            // end of the hold lets the newest through.
            m_wake.wait_until(lock, m_holdUntil, [&] {
                return m_stopping || std::chrono::steady_clock::now() >= m_holdUntil;
            });
            continue;
        }
        QVariantMap snapshot = std::move(*m_pending);
        m_pending.reset();
        const uint64_t generation = m_scheduledGeneration;
        m_writing = true;
        lock.unlock();

        const bool written = AtomicFile::write(m_filePath, PlistCodec::toBinary(PlistCodec::resolved(snapshot)));
        malloc_trim(0);
        bool startsFailing = false;

        lock.lock();
        if (written) {
            m_retryDelay = m_firstRetryDelay;
        } else {
            qCWarning(lcWriter) << "Could not save the preferences to" << m_filePath << "; trying again in"
                                << m_retryDelay.count() << "ms";
            startsFailing = m_lastWriteSucceeded;
            if (!m_pending)
                m_unsaved = std::move(snapshot);
            m_retryAt = std::chrono::steady_clock::now() + m_retryDelay;
            m_retryDelay = std::min(m_retryDelay * 2, longestRetryDelay);
        }
        m_lastWriteSucceeded = written;
        m_writing = false;
        m_writtenGeneration = generation;
        m_written.notify_all();
        if (startsFailing && m_onFailure) {
            lock.unlock();
            m_onFailure();
            lock.lock();
        }
    }
}
