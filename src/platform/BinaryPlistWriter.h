#pragma once

#include <QByteArray>
#include <QVariant>

// Writes QVariants as a binary property list ("bplist00"), with the value
// mapping of PlistCodec. Equal strings (every record's keys) and the two
// booleans are written once and shared. Dates are kept to the millisecond
// over QDateTime's whole range, strings keep every character (U+0000
// included), and an unsigned integer above qint64's range stays unsigned.
// Values of another type are left out, with a warning.
namespace BinaryPlistWriter {
QByteArray write(const QVariant &root);
} // namespace BinaryPlistWriter
