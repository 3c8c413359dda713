#pragma once

#include <QByteArray>

// A check of a property list's nesting before it is handed to the parser, so
// that hostile bytes cannot exhaust the stack or the memory: containers nested
// deeper than maxDepth, more than maxValueCount values (a binary list can use
// one object many times), and binary object references that loop or point
// outside the file all fail the check.
namespace PlistShape {
bool withinLimits(const QByteArray &bytes, int maxDepth, quint64 maxValueCount);
} // namespace PlistShape
