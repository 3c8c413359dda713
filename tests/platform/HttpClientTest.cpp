#include "platform/ModuleHttpClient.h"

#include "support/FloodingServer.h"
#include "support/LocalHttpServer.h"
#include "support/TestFolders.h"

#include <QTest>

#include <gtest/gtest.h>

#include <optional>

namespace {

std::optional<HttpResponse> fetch(HttpClient &client, const HttpRequest &request)
{
    std::optional<HttpResponse> answer;
    client.get(request, [&answer](const HttpResponse &response) { answer = response; });
    EXPECT_FALSE(answer) << "answers come from the event loop";
    EXPECT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }, 5000));
    return answer;
}

TEST(ModuleHttpClient, LoadsTheNetworkModuleAtTheFirstRequestAndKeepsToTheLimits)
{
    LocalHttpServer server(200, "text/plain", QByteArray(2000, 'x'));
    ModuleHttpClient client;
    HttpRequest request;
    request.url = server.base().resolved(QUrl(QStringLiteral("/page")));
    request.userAgent = "Test/1";
    const auto whole = fetch(client, request);
    ASSERT_TRUE(whole && whole->ok()) << whole.value_or(HttpResponse()).error.toStdString();
    EXPECT_EQ(whole->body.size(), 2000);
    EXPECT_EQ(server.requestTargets(), QList<QByteArray>{"/page"});

    request.maximumBytes = 1000;
    const auto tooLarge = fetch(client, request);
    EXPECT_TRUE(tooLarge && !tooLarge->ok() && tooLarge->body.size() <= 1001);

    // Within the limit, a body of many reads comes whole.
    const QByteArray large(300'000, 'y');
    LocalHttpServer largeServer(200, "text/plain", large);
    request.url = largeServer.base();
    request.maximumBytes = large.size();
    const auto allowed = fetch(client, request);
    ASSERT_TRUE(allowed && allowed->ok()) << allowed.value_or(HttpResponse()).error.toStdString();
    EXPECT_EQ(allowed->body, large);
}

TEST(ModuleHttpClient, AFastLargeAnswerIsCutOffSoonAfterTheLimit)
{
    FloodingServer server;
    ModuleHttpClient client;
    HttpRequest request;
    request.url = server.url();
    request.maximumBytes = 1024 * 1024;
    const auto answer = fetch(client, request);
    ASSERT_TRUE(answer);
    EXPECT_FALSE(answer->ok());
    EXPECT_TRUE(answer->body.isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return server.done(); }, 60'000));
    // What the client took in is bounded by the limit plus the socket
    // buffers between the two ends (a few megabytes on loopback), not by
    // how fast the server sends.
    EXPECT_LT(server.sent(), 24 * 1024 * 1024) << server.sent() << " bytes taken in";
}

TEST(ModuleHttpClient, AModuleThatCannotBeLoadedFailsEachRequestLikeTheNetwork)
{
    TestFolder folder;
    QFile notAModule(folder.filePath(QLatin1String(ModuleHttpClient::moduleFileName)));
    ASSERT_TRUE(notAModule.open(QIODevice::WriteOnly));
    notAModule.write("not an ELF file");
    notAModule.close();
    ModuleHttpClient client({folder.filePath(QStringLiteral("missing.so")), notAModule.fileName()});
    HttpRequest request;
    request.url = QUrl(QStringLiteral("http://127.0.0.1:9/"));
    for (int attempt = 0; attempt < 2; ++attempt) {
        const auto failed = fetch(client, request);
        ASSERT_TRUE(failed && !failed->ok());
        // The message names every place tried.
        EXPECT_TRUE(failed->error.contains(QLatin1String(ModuleHttpClient::moduleFileName))
                    && failed->error.contains(QStringLiteral("missing.so")))
            << failed->error.toStdString();
    }
}

} // namespace
