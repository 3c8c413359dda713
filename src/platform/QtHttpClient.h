#pragma once

#include "platform/HttpClient.h"

#include <QObject>

#include <memory>

class QNetworkAccessManager;

// HttpClient over Qt Network. It is built into the brimble-http module, which
// ModuleHttpClient loads at the first request, so that Qt Network and what it
// pulls in (Kerberos, libproxy, ...) are not mapped at launch.
class QtHttpClient final : public HttpClient
{
public:
    QtHttpClient();
    ~QtHttpClient() override;

    void get(const HttpRequest &request, Finished finished) override;

private:
    // Answers go through connections to this object, which goes first when
    // the client is destroyed: no callback runs into a caller on its way out.
    std::unique_ptr<QObject> m_context;
    // Made at the first request.
    std::unique_ptr<QNetworkAccessManager> m_network;
};

// The module's one entry point: a new client when the caller speaks
// interfaceVersion, else null.
extern "C" Q_DECL_EXPORT HttpClient *brimble_create_http_client(int interfaceVersion);
