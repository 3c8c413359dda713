#include "platform/ModuleHttpClient.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QTimer>

#include <dlfcn.h>

Q_LOGGING_CATEGORY(lcHttp, "brimble.platform.http")

#ifndef BRIMBLE_HTTP_MODULE_DIR
#define BRIMBLE_HTTP_MODULE_DIR "../lib/brimble"
#endif

namespace {

using CreateClient = HttpClient *(*)(int interfaceVersion);
constexpr auto createClientSymbol = "brimble_create_http_client";

} // namespace

QString ModuleHttpClient::installedPath(const QString &programFolder)
{
    return QDir::cleanPath(programFolder + QStringLiteral("/" BRIMBLE_HTTP_MODULE_DIR "/")
                           + QLatin1String(moduleFileName));
}

ModuleHttpClient::ModuleHttpClient(QStringList paths)
    : m_paths(std::move(paths))
{
}

ModuleHttpClient::~ModuleHttpClient() = default;

void ModuleHttpClient::get(const HttpRequest &request, Finished finished)
{
    QString error;
    if (m_client || load(&error)) {
        m_client->get(request, std::move(finished));
        return;
    }
    // Like a failed connection, the failure comes from the event loop.
    QTimer::singleShot(0, &m_context, [error, finished = std::move(finished)] {
        HttpResponse response;
        response.error = error;
        finished(response);
    });
}

bool ModuleHttpClient::load(QString *error)
{
    QStringList paths = m_paths;
    if (paths.isEmpty()) {
        if (QCoreApplication::instance())
            paths.append(installedPath(QCoreApplication::applicationDirPath()));
        paths.append(QLatin1String(moduleFileName));
    }
    QStringList problems;
    for (const QString &path : std::as_const(paths)) {
        // Never closed: Qt keeps pointers into a module that has made objects.
        void *module = ::dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
        if (!module) {
            problems.append(QString::fromLocal8Bit(::dlerror()));
            continue;
        }
        const auto create = reinterpret_cast<CreateClient>(::dlsym(module, createClientSymbol));
        if (!create) {
            problems.append(path + QStringLiteral(": no ") + QLatin1String(createClientSymbol));
            continue;
        }
        m_client.reset(create(HttpClient::interfaceVersion));
        if (m_client) {
            qCInfo(lcHttp) << "Network module loaded from" << path;
            return true;
        }
        problems.append(path + QStringLiteral(": built for another interface version"));
    }
    *error = QStringLiteral("The network module %1 could not be loaded (%2)")
                 .arg(QLatin1String(moduleFileName), problems.join(QStringLiteral("; ")));
    qCWarning(lcHttp).noquote() << *error;
    return false;
}
