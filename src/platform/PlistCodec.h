#pragma once

#include <QByteArray>
#include <QVariant>

#include <optional>

// Converts between property-list bytes (XML or binary) and QVariant values:
// string, boolean, integer, real, date, data, array and dictionary map to
// QString, bool, qint64, double, QDateTime (UTC), QByteArray, QVariantList
// and QVariantMap. An unsigned integer above qint64's range reads as quint64.
//
// The binary form is read and written by code of our own: it keeps dates to
// the millisecond and strings whole. XML goes through libplist, whose dates
// end in 1932 and 2069; XML dates are therefore read and written as text by
// code of our own, exactly (to the second, as XML writes them), from year 1
// to 9999. XML cannot carry the character U+0000, which is left out there;
// every other character is kept.
namespace PlistCodec {

// Containers nested deeper than this make the bytes count as damaged; the
// favourites never nest deeper than four.
inline constexpr int maxDepth = 64;
// More values than this (counting each use of a shared binary object) make
// the bytes count as damaged.
inline constexpr quint64 maxValueCount = 4'000'000;

// The value held by the bytes, or std::nullopt when they are not a property
// list or exceed the limits above.
std::optional<QVariant> parse(const QByteArray &bytes);

// Lists of at least this many records under a binary list's top dictionary
// are checked at parse time and built when first used.
inline constexpr quint64 deferredListLength = 16;
// As parse(), but a binary list's long lists of records (see above) are
// checked as thoroughly and held as a deferred value: resolved() builds it.
// Reading a large store this way costs a fraction of the time and memory.
std::optional<QVariant> parseDeferringLists(const QByteArray &bytes);
bool isDeferred(const QVariant &value);
// The value with a deferred list built; any other value as it is.
QVariant resolved(const QVariant &value);
// The map with every deferred value in it built.
QVariantMap resolved(QVariantMap map);

// The value as a binary or an XML property list. Values of a type that a
// property list cannot hold are left out (with a warning).
QByteArray toBinary(const QVariant &value);
QByteArray toXml(const QVariant &value);

} // namespace PlistCodec
