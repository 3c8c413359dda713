#pragma once

#include "platform/FileVersion.h"

#include <QByteArray>
#include <QString>

#include <memory>

class QFile;

// Reads files named by paths that anyone may have written: into the store by
// hand or by another program, onto a window by a drop. Only regular files are
// read, never more than a given size. Opening never waits: the file is opened
// without blocking and judged by the descriptor it gave, so a FIFO (whose
// open would wait for a writer for ever), a socket or a device is refused,
// also when it took the place of a regular file after a first look.
class RegularFile final
{
public:
    enum class Refusal { none, missing, notRegularFile, tooLarge, unreadable };

    struct Contents
    {
        QByteArray bytes;
        Refusal refusal = Refusal::none;
        // The version opened; read() adds the hash of the bytes it read.
        FileVersion version;
        // What the system said, for Refusal::unreadable.
        int error = 0;
        bool ok() const { return refusal == Refusal::none; }
    };

    // The whole file, when it holds at most limit bytes.
    static Contents read(const QString &path, qint64 limit);
    // The first count bytes of the file, whatever its size (all of a shorter one).
    static Contents readStart(const QString &path, qint64 count);
    // The file opened for reading, for readers that take a device (image
    // decoders); null when refused, with the reason in refusal.
    static std::unique_ptr<QFile> open(const QString &path, qint64 limit, Refusal *refusal = nullptr);

    // Why a file was not read, in words for the log.
    static QString describe(Refusal refusal);
};
