#include "app/SingleInstance.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QLoggingCategory>

Q_LOGGING_CATEGORY(lcInstance, "brimble.app.instance")

namespace {
constexpr int socketTimeoutMs = 2000;
}

SingleInstance::SingleInstance(const QString &preferencesFile, const QString &socketFolder, QObject *parent)
    : QObject(parent)
    , m_socketPath(socketFolder + QStringLiteral("/instance.socket"))
    , m_lock(std::make_unique<QLockFile>(preferencesFile + QStringLiteral(".lock")))
{
    for (const QString &folder : {QFileInfo(preferencesFile).absolutePath(), socketFolder}) {
        QDir().mkpath(folder);
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    // Only a lock whose process has gone counts as stale, however old it is.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::becomePrimary(int waitMs)
{
    if (!m_lock->tryLock(waitMs))
        return false;
    // A socket left behind by a process that crashed would block listen().
    QLocalServer::removeServer(m_socketPath);
    m_server = std::make_unique<QLocalServer>();
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server->listen(m_socketPath))
        qCWarning(lcInstance) << "Cannot listen on" << m_socketPath << m_server->errorString();
    connect(m_server.get(), &QLocalServer::newConnection, this, &SingleInstance::readRequest);
    return true;
}

bool SingleInstance::sendToPrimary(const QByteArray &request) const
{
    QLocalSocket socket;
    socket.connectToServer(m_socketPath);
    if (!socket.waitForConnected(socketTimeoutMs))
        return false;
    socket.write(request + '\n');
    const bool sent = socket.waitForBytesWritten(socketTimeoutMs);
    socket.disconnectFromServer();
    return sent;
}

void SingleInstance::readRequest()
{
    while (QLocalSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            while (socket->canReadLine())
                Q_EMIT requestReceived(socket->readLine().trimmed());
        });
    }
}
