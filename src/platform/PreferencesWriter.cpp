#include "platform/PreferencesWriter.h"

#include "platform/AtomicFile.h"
#include "platform/PlatformLog.h"
#include "platform/PlistCodec.h"
#include "platform/StoreFileState.h"

#include <malloc.h>

namespace {
constexpr std::chrono::milliseconds longestRetryDelay = std::chrono::minutes(1);
}

PreferencesWriter::PreferencesWriter(StoreFileState &state, std::function<void()> onFailure,
                                     std::function<void()> onChangedOnDisk, std::chrono::milliseconds firstRetryDelay)
    : m_state(state)
    , m_onFailure(std::move(onFailure))
    , m_onChangedOnDisk(std::move(onChangedOnDisk))
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

void PreferencesWriter::schedule(const QVariantMap &snapshot, quint64 generation)
{
    {
        std::lock_guard lock(m_mutex);
        m_pending = Snapshot{snapshot, generation};
        m_unsaved.reset(); // the newer snapshot holds every change
        m_changedOnDisk = false;
        ++m_scheduledGeneration;
    }
    m_wake.notify_one();
}

void PreferencesWriter::holdWritesFor(std::chrono::milliseconds duration)
{
    std::lock_guard lock(m_mutex);
    m_holdUntil = std::chrono::steady_clock::now() + duration;
}

PreferencesWriter::Flushed PreferencesWriter::flush()
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
    if (m_changedOnDisk)
        return Flushed::changedOnDisk;
    return m_lastWriteSucceeded && !m_unsaved ? Flushed::saved : Flushed::failed;
}

PreferencesWriter::Outcome PreferencesWriter::write(const Snapshot &snapshot)
{
    QString target;
    {
        std::lock_guard lock(m_state.mutex);
        if (snapshot.generation != m_state.generation)
            return Outcome::superseded; // the store merged since; a newer snapshot follows
        if (snapshot.values == m_state.content && m_state.fileIsUnchanged())
            return Outcome::written; // nothing to change on disk
        target = m_state.target;
    }
    const QByteArray bytes = PlistCodec::toBinary(PlistCodec::resolved(snapshot.values));
    const std::unique_ptr<AtomicFile::Replacement> replacement = AtomicFile::Replacement::prepare(target, bytes);
    if (!replacement)
        return Outcome::failed;

    std::lock_guard lock(m_state.mutex);
    if (snapshot.generation != m_state.generation || target != m_state.target)
        return Outcome::superseded;
    // Checked once the new file is ready, so that the gap in which another
    // program's write could be lost is as short as a rename.
    if (!m_state.fileIsUnchanged())
        return Outcome::changedOnDisk;
    if (!replacement->commit())
        return Outcome::failed;
    m_state.version = replacement->version();
    m_state.content = snapshot.values;
    return Outcome::written;
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
            m_wake.wait_until(lock, m_holdUntil,
                              [&] { return m_stopping || std::chrono::steady_clock::now() >= m_holdUntil; });
            continue;
        }
        Snapshot snapshot = std::move(*m_pending);
        m_pending.reset();
        const uint64_t generation = m_scheduledGeneration;
        m_writing = true;
        lock.unlock();

        const Outcome outcome = write(snapshot);
        malloc_trim(0);
        const bool written = outcome != Outcome::failed;
        bool startsFailing = false;

        lock.lock();
        if (written) {
            m_retryDelay = m_firstRetryDelay;
        } else {
            qCWarning(lcPreferences) << "Could not save the preferences; trying again in" << m_retryDelay.count()
                                     << "ms";
            startsFailing = m_lastWriteSucceeded;
            if (!m_pending)
                m_unsaved = std::move(snapshot);
            m_retryAt = std::chrono::steady_clock::now() + m_retryDelay;
            m_retryDelay = std::min(m_retryDelay * 2, longestRetryDelay);
        }
        const bool changedOnDisk = outcome == Outcome::changedOnDisk && !m_pending;
        m_changedOnDisk = changedOnDisk;
        m_lastWriteSucceeded = written;
        m_writing = false;
        m_writtenGeneration = generation;
        m_written.notify_all();
        const auto tell = [&](const std::function<void()> &handler) {
            lock.unlock();
            handler();
            lock.lock();
        };
        if (startsFailing && m_onFailure)
            tell(m_onFailure);
        if (changedOnDisk && m_onChangedOnDisk)
            tell(m_onChangedOnDisk);
    }
}
