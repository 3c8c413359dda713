#include "app/NewsletterSubscription.h"

#include "platform/ModuleHttpClient.h"
#include "platform/StandardOutput.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QRegularExpression>

#include <arpa/inet.h>

Q_LOGGING_CATEGORY(lcNewsletter, "brimble.app.newsletter")

#ifndef BRIMBLE_NEWSLETTER_BASE
#define BRIMBLE_NEWSLETTER_BASE ""
#endif

namespace {

constexpr auto requestPath = "/wp-content/plugins/newsletter-api/add.php/";

// A numeric address of this machine (127.0.0.0/8, ::1, or 127.x mapped
// into IPv6), read without Qt Network, which is not loaded this early.
bool isLoopbackAddress(const QString &host)
{
    const QByteArray text = host.toLatin1();
    in_addr v4{};
    if (::inet_pton(AF_INET, text.constData(), &v4) == 1)
        return (ntohl(v4.s_addr) >> 24) == 127;
    in6_addr v6{};
    if (::inet_pton(AF_INET6, text.constData(), &v6) == 1)
        return IN6_IS_ADDR_LOOPBACK(&v6) || (IN6_IS_ADDR_V4MAPPED(&v6) && v6.s6_addr[12] == 127);
    return false;
}

// Subscriptions carry an address, so they travel encrypted; plain http is
// only for a server on this machine.
bool isUsableBase(const QUrl &base)
{
    if (!base.isValid() || base.host().isEmpty())
        return false;
    if (base.scheme() == u"https")
        return true;
    if (base.scheme() != u"http")
        return false;
    const QString host = base.host();
    return host == u"localhost" || isLoopbackAddress(host);
}

QString base64(const QString &text)
{
    return QString::fromLatin1(text.toUtf8().toBase64());
}

} // namespace

NewsletterSubscription::NewsletterSubscription(const QUrl &base, QObject *parent)
    : QObject(parent)
    , m_base(base)
{
}

NewsletterSubscription::~NewsletterSubscription() = default;

QUrl NewsletterSubscription::configuredBase()
{
    return QUrl(QStringLiteral(BRIMBLE_NEWSLETTER_BASE));
}

bool NewsletterSubscription::isAvailable() const
{
    return isUsableBase(m_base);
}

bool NewsletterSubscription::isValidAddress(const QString &address)
{
    static const QRegularExpression expression(
        QRegularExpression::anchoredPattern(QStringLiteral("[A-Z0-9a-z._%+-]+@[A-Za-z0-9.-]+\\.[A-Za-z]{2,}")));
    return expression.match(address).hasMatch();
}

QUrl NewsletterSubscription::requestUrl(const QUrl &base, const QString &address)
{
    if (!isUsableBase(base))
        return {};
    QString text = base.toString(QUrl::FullyEncoded | QUrl::RemoveQuery | QUrl::RemoveFragment);
    while (text.endsWith(u'/'))
        text.chop(1);
    text += QLatin1String(requestPath) + QStringLiteral("?nl=3&nk=") + base64(QString::fromLatin1(listKey))
            + QStringLiteral("&ne=") + base64(address) + QStringLiteral("&nn=") + base64(QString());
    const QUrl url(text, QUrl::StrictMode);
    return url.isValid() ? url : QUrl();
}

NewsletterSubscription::Answer NewsletterSubscription::answerFor(const QByteArray &body, QString *error)
{
    // The answer is a bare JSON value; wrapped in an array, Qt reads it.
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson('[' + body + ']', &parseError);
    if (parseError.error != QJsonParseError::NoError || document.array().size() != 1) {
        if (error)
            *error = parseError.error != QJsonParseError::NoError ? parseError.errorString()
                                                                  : QStringLiteral("not one JSON value");
        return Answer::unknown;
    }
    const QJsonValue value = document.array().first();
    if (!value.isDouble())
        return Answer::unknown;
    const double number = value.toDouble();
    if (number == 0)
        return Answer::subscribed;
    if (number == 1)
        return Answer::alreadySubscribed;
    if (number == 2)
        return Answer::serverProblem;
    return Answer::unknown;
}

bool NewsletterSubscription::subscribe(const QString &address)
{
    const QUrl url = requestUrl(m_base, address);
    if (!url.isValid()) {
        qCInfo(lcNewsletter) << "No newsletter endpoint to send to";
        return false;
    }
    if (!m_http)
        m_http = std::make_unique<ModuleHttpClient>();
    HttpRequest request;
    request.url = url;
    request.transferTimeoutMs = m_timeoutMs;
    // The answer is a line of JSON; a larger one is no answer of the service's.
    request.maximumBytes = 64 * 1024;
    ++m_pending;
    m_http->get(request, [this, address](const HttpResponse &response) {
        --m_pending;
        Answer answer = Answer::unknown;
        if (!response.ok()) {
            printLine(response.error);
        } else {
            QString error;
            answer = answerFor(response.body, &error);
            if (!error.isEmpty())
                printLine(error);
            else if (answer == Answer::subscribed)
                printLine(QStringLiteral("success"));
            else if (answer == Answer::alreadySubscribed)
                printLine(QStringLiteral("duplicatedata"));
            else if (answer == Answer::serverProblem)
                printLine(QStringLiteral("server problem"));
        }
        Q_EMIT answered(answer, address);
    });
    return true;
}
