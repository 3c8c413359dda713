#pragma once

#include "platform/FileVersion.h"

#include <QByteArray>
#include <QString>

// Reading the preferences file without trusting what sits at its path: only
// a regular file is read (a pipe would block for ever, a device never end),
// and only up to a size no store of favourites comes near.
namespace PreferencesFile {

inline constexpr qint64 maximumSize = 256LL * 1024 * 1024;

enum class Refusal {
    none,
    missing,        // nothing at the path (or a link to nothing)
    systemError,    // the system refused (permissions, an I/O error): see systemError
    notRegularFile, // a folder, a pipe, a socket or a device
    tooLarge,       // more than maximumSize bytes
};

struct Contents
{
    Refusal refusal = Refusal::missing;
    QString systemError;
    QByteArray bytes;
    // The version read, with the hash of its bytes.
    FileVersion version;
};

// Never blocks on what is at path and never holds more than limit bytes.
// Safe on any thread.
Contents read(const QString &path, qint64 limit = maximumSize);

} // namespace PreferencesFile
