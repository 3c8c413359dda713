#include "app/Newsletter.h"
#include "app/StartupVc.h"
#include "platform/FakePreferencesStore.h"
#include "platform/LoginItems.h"
#include "store/LocalizedText.h"

#include "items/LocalHttpServer.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTcpServer>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(Newsletter, ChecksAddressesAndBuildsTheRequestOverHttpsOnly)
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
    EXPECT_FALSE(NewsletterSubscription::requestUrl(QUrl(u"http://news.example.org"_qs), u"a@b.org"_qs).isValid());
    for (const char *local : {"http://127.0.0.1:8080", "http://127.4.0.9", "http://[::1]:8080", "http://[::ffff:127.0.0.1]",
                              "http://localhost"})
        EXPECT_TRUE(NewsletterSubscription::requestUrl(QUrl(QString::fromLatin1(local)), u"a@b.org"_qs).isValid()) << local;
    for (const char *remote : {"http://128.0.0.1", "http://[::2]", "http://10.127.0.1"})
        EXPECT_FALSE(NewsletterSubscription::requestUrl(QUrl(QString::fromLatin1(remote)), u"a@b.org"_qs).isValid()) << remote;
    EXPECT_FALSE(NewsletterSubscription::requestUrl(QUrl(), u"a@b.org"_qs).isValid());
    EXPECT_FALSE(NewsletterSubscription(QUrl(u"ftp://example.org"_qs)).isAvailable());
    EXPECT_TRUE(NewsletterSubscription::configuredBase().isEmpty()) << "no endpoint unless the build names one";

    using Answer = NewsletterSubscription::Answer;
    const std::pair<const char *, Answer> answers[] = {
        {"0", Answer::subscribed},   {" 1\n", Answer::alreadySubscribed}, {"2", Answer::serverProblem},
        {"3", Answer::unknown},      {"\"0\"", Answer::unknown},          {"true", Answer::unknown},
        {"[0]", Answer::unknown},    {"1.5", Answer::unknown},            {"", Answer::unknown},
        {"0,1", Answer::unknown},    {"{\"a\":0}", Answer::unknown},
    };
    for (const auto &[body, expected] : answers)
        EXPECT_EQ(NewsletterSubscription::answerFor(body), expected) << body;
    QString error;
    NewsletterSubscription::answerFor("<html>", &error);
    EXPECT_FALSE(error.isEmpty());
}

class OnboardingTest : public ::testing::Test
{
protected:
    OnboardingTest() { Localization::setTable(loadLanguageTable(QStringLiteral("English"))); }
    ~OnboardingTest() override { Localization::setTable(std::nullopt); }

    std::unique_ptr<StartupVc> makePage(const QUrl &base)
    {
        auto page = std::make_unique<StartupVc>(preferences, logins, base);
        page->subscription().setTimeout(500);
        page->show();
        return page;
    }
    // Types address, presses Subscribe and waits for the answer's alert (or
    // for the request to end without one).
    QString subscribe(StartupVc &page, const QString &address)
    {
        page.txtfield()->setText(address);
        testing::internal::CaptureStdout();
        page.findChild<QPushButton *>(u"btnsubscribe"_qs)->click();
        // Either wait may time out: the caller checks what came.
        (void)QTest::qWaitFor([&] { return page.alert() || page.subscription().pendingCount() == 0; }, 5000);
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

TEST_F(OnboardingTest, WithoutAnEndpointNoSubscriptionIsOffered)
{
    auto page = makePage(QUrl());
    EXPECT_FALSE(page->offersNewsletter());
    EXPECT_FALSE(page->findChild<QWidget *>(u"subscribeBox"_qs)->isVisible());
}

TEST_F(OnboardingTest, EveryPartOfThePageGetsTheHeightItNeeds)
{
    // Wrapped texts must not take their room from the icon or the buttons
    // (the French welcome wraps onto three lines).
    for (const char *language : {"English", "French"}) {
        Localization::setTable(loadLanguageTable(QString::fromLatin1(language)));
        StartupVc page(preferences, logins, QUrl());
        page.resize(900, 600);
        page.show();
        QCoreApplication::processEvents();
        const QList<QWidget *> parts = page.findChildren<QWidget *>();
        for (QWidget *part : parts) {
            if (!part->isVisibleTo(&page) || part->isWindow())
                continue;
            const int needed = part->hasHeightForWidth() ? part->heightForWidth(part->width())
                                                         : part->minimumSizeHint().height();
            EXPECT_GE(part->height(), needed) << language << " " << part->metaObject()->className() << " "
                                              << part->objectName().toStdString();
        }
    }
}

TEST_F(OnboardingTest, SubscriptionAnswersBecomeAlerts)
{
    auto text = [](const char *message, const char *informative) -> QString {
        return LocalizedText(message) + u'|' + LocalizedText(informative);
    };
    {
        LocalHttpServer server(200, "application/json", "0");
        auto page = makePage(server.base());
        ASSERT_TRUE(page->offersNewsletter());
        EXPECT_EQ(subscribe(*page, QString()), text("IDS_BR_48", "IDS_BR_49"));
        EXPECT_EQ(subscribe(*page, u"ann@example"_qs), text("IDS_BR_50", "IDS_BR_49"));
        EXPECT_TRUE(server.requestTargets().isEmpty()) << "nothing sent for a refused address";

        EXPECT_EQ(subscribe(*page, u"ann@example.org"_qs), text("IDS_BR_51", "IDS_BR_52"));
        EXPECT_EQ(output, u"done\nsuccess\n"_qs);
        EXPECT_TRUE(page->txtfield()->text().isEmpty()) << "the field empties with the alert";
        ASSERT_EQ(server.requestTargets().size(), 1);
        EXPECT_EQ(server.requestTargets().first(), QByteArray("/wp-content/plugins/newsletter-api/add.php/"
                                                              "?nl=3&nk=NWUwN2MyYjRkMQ==&ne=YW5uQGV4YW1wbGUub3Jn&nn="));
    }
    {
        LocalHttpServer server(200, "application/json", "1");
        auto page = makePage(server.base());
        EXPECT_EQ(subscribe(*page, u"ann@example.org"_qs),
                  LocalizedText("IDS_BR_53") + u'|' + LocalizedText("IDS_BR_54").arg(u"ann@example.org"_qs));
        EXPECT_TRUE(output.endsWith(u"duplicatedata\n"_qs));
    }
    {
        LocalHttpServer server(200, "application/json", "2");
        auto page = makePage(server.base());
        EXPECT_EQ(subscribe(*page, u"ann@example.org"_qs), text("IDS_BR_55", "IDS_BR_56"));
        EXPECT_TRUE(output.endsWith(u"server problem\n"_qs));
    }
    for (const QByteArray &silent : {QByteArray("5"), QByteArray("not json"), QByteArray("\"0\"")}) {
        LocalHttpServer server(200, "application/json", silent);
        auto page = makePage(server.base());
        EXPECT_EQ(subscribe(*page, u"ann@example.org"_qs), QString()) << silent.constData();
        EXPECT_EQ(server.requestTargets().size(), 1);
    }
}

TEST_F(OnboardingTest, AnAnswerThatNeverComesEndsSilently)
{
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    auto page = makePage(QUrl(u"http://127.0.0.1:%1"_qs.arg(silent.serverPort())));
    EXPECT_EQ(subscribe(*page, u"ann@example.org"_qs), QString());
    EXPECT_TRUE(output.startsWith(u"done\n"_qs));
    EXPECT_GT(output.size(), 5) << "the time-out is printed";
    EXPECT_EQ(page->subscription().pendingCount(), 0);
}

} // namespace
