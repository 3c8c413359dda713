#include "platform/QtHttpClient.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

QtHttpClient::QtHttpClient()
    : m_context(std::make_unique<QObject>())
{
}

QtHttpClient::~QtHttpClient()
{
    m_context.reset();
    // The manager deletes its replies, aborting what is still under way.
}

void QtHttpClient::get(const HttpRequest &request, Finished finished)
{
    if (!m_network)
        m_network = std::make_unique<QNetworkAccessManager>();
    QNetworkRequest networkRequest(request.url);
    if (request.transferTimeoutMs > 0)
        networkRequest.setTransferTimeout(request.transferTimeoutMs);
    if (!request.userAgent.isEmpty())
        networkRequest.setHeader(QNetworkRequest::UserAgentHeader, request.userAgent);
    QNetworkReply *reply = m_network->get(networkRequest);

    const qint64 maximumBytes = request.maximumBytes;
    if (maximumBytes >= 0) {
        QObject::connect(reply, &QNetworkReply::downloadProgress, reply, [reply, maximumBytes](qint64 received, qint64) {
            if (received > maximumBytes)
                reply->abort();
        });
    }
    // The transfer time-out only counts silence; a server that trickles
    // bytes is cut off here.
    if (request.totalTimeoutMs > 0)
        QTimer::singleShot(request.totalTimeoutMs, reply, [reply] { reply->abort(); });
    QObject::connect(reply, &QNetworkReply::finished, m_context.get(),
                     [reply, maximumBytes, finished = std::move(finished)] {
                         reply->deleteLater();
                         HttpResponse response;
                         response.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
                         if (reply->error() != QNetworkReply::NoError)
                             response.error = reply->errorString();
                         else
                             response.body = maximumBytes >= 0 ? reply->read(maximumBytes + 1) : reply->readAll();
                         // The whole body may have come before the progress check saw it.
                         if (maximumBytes >= 0 && response.body.size() > maximumBytes)
                             response.error = QStringLiteral("The answer is larger than %1 bytes").arg(maximumBytes);
                         finished(response);
                     });
}

HttpClient *brimble_create_http_client(int interfaceVersion)
{
    if (interfaceVersion != HttpClient::interfaceVersion)
        return nullptr;
    return new QtHttpClient;
}
