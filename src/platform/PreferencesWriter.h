#pragma once

#include <QString>
#include <QVariantMap>

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>

// The thread that writes snapshots of the preferences to their file.
// Only the newest pending snapshot is written; flush() waits for it.
class PreferencesWriter final
{
public:
    explicit PreferencesWriter(QString filePath);
    ~PreferencesWriter();

    void schedule(const QVariantMap &snapshot);
    void flush();

private:
    void run();

    const QString m_filePath;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_written;
    std::optional<QVariantMap> m_pending;
    uint64_t m_scheduledGeneration = 0;
    uint64_t m_writtenGeneration = 0;
    bool m_stopping = false;
    std::thread m_thread;
};
