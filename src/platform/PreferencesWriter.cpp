#include "platform/PreferencesWriter.h"

#include "platform/PlistCodec.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

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
        if (!writeFileAtomically(m_filePath, xml))
            qCWarning(lcWriter) << "Could not save the preferences to" << m_filePath;

        lock.lock();
        m_writtenGeneration = generation;
        m_written.notify_all();
    }
}

bool PreferencesWriter::writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    const QByteArray target = QFile::encodeName(path);
    const QByteArray temporary = target + ".tmp-" + QByteArray::number(getpid());
    const auto fail = [&](const char *step) {
        qCWarning(lcWriter, "%s %s: %s", step, temporary.constData(), std::strerror(errno));
        return false;
    };

    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return fail("Cannot create");
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            fail("Cannot write");
            ::close(fd);
            ::unlink(temporary.constData());
            return false;
        }
        written += n;
    }
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        fail("Cannot flush");
        ::unlink(temporary.constData());
        return false;
    }
    if (::rename(temporary.constData(), target.constData()) != 0) {
        fail("Cannot rename");
        ::unlink(temporary.constData());
        return false;
    }
    // Make the rename itself durable.
    const QByteArray folder = QFile::encodeName(QFileInfo(path).absolutePath());
    if (const int dirFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}
