#include "items/BookmarkAddress.h"

namespace BookmarkAddress {

QString hostText(const QString &address)
{
    QString text = address;
    for (const QLatin1String prefix : {QLatin1String("http://"), QLatin1String("https://"), QLatin1String("www.")})
        text.remove(prefix, Qt::CaseSensitive);
    return text;
}

QUrl iconAddress(const QString &address)
{
    const QString text = QStringLiteral("https://") + faviconHost + QStringLiteral("/s2/favicons?domain=www.")
                         + hostText(address);
    return QUrl(text, QUrl::TolerantMode);
}

} // namespace BookmarkAddress
