#include "platform/ModuleHttpClient.h"

#include "support/FloodingServer.h"
#include "support/LocalHttpServer.h"

#include <QTest>

#include <gtest/gtest.h>

#include <optional>

namespace {

std::optional<HttpResponse> fetch(HttpClient &client, const HttpRequest &request)
{
    std::optional<HttpResponse> answer;
    client.get(request, [&answer](const HttpResponse &response) { answer = response; });
    EXPECT_FALSE(answer) << "answers come from the event loop";
    EXPECT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }, 30000));
    return answer;
}

TEST(ModuleHttpClient, KeepsToTheLimitAndCutsOffAFastLargeAnswerSoonAfterIt)
{
    // Within the limit, a body of many reads comes whole; beyond it, an error.
    const QByteArray large(300'000, 'y');
    LocalHttpServer server(200, "text/plain", large);
    ModuleHttpClient client;
    HttpRequest request;
    request.url = server.base().resolved(QUrl(QStringLiteral("/page")));
    request.maximumBytes = large.size();
    const auto allowed = fetch(client, request);
    ASSERT_TRUE(allowed && allowed->ok()) << allowed.value_or(HttpResponse()).error.toStdString();
    EXPECT_EQ(allowed->body, large);
    EXPECT_EQ(server.requestTargets(), QList<QByteArray>{"/page"});
    request.maximumBytes = large.size() - 1;
    const auto tooLarge = fetch(client, request);
    EXPECT_TRUE(tooLarge && !tooLarge->ok() && tooLarge->body.size() <= request.maximumBytes + 1);

    FloodingServer flooding;
    request.url = flooding.url();
    request.maximumBytes = 1024 * 1024;
    const auto answer = fetch(client, request);
    EXPECT_TRUE(answer && !answer->ok() && answer->body.isEmpty());
    ASSERT_TRUE(QTest::qWaitFor([&] { return flooding.done(); }, 60'000));
    // What the client took in is bounded by the limit plus the socket
    // buffers between the two ends (a few megabytes on loopback), not by
    // how fast the server sends.
    EXPECT_LT(flooding.sent(), 24 * 1024 * 1024) << flooding.sent() << " bytes taken in";
}

} // namespace
