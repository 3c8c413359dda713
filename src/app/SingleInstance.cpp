#include "app/SingleInstance.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QSysInfo>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcInstance, "brimble.app.instance")

namespace {

constexpr int socketTimeoutMs = 2000;
// Requests are single words; a longer line is not one of ours.
constexpr qsizetype maximumRequestBytes = 1024;

// False when path does not fit in a socket address: a shortened path
// would be another file.
bool socketAddress(const QString &path, sockaddr_un *address)
{
    const QByteArray encoded = QFile::encodeName(path);
    *address = {};
    if (encoded.isEmpty() || encoded.size() >= qsizetype(sizeof(address->sun_path)) || encoded.contains('\0'))
        return false;
    address->sun_family = AF_UNIX;
    std::memcpy(address->sun_path, encoded.constData(), size_t(encoded.size()));
    return true;
}

QString systemError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

// One accepted client. Its notifier and timer are children of owner, which is
// deleted later when the connection ends, since either may be the one
// signalling at that moment, and at once when listening stops.
struct SingleInstance::Connection
{
    std::unique_ptr<QObject> owner = std::make_unique<QObject>();
    QSocketNotifier *notifier = nullptr;
    QTimer *idleTimer = nullptr;
    QByteArray pending;
};

SingleInstance::SingleInstance(const QString &preferencesFile, const QString &socketFolder, QObject *parent)
    : QObject(parent)
    , m_socketPath(socketFolder + QStringLiteral("/instance.socket"))
    , m_lock(std::make_unique<QLockFile>(Paths::lockFileFor(preferencesFile)))
{
    // A folder the user made keeps its mode; the socket's own folder is
    // Brimble's, and private.
    Paths::makePrivateFolder(QFileInfo(m_lock->fileName()).absolutePath());
    Paths::makePrivateFolder(socketFolder);
    if (QFileInfo(socketFolder).canonicalFilePath() != QFileInfo(QFileInfo(preferencesFile).absolutePath()).canonicalFilePath())
        QFile::setPermissions(socketFolder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // Only a lock whose process has gone counts as stale, however old it is.
    m_lock->setStaleLockTime(0);
}

SingleInstance::~SingleInstance()
{
    stopListening();
}

bool SingleInstance::becomePrimary(int waitMs)
{
    removeOtherComputersLock();
    if (!m_lock->tryLock(waitMs))
        return false;
    listen();
    return true;
}

void SingleInstance::removeOtherComputersLock()
{
    // A preferences file in a synced folder brings its lock file along, with
    // another computer's name in it, which QLockFile never takes for stale.
    // A lock whose holder lives holds a file lock on it too (also over a
    // network file system): when that is free, the lock is a copy.
    qint64 pid = 0;
    QString hostname, application;
    if (!m_lock->getLockInfo(&pid, &hostname, &application) || hostname.isEmpty()
        || hostname == QSysInfo::machineHostName())
        return;
    const QByteArray path = QFile::encodeName(m_lock->fileName());
    const int descriptor = ::open(path.constData(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
    if (descriptor < 0)
        return;
    if (::flock(descriptor, LOCK_EX | LOCK_NB) == 0) {
        qCInfo(lcInstance) << "Removing the lock" << m_lock->fileName() << "copied from" << hostname;
        ::unlink(path.constData());
    }
    ::close(descriptor);
}

void SingleInstance::listen()
{
    sockaddr_un address;
    if (!socketAddress(m_socketPath, &address)) {
        qCWarning(lcInstance) << "Cannot listen on" << m_socketPath << ": the path is too long for a local socket";
        return;
    }
    // With the lock held, a socket here was left behind by a process that
    // crashed, and would block bind(). Anything else there is not ours.
    struct stat status;
    if (::lstat(address.sun_path, &status) == 0 && S_ISSOCK(status.st_mode))
        ::unlink(address.sun_path);

    const int listener = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (listener < 0 || ::bind(listener, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0) {
        qCWarning(lcInstance) << "Cannot listen on" << m_socketPath << systemError();
        if (listener >= 0)
            ::close(listener);
        return;
    }
    // Connections are refused until listen(), so none comes in before the
    // file is the user's alone (its folder already is).
    if (::chmod(address.sun_path, S_IRUSR | S_IWUSR) != 0 || ::listen(listener, SOMAXCONN) != 0) {
        qCWarning(lcInstance) << "Cannot listen on" << m_socketPath << systemError();
        ::close(listener);
        ::unlink(address.sun_path);
        return;
    }
    m_listener = listener;
    m_listenerNotifier = std::make_unique<QSocketNotifier>(m_listener, QSocketNotifier::Read);
    connect(m_listenerNotifier.get(), &QSocketNotifier::activated, this, &SingleInstance::acceptConnections);
}

void SingleInstance::stopListening()
{
    while (!m_connections.empty()) {
        const auto first = m_connections.begin();
        ::close(first->first);
        m_connections.erase(first);
    }
    m_listenerNotifier.reset();
    if (m_listener >= 0) {
        ::close(m_listener);
        m_listener = -1;
        // Still ours: the lock is only released after this.
        ::unlink(QFile::encodeName(m_socketPath).constData());
    }
}

bool SingleInstance::sendToPrimary(const QByteArray &request) const
{
    sockaddr_un address;
    if (!socketAddress(m_socketPath, &address))
        return false;
    const int descriptor = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (descriptor < 0)
        return false;
    // Both a full backlog and a full buffer would otherwise block for good.
    const timeval timeout{socketTimeoutMs / 1000, (socketTimeoutMs % 1000) * 1000};
    ::setsockopt(descriptor, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    int result = -1;
    do
        result = ::connect(descriptor, reinterpret_cast<const sockaddr *>(&address), sizeof address);
    while (result != 0 && errno == EINTR);
    const QByteArray line = request + '\n';
    qsizetype written = 0;
    while (result == 0 && written < line.size()) {
        const ssize_t sent = ::send(descriptor, line.constData() + written, size_t(line.size() - written), MSG_NOSIGNAL);
        if (sent > 0)
            written += sent;
        else if (errno != EINTR)
            result = -1;
    }
    ::close(descriptor);
    return result == 0;
}

void SingleInstance::acceptConnections()
{
    for (;;) {
        const int descriptor = ::accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (descriptor < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                qCWarning(lcInstance) << "Cannot accept a connection" << systemError();
            return;
        }
        auto connection = std::make_unique<Connection>();
        connection->notifier = new QSocketNotifier(descriptor, QSocketNotifier::Read, connection->owner.get());
        connect(connection->notifier, &QSocketNotifier::activated, this, [this, descriptor] { readFrom(descriptor); });
        // A client that connects and never writes must not hold on for ever.
        connection->idleTimer = new QTimer(connection->owner.get());
        connection->idleTimer->setSingleShot(true);
        connect(connection->idleTimer, &QTimer::timeout, this, [this, descriptor] { closeConnection(descriptor); });
        connection->idleTimer->start(idleConnectionMs);
        m_connections[descriptor] = std::move(connection);
    }
}

void SingleInstance::readFrom(int descriptor)
{
    const auto found = m_connections.find(descriptor);
    if (found == m_connections.end())
        return;
    Connection &connection = *found->second;
    QList<QByteArray> requests;
    bool ended = false;
    char buffer[512];
    while (!ended) {
        const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            // 0: the client is done; EAGAIN: the rest comes later.
            ended = count == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
            break;
        }
        connection.pending.append(buffer, count);
        for (qsizetype end = connection.pending.indexOf('\n'); end >= 0; end = connection.pending.indexOf('\n')) {
            requests.append(connection.pending.left(end).trimmed());
            connection.pending.remove(0, end + 1);
        }
        ended = connection.pending.size() > maximumRequestBytes;
    }
    if (ended)
        closeConnection(descriptor);
    // Last, as a receiver may run an event loop of its own.
    for (const QByteArray &request : std::as_const(requests))
        Q_EMIT requestReceived(request);
}

void SingleInstance::closeConnection(int descriptor)
{
    const auto found = m_connections.find(descriptor);
    if (found == m_connections.end())
        return;
    Connection &connection = *found->second;
    connection.notifier->setEnabled(false);
    connection.idleTimer->stop();
    connection.owner.release()->deleteLater();
    m_connections.erase(found);
    ::close(descriptor);
}
