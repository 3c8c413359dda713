#include "platform/RegularFile.h"

#include <QFile>
#include <QLoggingCategory>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

Q_LOGGING_CATEGORY(lcFiles, "brimble.platform.files")

namespace {

// Closes the descriptor unless it is handed on.
class Descriptor final
{
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    {
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

RegularFile::Refusal refusalOfErrno(int error)
{
    return error == ENOENT || error == ENOTDIR ? RegularFile::Refusal::missing : RegularFile::Refusal::unreadable;
}

// A descriptor open for reading on the regular file at path of at most limit
// bytes (negative: any size), or -1 with refusal set (and error, for a
// system error). version: what the descriptor found.
int openRegular(const QString &path, qint64 limit, RegularFile::Refusal &refusal, FileVersion *version = nullptr,
                int *error = nullptr)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info
    {
    };
    const auto failed = [&] {
        if (error)
            *error = errno;
        refusal = refusalOfErrno(errno);
        return -1;
    };
    // A first look by name keeps devices from being opened at all: opening
    // some of them has effects of its own.
    if (name.isEmpty()) {
        refusal = RegularFile::Refusal::missing;
        return -1;
    }
    if (::stat(name.constData(), &info) != 0)
        return failed();
    if (!S_ISREG(info.st_mode)) {
        refusal = RegularFile::Refusal::notRegularFile;
        return -1;
    }
    // O_NONBLOCK: should a FIFO have taken the file's place since, its open
    // returns at once instead of waiting for a writer.
    Descriptor fd(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0)
        return failed();
    if (version)
        *version = FileVersion::ofStatus(info);
    if (!S_ISREG(info.st_mode)) {
        refusal = RegularFile::Refusal::notRegularFile;
        return -1;
    }
    if (limit >= 0 && info.st_size > limit) {
        refusal = RegularFile::Refusal::tooLarge;
        return -1;
    }
    // Reads of a regular file never wait on O_NONBLOCK anyway; cleared so
    // that a device wrapped around the descriptor sees an ordinary file.
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags >= 0)
        ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK);
    refusal = RegularFile::Refusal::none;
    return fd.release();
}

// Up to count bytes from fd; false on a read error.
bool readUpTo(int fd, qint64 count, QByteArray &bytes)
{
    bytes.clear();
    constexpr qint64 chunk = 64 * 1024;
    while (bytes.size() < count) {
        const qint64 offset = bytes.size();
        const qint64 wanted = std::min(chunk, count - offset);
        bytes.resize(offset + wanted);
        const ssize_t got = ::read(fd, bytes.data() + offset, size_t(wanted));
        if (got < 0 && errno == EINTR) {
            bytes.resize(offset);
            continue;
        }
        if (got < 0) {
            bytes.clear();
            return false;
        }
        bytes.resize(offset + got);
        if (got == 0)
            break;
    }
    return true;
}

} // namespace

RegularFile::Contents RegularFile::read(const QString &path, qint64 limit)
{
    Contents contents;
    Descriptor fd(openRegular(path, limit, contents.refusal, &contents.version, &contents.error));
    if (fd.get() < 0)
        return contents;
    // One byte more than allowed tells a file that grew past the limit
    // since it was measured.
    if (!readUpTo(fd.get(), limit + 1, contents.bytes)) {
        contents.refusal = Refusal::unreadable;
        contents.error = errno;
    } else if (contents.bytes.size() > limit) {
        contents.refusal = Refusal::tooLarge;
    } else {
        contents.version = contents.version.withContent(contents.bytes);
    }
    if (!contents.ok()) {
        contents.bytes.clear();
        qCInfo(lcFiles).noquote() << "Not reading" << path << describe(contents.refusal);
    }
    return contents;
}

RegularFile::Contents RegularFile::readStart(const QString &path, qint64 count)
{
    Contents contents;
    Descriptor fd(openRegular(path, -1, contents.refusal));
    if (fd.get() >= 0 && !readUpTo(fd.get(), count, contents.bytes))
        contents.refusal = Refusal::unreadable;
    if (!contents.ok())
        qCInfo(lcFiles).noquote() << "Not reading" << path << describe(contents.refusal);
    return contents;
}

std::unique_ptr<QFile> RegularFile::open(const QString &path, qint64 limit, Refusal *refusal)
{
    Refusal why = Refusal::none;
    Descriptor fd(openRegular(path, limit, why));
    if (refusal)
        *refusal = why;
    if (fd.get() < 0) {
        qCInfo(lcFiles).noquote() << "Not reading" << path << describe(why);
        return nullptr;
    }
    auto file = std::make_unique<QFile>(path);
    if (!file->open(fd.get(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        if (refusal)
            *refusal = Refusal::unreadable;
        return nullptr;
    }
    fd.release();
    return file;
}

QString RegularFile::describe(Refusal refusal)
{
    switch (refusal) {
    case Refusal::none:
        return QStringLiteral("(read)");
    case Refusal::missing:
        return QStringLiteral("(no such file)");
    case Refusal::notRegularFile:
        return QStringLiteral("(not a regular file)");
    case Refusal::tooLarge:
        return QStringLiteral("(too large)");
    case Refusal::unreadable:
        return QStringLiteral("(cannot be read)");
    }
    return {};
}
