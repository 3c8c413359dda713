#pragma once

#include <QByteArray>
#include <QVariant>

#include <optional>

// Converts between property-list bytes (XML or binary) and QVariant values:
// string, boolean, integer, real, date, data, array and dictionary map to
// QString, bool, qint64, double, QDateTime (UTC), QByteArray, QVariantList
// and QVariantMap. XML property lists keep dates to the whole second.
namespace PlistCodec {

// The value held by the bytes, or std::nullopt when they are not a
// property list.
std::optional<QVariant> parse(const QByteArray &bytes);

// The value as an XML property list. Values of a type that a property list
// cannot hold are left out (with a warning).
QByteArray toXml(const QVariant &value);

} // namespace PlistCodec
