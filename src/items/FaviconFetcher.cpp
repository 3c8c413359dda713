#include "items/FaviconFetcher.h"

#include "items/ItemsLog.h"
#include "platform/BoundedImageReader.h"
#include "platform/ModuleHttpClient.h"
#include "platform/StandardOutput.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

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
    HttpRequest request;
    request.url = address;
    request.userAgent = QByteArrayLiteral("Brimble/" BRIMBLE_VERSION);
    request.transferTimeoutMs = m_timeoutMs;
    // A server that trickles bytes is cut off too.
    request.totalTimeoutMs = m_timeoutMs;
    request.maximumBytes = maximumBytes;
    // Made at the first fetch, so that none of the network stack is loaded at launch.
    if (!m_http)
        m_http = std::make_unique<ModuleHttpClient>();
    ++m_pending;
    m_http->get(request, [this, path, stillWanted = std::move(stillWanted)](const HttpResponse &response) {
        finish(response, path, stillWanted);
    });
    return true;
}

void FaviconFetcher::finish(const HttpResponse &response, const QString &path, const StillWanted &stillWanted)
{
    --m_pending;
    bool saved = false;
    if (stillWanted && !stillWanted()) {
        qCInfo(lcItems) << "The item of" << path << "is gone; its icon is not kept";
    } else if (!response.ok()) {
        qCInfo(lcItems) << "Icon request failed:" << response.error;
    } else if (response.status != 0 && (response.status < 200 || response.status > 299)) {
        qCInfo(lcItems) << "Icon request answered" << response.status;
    } else {
        saved = writePng(response.body, path);
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
    // Decoded no larger than an icon is ever kept: a small answer may
    // claim thousands of pixels a side.
    const QImage image = BoundedImageReader::fromData(
        data, {maximumBytes, QSize(largestSide, largestSide), BoundedImageReader::largestIconPixelCount});
    if (image.isNull()) {
        qCInfo(lcItems) << "The icon answer is no image, or too large a one";
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
