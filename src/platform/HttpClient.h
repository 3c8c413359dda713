#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <functional>

// One GET request and its limits.
struct HttpRequest
{
    QUrl url;
    // Empty: the HTTP library's own.
    QByteArray userAgent;
    // Silence longer than this ends the request (0: the library's default).
    int transferTimeoutMs = 0;
    // The whole exchange, however steadily bytes come (0: no limit).
    int totalTimeoutMs = 0;
    // A larger body ends the request as failed (negative: no limit).
    qint64 maximumBytes = -1;
};

struct HttpResponse
{
    // Why no usable answer came, in the HTTP library's words; empty when one did.
    QString error;
    // The HTTP status, also for an error status; 0 when no status came.
    int status = 0;
    // The body; never more than maximumBytes + 1 bytes of it.
    QByteArray body;

    bool ok() const { return error.isEmpty(); }
};

// Sends HTTP requests without ever waiting for the answer.
class HttpClient
{
public:
    // Raised when the interface changes, so that a module built against an
    // older one is refused instead of called wrongly.
    static constexpr int interfaceVersion = 1;

    using Finished = std::function<void(const HttpResponse &)>;

    virtual ~HttpClient() = default;
    // Starts request; finished runs once, later, on the event loop of the
    // calling thread, unless the client is destroyed first.
    virtual void get(const HttpRequest &request, Finished finished) = 0;
};
