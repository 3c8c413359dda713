#include "platform/AtomicFile.h"

#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcAtomicFile, "brimble.platform.file")

namespace AtomicFile {

bool write(const QString &path, const QByteArray &bytes)
{
    const QByteArray target = QFile::encodeName(path);
    const QByteArray temporary = target + ".tmp-" + QByteArray::number(getpid());
    const auto fail = [&](const char *step) {
        qCWarning(lcAtomicFile, "%s %s: %s", step, temporary.constData(), std::strerror(errno));
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

} // namespace AtomicFile
