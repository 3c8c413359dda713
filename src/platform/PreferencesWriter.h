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

// The thread that writes snapshots of the preferences to their file.
// Only the newest pending snapshot is written. A write that fails is tried
// again, with a delay that doubles up to a minute, until one succeeds or a
// newer snapshot replaces it; flush() tries at once and says how it went.
class PreferencesWriter final
{
public:
    // onFailure runs on the writer thread when a write fails after the
    // previous one succeeded (or was the first).
    explicit PreferencesWriter(QString filePath, std::function<void()> onFailure = {},
                               std::chrono::milliseconds firstRetryDelay = std::chrono::seconds(1));
    ~PreferencesWriter();

    void schedule(const QVariantMap &snapshot);
    // Keeps snapshots in memory for duration from now before the first is
    // written, so that the write does not compete with the launch for the
    // processor. flush() ends the hold.
    void holdWritesFor(std::chrono::milliseconds duration);
    // Waits until the newest snapshot has been tried; true when it is on disk.
    bool flush();

private:
    void run();

    const QString m_filePath;
    const std::function<void()> m_onFailure;
    const std::chrono::milliseconds m_firstRetryDelay;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_written;
    std::optional<QVariantMap> m_pending;
    // The snapshot whose write failed, kept until a retry or a newer one.
    std::optional<QVariantMap> m_unsaved;
    std::chrono::steady_clock::time_point m_retryAt;
    std::chrono::milliseconds m_retryDelay;
    std::chrono::steady_clock::time_point m_holdUntil;
    uint64_t m_scheduledGeneration = 0;
    uint64_t m_writtenGeneration = 0;
    bool m_lastWriteSucceeded = true;
    bool m_writing = false;
    bool m_stopping = false;
    std::thread m_thread;
};
