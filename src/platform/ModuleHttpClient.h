#pragma once

#include "platform/HttpClient.h"

#include <QObject>
#include <QStringList>

#include <memory>

// The HttpClient the program uses: it loads the brimble-http module, which
// holds the Qt Network implementation, at the first request and hands every
// request to it. Qt Network and the libraries it pulls in (Kerberos,
// libproxy, ...) are thus only mapped once something really goes online.
// When the module cannot be loaded, each request fails, later, like a
// network failure, naming the module and why.
class ModuleHttpClient final : public HttpClient
{
public:
    static constexpr auto moduleFileName = "libbrimble-http.so";

    // Where an installation keeps the module, given the folder of the
    // installed program.
    static QString installedPath(const QString &programFolder);

    // paths: the module files to try in turn. Empty: the installed place
    // beside the running program, then the dynamic loader's own search,
    // which in the build tree is the build's module folder (a run path that
    // `cmake --install` removes).
    explicit ModuleHttpClient(QStringList paths = {});
    ~ModuleHttpClient() override;

    void get(const HttpRequest &request, Finished finished) override;

private:
    bool load(QString *error);

    QStringList m_paths;
    std::unique_ptr<HttpClient> m_client;
    // Context of the failures reported from the event loop.
    QObject m_context;
};
