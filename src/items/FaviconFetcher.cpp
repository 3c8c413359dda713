#include "items/FaviconFetcher.h"

#include "items/ItemsLog.h"
#include "platform/StandardOutput.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

FaviconFetcher::FaviconFetcher(QObject *parent)
    : QObject(parent)
{
}

FaviconFetcher::~FaviconFetcher() = default;

bool FaviconFetcher::fetch(const QUrl &iconAddress, const QString &path, StillWanted stillWanted)
{
    if (!iconAddress.isValid() || iconAddress.isRelative()) {
        qCInfo(lcItems) << "No icon request for" << iconAddress.toString();
        return false;
    }
    QUrl address = iconAddress;
    if (m_serviceOverride.isValid()) {
        address.setScheme(m_serviceOverride.scheme());
        address.setHost(m_serviceOverride.host());
        address.setPort(m_serviceOverride.port());
    }
    QNetworkRequest request(address);
    request.setTransferTimeout(m_timeoutMs);
    request.setHeader(QNetworkRequest::UserAgentHeader, QByteArrayLiteral("Brimble/" BRIMBLE_VERSION));
    // Made at the first fetch, so that none of the network stack runs at launch.
    if (!m_network)
        m_network = new QNetworkAccessManager(this);
    QNetworkReply *reply = m_network->get(request);
    ++m_pending;
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received, qint64) {
        if (received > maximumBytes)
            reply->abort();
    });
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, path, stillWanted = std::move(stillWanted)] { finish(reply, path, stillWanted); });
    // The transfer time-out only counts silence; a server that trickles
    // bytes is cut off here.
    QTimer::singleShot(m_timeoutMs, reply, [reply] { reply->abort(); });
    return true;
}

void FaviconFetcher::finish(QNetworkReply *reply, const QString &path, const StillWanted &stillWanted)
{
    reply->deleteLater();
    --m_pending;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    bool saved = false;
    if (stillWanted && !stillWanted()) {
        qCInfo(lcItems) << "The item of" << path << "is gone; its icon is not kept";
    } else if (reply->error() != QNetworkReply::NoError) {
        qCInfo(lcItems) << "Icon request failed:" << reply->errorString();
    } else if (status != 0 && (status < 200 || status > 299)) {
        qCInfo(lcItems) << "Icon request answered" << status;
    } else {
        saved = writePng(reply->read(maximumBytes + 1), path);
    }
    if (saved) {
        printLine(QStringLiteral("File saved"));
        Q_EMIT iconSaved(path);
    } else {
        Q_EMIT iconFailed(path);
    }
}

bool FaviconFetcher::writePng(const QByteArray &data, const QString &path) const
{
    QImage image;
    if (data.size() > maximumBytes || !image.loadFromData(data)) {
        qCInfo(lcItems) << "The icon answer is no image";
        return false;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    // NewOnly: a file already at path stays exactly as it is.
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        qCWarning(lcItems) << "Cannot create" << path << file.errorString();
        return false;
    }
    if (!image.save(&file, "PNG") || !file.flush()) {
        qCWarning(lcItems) << "Cannot write" << path << file.errorString();
        file.remove();
        return false;
    }
    return true;
}
