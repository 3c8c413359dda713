#pragma once

#include <QByteArray>

// A check of an XML property list's nesting before it is handed to the
// parser, so that hostile bytes cannot exhaust the stack or the memory:
// containers nested deeper than maxDepth, or more than maxValueCount values,
// fail the check. Counts tags only, so it is fast and may overcount.
namespace PlistShape {
bool xmlWithinLimits(const QByteArray &bytes, int maxDepth, quint64 maxValueCount);
} // namespace PlistShape
