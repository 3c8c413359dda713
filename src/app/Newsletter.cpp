#include "app/Newsletter.h"

#include "platform/StandardOutput.h"

#include <QHostAddress>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>

#include <cmath>

Q_LOGGING_CATEGORY(lcNewsletter, "brimble.app.newsletter")

#ifndef BRIMBLE_NEWSLETTER_BASE
#define BRIMBLE_NEWSLETTER_BASE ""
#endif

namespace {

constexpr auto requestPath = "/wp-content/plugins/newsletter-api/add.php/";

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
    return host == u"localhost" || QHostAddress(host).isLoopback();
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
    if (!m_network)
        m_network = new QNetworkAccessManager(this);
    QNetworkRequest request(url);
    request.setTransferTimeout(m_timeoutMs);
    QNetworkReply *reply = m_network->get(request);
    ++m_pending;
    connect(reply, &QNetworkReply::finished, this, [this, reply, address] {
        reply->deleteLater();
        --m_pending;
        Answer answer = Answer::unknown;
        if (reply->error() != QNetworkReply::NoError) {
            printLine(reply->errorString());
        } else {
            QString error;
            answer = answerFor(reply->readAll(), &error);
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
