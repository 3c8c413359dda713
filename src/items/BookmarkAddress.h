#pragma once

#include <QLatin1String>
#include <QString>
#include <QUrl>

// How a bookmark's typed address becomes the request for its icon.
namespace BookmarkAddress {

// The host of the favicon service that every icon request goes to.
inline constexpr QLatin1String faviconHost("www.google.com");

// The address with every "http://", then "https://", then "www." removed,
// matched case-sensitively; any path or query stays.
QString hostText(const QString &address);

// "https://" + faviconHost + "/s2/favicons?domain=www." + the host text;
// an invalid URL when that text makes none.
QUrl iconAddress(const QString &address);

} // namespace BookmarkAddress
