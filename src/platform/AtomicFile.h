#pragma once

#include "platform/FileVersion.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace AtomicFile {

// Replaces the file at path with bytes: a temporary file beside it (mode
// 0600), fsync, rename, fsync of the folder. A path that is a symbolic link
// is written through: the file it leads to is replaced, in its own folder,
// and the link stays. On failure returns false and leaves any previous file
// whole.
bool write(const QString &path, const QByteArray &bytes);

// A new version of a file, written and flushed in a temporary file beside
// it, not yet in its place. Lets the caller look at the file once more just
// before it is replaced.
class Replacement final
{
public:
    // Null when the temporary file cannot be written. target is the file
    // itself (links already followed).
    static std::unique_ptr<Replacement> prepare(const QString &target, const QByteArray &bytes);
    // Removes the temporary file unless it took the target's place.
    ~Replacement();

    // The version the target has once replaced (a rename keeps it).
    const FileVersion &version() const { return m_version; }
    // Renames the temporary file over the target and makes that durable.
    bool commit();

private:
    Replacement(QByteArray target, QByteArray temporary, FileVersion version);

    QByteArray m_target;
    QByteArray m_temporary;
    FileVersion m_version;
    bool m_committed = false;
};

// The temporary file a write of target by process pid uses.
QString temporaryPathFor(const QString &target, qint64 pid);
// Removes the temporary files that writes of target cut short by a crash
// left beside it: only names of that form, owned by this user, whose process
// has gone (or no longer holds them open). Returns how many were removed.
int removeLeftovers(const QString &target);

} // namespace AtomicFile
