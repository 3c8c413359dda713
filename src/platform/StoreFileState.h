#pragma once

#include "platform/FileVersion.h"

#include <QString>
#include <QVariantMap>

#include <mutex>

// The largest preferences file read: far beyond any store of favourites,
// short of what would exhaust the memory.
inline constexpr qint64 largestStoreFile = 256LL * 1024 * 1024;

// What this process knows of the preferences file: the version it last read
// or wrote and what that version holds, the base of every merge. Shared by
// the thread that merges outside changes and the thread that writes; every
// member is read and changed with mutex held.
struct StoreFileState
{
    std::mutex mutex;
    // The file itself, every link on its path followed.
    QString target;
    FileVersion version;
    QVariantMap content;
    // Grows whenever the store takes in another version of the file: a
    // snapshot made before that no longer holds everything on disk.
    quint64 generation = 0;

    // Whether the file at target is still version: the same identity, or,
    // when the identity changed or a change could hide in it, the same bytes.
    // A file found with the same bytes is remembered, so that the next check
    // needs no read. Cheap in the usual case: one stat().
    bool fileIsUnchanged();
};
