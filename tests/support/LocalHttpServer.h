#pragma once

#include <QByteArray>
#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

// A one-answer HTTP server on 127.0.0.1: every request gets the same status
// and body; the request lines are kept for the test to check.
class LocalHttpServer final : public QTcpServer
{
public:
    LocalHttpServer(int status, const QByteArray &contentType, const QByteArray &body)
        : m_answer("HTTP/1.1 " + QByteArray::number(status) + " Answer\r\nContent-Type: " + contentType
                   + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body)
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = nextPendingConnection())
                serve(socket);
        });
    }

    QUrl base() const { return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(serverPort())); }
    const QList<QByteArray> &requestTargets() const { return m_targets; }

private:
    void serve(QTcpSocket *socket)
    {
        connect(socket, &QTcpSocket::readyRead, socket, [this, socket] {
            m_received += socket->readAll();
            if (!m_received.contains("\r\n\r\n"))
                return;
            m_targets.append(m_received.split(' ').value(1));
            m_received.clear();
            socket->write(m_answer);
            socket->disconnectFromHost();
        });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
    }

    QByteArray m_answer;
    QByteArray m_received;
    QList<QByteArray> m_targets;
};
