#pragma once

#include <QString>
#include <QVariantMap>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

struct StoreFileState;

// The thread that writes snapshots of the preferences to their file.
// Only the newest pending snapshot is written. A write that fails is tried
// again, with a delay that doubles up to a minute, until one succeeds or a
// newer snapshot replaces it; flush() tries at once and says how it went.
//
// Just before the new file takes the old one's place, the file is compared
// with the version the store last read or wrote (StoreFileState): when
// another program changed it meanwhile, nothing is written and the store is
// told to merge first. A snapshot equal to what the file already holds is
// not written at all.
class PreferencesWriter final
{
public:
    enum class Flushed {
        saved,
        failed,
        changedOnDisk, // the file changed since it was read: merge, then write again
    };

    // onFailure runs on the writer thread when a write fails after the
    // previous one succeeded (or was the first); onChangedOnDisk when a
    // snapshot was held back because the file had changed.
    PreferencesWriter(StoreFileState &state, std::function<void()> onFailure = {},
                      std::function<void()> onChangedOnDisk = {},
                      std::chrono::milliseconds firstRetryDelay = std::chrono::seconds(1));
    ~PreferencesWriter();

    // generation: the StoreFileState generation the snapshot was made in.
    void schedule(const QVariantMap &snapshot, quint64 generation);
    // Keeps snapshots in memory for duration from now before the first is
    // written, so that the write does not compete with the launch for the
    // processor. flush() ends the hold.
    void holdWritesFor(std::chrono::milliseconds duration);
    // Waits until the newest snapshot has been tried.
    Flushed flush();

private:
    struct Snapshot
    {
        QVariantMap values;
        quint64 generation = 0;
    };
    enum class Outcome { written, failed, changedOnDisk, superseded };

    void run();
    Outcome write(const Snapshot &snapshot);

    StoreFileState &m_state;
    const std::function<void()> m_onFailure;
    const std::function<void()> m_onChangedOnDisk;
    const std::chrono::milliseconds m_firstRetryDelay;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_written;
    std::optional<Snapshot> m_pending;
    // The snapshot whose write failed, kept until a retry or a newer one.
    std::optional<Snapshot> m_unsaved;
    std::chrono::steady_clock::time_point m_retryAt;
    std::chrono::milliseconds m_retryDelay;
    std::chrono::steady_clock::time_point m_holdUntil;
    uint64_t m_scheduledGeneration = 0;
    uint64_t m_writtenGeneration = 0;
    bool m_lastWriteSucceeded = true;
    bool m_changedOnDisk = false;
    bool m_writing = false;
    bool m_stopping = false;
    std::thread m_thread;
};
