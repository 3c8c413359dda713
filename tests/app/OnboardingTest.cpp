#include "app/NewsletterSubscription.h"
#include "app/OnboardingPage.h"
#include "platform/FakePreferencesStore.h"
#include "platform/LoginItems.h"
#include "store/LocalizedText.h"

#include "support/LocalHttpServer.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(NewsletterSubscription, ChecksAddressesAndBuildsTheRequestOverHttpsOnly)
{
    for (const char *address : {"ann@example.org", "a.b_c%d+e-f@mail.example.co", "X9@x.io"})
        EXPECT_TRUE(NewsletterSubscription::isValidAddress(QString::fromLatin1(address))) << address;
    for (const char *address : {"", "ann@example", "ann@example.o", "ann example@x.org", "@example.org",
                                "ann@example.org ", "ann@exa_mple.org", "ann@example.o2"})
        EXPECT_FALSE(NewsletterSubscription::isValidAddress(QString::fromLatin1(address))) << address;

    EXPECT_EQ(NewsletterSubscription::requestUrl(QUrl(u"https://news.example.org/"_qs), u"ann+news@example.org"_qs)
                  .toString(QUrl::FullyEncoded),
              u"https://news.example.org/wp-content/plugins/newsletter-api/add.php/"
              "?nl=3&nk=NWUwN2MyYjRkMQ==&ne=YW5uK25ld3NAZXhhbXBsZS5vcmc=&nn="_qs);
    // The address travels encrypted; plain http only reaches this machine.
    const std::pair<const char *, bool> bases[] = {{"http://127.0.0.1:8080", true}, {"http://127.4.0.9", true},
                                                   {"http://[::1]:8080", true},     {"http://[::ffff:127.0.0.1]", true},
                                                   {"http://localhost", true},      {"http://news.example.org", false},
                                                   {"http://128.0.0.1", false},     {"http://[::2]", false},
                                                   {"http://10.127.0.1", false},    {"", false}};
    for (const auto &[base, allowed] : bases)
        EXPECT_EQ(NewsletterSubscription::requestUrl(QUrl(QString::fromLatin1(base)), u"a@b.org"_qs).isValid(), allowed)
            << base;
    EXPECT_FALSE(NewsletterSubscription(QUrl(u"ftp://example.org"_qs)).isAvailable());

    using Answer = NewsletterSubscription::Answer;
    const std::pair<const char *, Answer> answers[] = {
        {"0", Answer::subscribed},      {" 1\n", Answer::alreadySubscribed},
        {"2", Answer::serverProblem},   {"3", Answer::unknown},
        {"\"0\"", Answer::unknown},     {"true", Answer::unknown},
        {"[0]", Answer::unknown},       {"1.5", Answer::unknown},
        {"", Answer::unknown},          {"0,1", Answer::unknown},
        {"{\"a\":0}", Answer::unknown},
    };
    for (const auto &[body, expected] : answers)
        EXPECT_EQ(NewsletterSubscription::answerFor(body), expected) << body;
}

class OnboardingTest : public ::testing::Test
{
protected:
    OnboardingTest() { Localization::setTable(loadLanguageTable(QStringLiteral("English"))); }
    ~OnboardingTest() override { Localization::setTable(std::nullopt); }

    std::unique_ptr<OnboardingPage> makePage(const QUrl &base)
    {
        auto page = std::make_unique<OnboardingPage>(preferences, logins, base);
        page->subscription().setTimeout(500);
        page->show();
        return page;
    }
    // Types address, presses Subscribe and waits for the answer's alert (or
    // for the request to end without one).
    QString subscribe(OnboardingPage &page, const QString &address)
    {
        page.txtfield()->setText(address);
        testing::internal::CaptureStdout();
        page.findChild<QPushButton *>(u"btnsubscribe"_qs)->click();
        // The wait may time out: the caller checks what came.
        (void)QTest::qWaitFor([&] { return page.subscription().pendingCount() == 0; }, 5000);
        output = QString::fromStdString(testing::internal::GetCapturedStdout());
        if (!page.alert())
            return {};
        const QString shown = page.alert()->text() + u'|' + page.alert()->informativeText();
        page.alert()->buttons().first()->click();
        return shown;
    }

    FakePreferencesStore preferences;
    FakeLoginItems logins;
    QString output;
};

TEST_F(OnboardingTest, SubscriptionAnswersBecomeAlertsAndNoAnswerEndsSilently)
{
    auto text = [](TextKey message, TextKey informative) -> QString {
        return LocalizedText(message) + u'|' + LocalizedText(informative).replace(u"%1"_qs, u"ann@example.org"_qs);
    };
    {
        LocalHttpServer server(200, "application/json", "0");
        auto page = makePage(server.base());
        ASSERT_TRUE(page->offersNewsletter());
        EXPECT_EQ(subscribe(*page, QString()), text("IDS_BR_48", "IDS_BR_49"));
        EXPECT_EQ(subscribe(*page, u"ann@example"_qs), text("IDS_BR_50", "IDS_BR_49"));
        EXPECT_TRUE(server.requestTargets().isEmpty()) << "nothing sent for a refused address";
    }
    const struct
    {
        QByteArray body;
        QString alert;
        const char *printed;
    } answers[] = {{"0", text("IDS_BR_51", "IDS_BR_52"), "done\nsuccess\n"},
                   {"1", text("IDS_BR_53", "IDS_BR_54"), "done\nduplicatedata\n"},
                   {"2", text("IDS_BR_55", "IDS_BR_56"), "done\nserver problem\n"},
                   {"not json", QString(), nullptr}};
    for (const auto &answer : answers) {
        LocalHttpServer server(200, "application/json", answer.body);
        auto page = makePage(server.base());
        EXPECT_EQ(subscribe(*page, u"ann@example.org"_qs), answer.alert) << answer.body.constData();
        if (answer.printed) {
            EXPECT_EQ(output, QString::fromLatin1(answer.printed));
        }
        EXPECT_TRUE(page->txtfield()->text().isEmpty() || answer.alert.isEmpty()) << "the field empties with the alert";
        EXPECT_EQ(server.requestTargets().size(), 1);
    }
    // An answer that never comes ends silently.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    auto page = makePage(QUrl(u"http://127.0.0.1:%1"_qs.arg(silent.serverPort())));
    EXPECT_EQ(subscribe(*page, u"ann@example.org"_qs), QString());
    EXPECT_EQ(page->subscription().pendingCount(), 0);
}

} // namespace
