#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

#include <memory>

class HttpClient;

// The newsletter subscription offered on the onboarding page: checks the
// address, sends one GET request to the newsletter endpoint and reports the
// endpoint's answer, a bare JSON integer. Nothing waits for the network.
class NewsletterSubscription final : public QObject
{
    Q_OBJECT

public:
    enum class Answer { subscribed, alreadySubscribed, serverProblem, unknown };

    // The list Brimble's subscribers join.
    static constexpr auto listKey = "5e07c2b4d1";
    static constexpr int timeoutMs = 60'000;

    // base is the endpoint's address without its path; an empty one, or one
    // that is neither https nor a plain http address on this machine (a
    // test server), offers no subscription.
    explicit NewsletterSubscription(const QUrl &base, QObject *parent = nullptr);
    ~NewsletterSubscription() override;

    // The endpoint this build was configured with (empty unless set).
    static QUrl configuredBase();

    bool isAvailable() const;
    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }

    // The whole text is an e-mail address: name, at sign, domain, dot, and at
    // least two letters.
    static bool isValidAddress(const QString &address);
    // The request for address; invalid when base is not usable.
    static QUrl requestUrl(const QUrl &base, const QString &address);
    // The endpoint's answer body; error receives why it is not JSON.
    static Answer answerFor(const QByteArray &body, QString *error = nullptr);

    // Sends the request; false, and nothing sent, when there is no usable
    // endpoint. The answer comes through answered().
    bool subscribe(const QString &address);
    int pendingCount() const { return m_pending; }

Q_SIGNALS:
    // Every finished request, including transport and parse failures
    // (Answer::unknown), which only print a line.
    void answered(NewsletterSubscription::Answer answer, const QString &address);

private:
    QUrl m_base;
    std::unique_ptr<HttpClient> m_http;
    int m_timeoutMs = timeoutMs;
    int m_pending = 0;
};
