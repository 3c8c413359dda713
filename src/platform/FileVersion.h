#pragma once

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

// What tells one version of a file from another without reading it: device,
// inode, size and modification time to the nanosecond, and, once the bytes
// were read, a hash of them.
//
// A file rewritten in place within one tick of the file system's clock, to
// the same size, keeps its identity: such a version counts as "racy" until
// its time is well in the past, and only its bytes then tell it apart.
struct FileVersion
{
    bool exists = false;
    qint64 device = 0;
    qint64 inode = 0;
    qint64 size = 0;
    qint64 modifiedSeconds = 0;
    qint64 modifiedNanoseconds = 0;
    // When the identity above was taken, in nanoseconds of the system clock.
    qint64 takenAt = 0;
    bool hashed = false;
    quint64 contentHash = 0;

    // The file at path (following links), or a version that does not exist.
    static FileVersion ofPath(const QString &path);
    static FileVersion ofStatus(const struct stat &status);
    // This version with the hash of its bytes.
    FileVersion withContent(const QByteArray &bytes) const;
    static quint64 hashOf(const QByteArray &bytes);

    bool sameIdentity(const FileVersion &other) const;
    // Whether a change made after this version was taken may have left the
    // identity as it was.
    bool isRacy() const;
};
