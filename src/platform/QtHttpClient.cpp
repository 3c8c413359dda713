#include "platform/QtHttpClient.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <memory>

namespace {
// What the reply holds at most between two reads of it.
constexpr qint64 readBufferBytes = 64 * 1024;
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
    // The body as it comes, taken out of the reply at once: never more than
    // maximumBytes + 1 bytes of it.
    auto body = std::make_shared<QByteArray>();
    auto tooLarge = std::make_shared<bool>(false);
    if (maximumBytes >= 0) {
        // Without a bound, Qt Network's own thread reads a fast answer far
        // past the limit before this thread sees the first bytes of it; with
        // one, it stops reading from the socket while the reply is full.
        reply->setReadBufferSize(qMin(maximumBytes + 1, readBufferBytes));
        const auto takeIn = [reply, maximumBytes, body, tooLarge] {
            const QVariant declared = reply->header(QNetworkRequest::ContentLengthHeader);
            if (declared.isValid() && declared.toLongLong() > maximumBytes)
                *tooLarge = true;
            while (!*tooLarge && reply->bytesAvailable() > 0) {
                body->append(reply->read(maximumBytes + 1 - body->size()));
                *tooLarge = body->size() > maximumBytes;
            }
            if (*tooLarge)
                reply->abort();
        };
        QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, takeIn);
        QObject::connect(reply, &QNetworkReply::readyRead, reply, takeIn);
    }
    // The transfer time-out only counts silence; a server that trickles
    // bytes is cut off here.
    if (request.totalTimeoutMs > 0)
        QTimer::singleShot(request.totalTimeoutMs, reply, [reply] { reply->abort(); });
    QObject::connect(reply, &QNetworkReply::finished, m_context.get(),
                     [reply, maximumBytes, body, tooLarge, finished = std::move(finished)] {
                         reply->deleteLater();
                         HttpResponse response;
                         response.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
                         if (*tooLarge)
                             response.error = QStringLiteral("The answer is larger than %1 bytes").arg(maximumBytes);
                         else if (reply->error() != QNetworkReply::NoError)
                             response.error = reply->errorString();
                         else if (maximumBytes < 0)
                             response.body = reply->readAll();
                         else
                             response.body = *body + reply->read(maximumBytes + 1 - body->size());
                         // The whole body may have come before any check saw it.
                         if (maximumBytes >= 0 && response.body.size() > maximumBytes) {
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
