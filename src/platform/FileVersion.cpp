#include "platform/FileVersion.h"

#include <QFile>
#include <QHashFunctions>

#include <ctime>

namespace {
// Coarser than the clock of any local file system (FAT's is two seconds).
constexpr qint64 racyWindowNanoseconds = 2'500'000'000;
constexpr size_t hashSeed = 0x6272696d626c65; // any fixed value: hashes are compared within one process

qint64 nowNanoseconds()
{
    timespec now{};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}
} // namespace

FileVersion FileVersion::ofPath(const QString &path)
{
    struct stat status
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
        FileVersion missing;
        missing.takenAt = nowNanoseconds();
        return missing;
    }
    return ofStatus(status);
}

FileVersion FileVersion::ofStatus(const struct stat &status)
{
    FileVersion version;
    version.exists = true;
    version.device = qint64(status.st_dev);
    version.inode = qint64(status.st_ino);
    version.size = qint64(status.st_size);
    version.modifiedSeconds = qint64(status.st_mtim.tv_sec);
    version.modifiedNanoseconds = qint64(status.st_mtim.tv_nsec);
    version.takenAt = nowNanoseconds();
    return version;
}

FileVersion FileVersion::withContent(const QByteArray &bytes) const
{
    FileVersion version = *this;
    version.hashed = true;
    version.contentHash = hashOf(bytes);
    return version;
}

quint64 FileVersion::hashOf(const QByteArray &bytes)
{
    return quint64(qHashBits(bytes.constData(), size_t(bytes.size()), hashSeed)) ^ quint64(bytes.size());
}

bool FileVersion::sameIdentity(const FileVersion &other) const
{
    if (!exists || !other.exists)
        return exists == other.exists;
    return device == other.device && inode == other.inode && size == other.size
           && modifiedSeconds == other.modifiedSeconds && modifiedNanoseconds == other.modifiedNanoseconds;
}

bool FileVersion::isRacy() const
{
    if (!exists)
        return false;
    const qint64 modified = modifiedSeconds * 1'000'000'000 + modifiedNanoseconds;
    return takenAt - modified < racyWindowNanoseconds;
}
