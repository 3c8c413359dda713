#include "platform/PreferencesFile.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace PreferencesFile {

Contents read(const QString &path, qint64 limit)
{
    Contents contents;
    const auto systemError = [&contents] {
        contents.refusal = Refusal::systemError;
        contents.systemError = QString::fromLocal8Bit(std::strerror(errno));
        return contents;
    };
    // Non-blocking: opening a pipe for reading would otherwise wait for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        if (errno == ENOENT)
            return contents;
        return systemError();
    }
    struct Closer
    {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};

    struct stat status {};
    if (::fstat(fd, &status) != 0)
        return systemError();
    contents.version = FileVersion::ofStatus(status);
    if (!S_ISREG(status.st_mode)) {
        contents.refusal = Refusal::notRegularFile;
        return contents;
    }
    if (qint64(status.st_size) > limit) {
        contents.refusal = Refusal::tooLarge;
        return contents;
    }
    // The file may grow while it is read: never past the limit.
    QByteArray bytes;
    bytes.reserve(qsizetype(status.st_size));
    char chunk[64 * 1024];
    for (;;) {
        const ssize_t count = ::read(fd, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return systemError();
        if (count == 0)
            break;
        if (bytes.size() + count > limit) {
            contents.refusal = Refusal::tooLarge;
            return contents;
        }
        bytes.append(chunk, count);
    }
    contents.refusal = Refusal::none;
    contents.version = contents.version.withContent(bytes);
    contents.bytes = std::move(bytes);
    return contents;
}

} // namespace PreferencesFile
