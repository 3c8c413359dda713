#include "platform/QtHttpClient.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

namespace {
// Set on a reply aborted for its size, which then reads as cancelled.
constexpr char tooLargeProperty[] = "brimbleTooLarge";
} // namespace

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
        // The reply takes in one byte more than allowed at most: while its
        // buffer is full, Qt Network stops reading from the socket. Without
        // this, its network thread reads a fast answer far past the limit
        // before this thread sees the first progress.
        reply->setReadBufferSize(maximumBytes + 1);
        const auto refuseWhenTooLarge = [reply, maximumBytes] {
            const QVariant declared = reply->header(QNetworkRequest::ContentLengthHeader);
            if (reply->bytesAvailable() > maximumBytes || (declared.isValid() && declared.toLongLong() > maximumBytes)) {
                reply->setProperty(tooLargeProperty, true);
                reply->abort();
            }
        };
        QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, refuseWhenTooLarge);
        QObject::connect(reply, &QNetworkReply::readyRead, reply, refuseWhenTooLarge);
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
                         // The whole body may have come before the checks saw it.
                         if (reply->property(tooLargeProperty).toBool()
                             || (maximumBytes >= 0 && response.body.size() > maximumBytes)) {
                             response.error = QStringLiteral("The answer is larger than %1 bytes").arg(maximumBytes);
                             response.body.clear();
                         }
                         finished(response);
                     });
}

HttpClient *brimble_create_http_client(int interfaceVersion)
{
    if (interfaceVersion != HttpClient::interfaceVersion)
        return nullptr;
    return new QtHttpClient;
}
