#pragma once

#include <QByteArray>
#include <QVariant>

#include <optional>

// Reads a binary property list ("bplist00") straight into QVariants, with
// the same value mapping as PlistCodec. Every offset and reference is
// checked against the file; containers nested deeper than maxDepth (which
// includes any reference loop) or more than maxValueCount values (counting
// each use of a shared object) make the bytes count as damaged. Strings the
// file shares (every record's keys) stay one shared QString.
namespace BinaryPlistReader {
std::optional<QVariant> parse(const QByteArray &bytes, int maxDepth, quint64 maxValueCount);
} // namespace BinaryPlistReader
