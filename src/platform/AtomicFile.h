#pragma once

#include <QByteArray>
#include <QString>

namespace AtomicFile {
// Replaces the file at path with bytes: a temporary file beside it (mode
// 0600), fsync, rename, fsync of the folder. On failure returns false and
// leaves any previous file whole.
bool write(const QString &path, const QByteArray &bytes);
} // namespace AtomicFile
