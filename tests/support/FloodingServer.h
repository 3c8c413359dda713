#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

#include <atomic>
#include <thread>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// Answers one request on 127.0.0.1 with a body of a gigabyte, sent as fast
// as the connection takes it, on a thread of its own (as a fast server
// would, beside the client's event loop), and counts the bytes the
// connection took before the client hung up.
class FloodingServer final
{
public:
    static constexpr qint64 bodyBytes = qint64(1) << 30;

    FloodingServer()
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), length);
        ::listen(m_listener, 1);
        ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~FloodingServer()
    {
        ::shutdown(m_listener, SHUT_RDWR);
        m_thread.join();
        ::close(m_listener);
    }

    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1/large").arg(m_port)); }
    bool done() const { return m_done; }
    qint64 sent() const { return m_sent; }

private:
    void serve()
    {
        const int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection >= 0) {
            // A client that neither reads nor hangs up ends the flood too.
            const timeval patience{30, 0};
            ::setsockopt(connection, SOL_SOCKET, SO_SNDTIMEO, &patience, sizeof patience);
            // The request is left unread: the answer is the same whatever it asks.
            const QByteArray header = "HTTP/1.1 200 OK\r\nContent-Type: image/png\r\nConnection: close\r\n\r\n";
            ::send(connection, header.constData(), size_t(header.size()), MSG_NOSIGNAL);
            const QByteArray chunk(64 * 1024, 'x');
            while (m_sent < bodyBytes) {
                const ssize_t put = ::send(connection, chunk.constData(), size_t(chunk.size()), MSG_NOSIGNAL);
                if (put <= 0)
                    break;
                m_sent += put;
            }
            ::close(connection);
        }
        m_done = true;
    }

    int m_listener = -1;
    quint16 m_port = 0;
    std::atomic<qint64> m_sent = 0;
    std::atomic<bool> m_done = false;
    std::thread m_thread;
};
