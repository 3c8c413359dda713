#include "platform/PreferencesWriter.h"

#include "platform/AtomicFile.h"
#include "platform/PlistCodec.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcWriter, "brimble.platform.preferences")

PreferencesWriter::PreferencesWriter(QString filePath)
    : m_filePath(std::move(filePath))
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
        ++m_scheduledGeneration;
    }
    m_wake.notify_one();
}

void PreferencesWriter::flush()
{
    std::unique_lock lock(m_mutex);
    const uint64_t target = m_scheduledGeneration;
    m_written.wait(lock, [&] { return m_writtenGeneration >= target; });
}

void PreferencesWriter::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [&] { return m_pending.has_value() || m_stopping; });
        if (!m_pending) // stopping with nothing left to write
            return;
        const QVariantMap snapshot = std::move(*m_pending);
        m_pending.reset();
        const uint64_t generation = m_scheduledGeneration;
        lock.unlock();

        const QByteArray xml = PlistCodec::toXml(snapshot);
        if (!AtomicFile::write(m_filePath, xml))
            qCWarning(lcWriter) << "Could not save the preferences to" << m_filePath;

        lock.lock();
        m_writtenGeneration = generation;
        m_written.notify_all();
    }
}
