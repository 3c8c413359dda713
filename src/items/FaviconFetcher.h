#pragma once

#include <QObject>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

class HttpClient;
struct HttpResponse;

// Loads bookmark icons in the background and writes each one as a PNG file
// at the path its item already names. The interface never waits for it: a
// failed, refused, slow or non-image answer simply leaves no file, and an
// existing file is never written over.
class FaviconFetcher final : public QObject
{
    Q_OBJECT

public:
    static constexpr int defaultTimeoutMs = 10'000;
    // Icons are a few kilobytes; anything larger is not one.
    static constexpr qint64 maximumBytes = 1024 * 1024;
    // Larger icons are scaled down to this before they are written.
    static constexpr int largestSide = 256;

    explicit FaviconFetcher(QObject *parent = nullptr);
    ~FaviconFetcher() override;

    // Sends every request to this scheme, host and port instead of the one
    // in its address, keeping path and query; for tests against a local server.
    void setServiceOverride(const QUrl &base) { m_serviceOverride = base; }
    // How long a request may take in all before it is given up.
    void setTimeout(int milliseconds) { m_timeoutMs = milliseconds; }

    // Whether an answer is still wanted when it comes; an icon whose item
    // was removed meanwhile would be a file that nothing owns.
    using StillWanted = std::function<bool()>;

    // Starts loading iconAddress for the file at path; false, and nothing
    // started, when the address is not a valid URL. When stillWanted says
    // no at answer time, nothing is written.
    bool fetch(const QUrl &iconAddress, const QString &path, StillWanted stillWanted = {});

    int pendingCount() const { return m_pending; }

Q_SIGNALS:
    // The icon file at path was written ("File saved" is on standard output).
    void iconSaved(const QString &path);
    // No icon file was written for path.
    void iconFailed(const QString &path);

private:
    void finish(const HttpResponse &response, const QString &path, const StillWanted &stillWanted);
    bool writePng(const QByteArray &data, const QString &path) const;

    std::unique_ptr<HttpClient> m_http;
    QUrl m_serviceOverride;
    int m_timeoutMs = defaultTimeoutMs;
    int m_pending = 0;
};
