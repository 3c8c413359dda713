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

// A list under the top dictionary that was checked but not yet built: the
// file's bytes (shared, not copied) and the list's object number in them.
struct DeferredList
{
    QByteArray bytes;
    quint64 index = 0;
    // The same list of the same read (a list read twice compares unequal).
    bool operator==(const DeferredList &other) const
    {
        return bytes.constData() == other.bytes.constData() && index == other.index;
    }
};

// As parse(), but a top dictionary's lists of deferFrom or more
// dictionaries are checked as thoroughly and left as DeferredList values.
std::optional<QVariant> parseDeferringLists(const QByteArray &bytes, int maxDepth, quint64 maxValueCount,
                                            quint64 deferFrom);
// The list, built; invalid only when the bytes were not checked before.
QVariant decode(const DeferredList &list, int maxDepth, quint64 maxValueCount);
} // namespace BinaryPlistReader

Q_DECLARE_METATYPE(BinaryPlistReader::DeferredList)
