#include "app/SingleInstance.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QSysInfo>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/un.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcInstance, "brimble.app.instance")

namespace {

constexpr int socketTimeoutMs = 2000;
// Work done per wake-up of the event loop, so that a client that floods
// the socket never keeps it from signals, saves and the display.
constexpr int acceptsPerWakeUp = 64;
constexpr int readsPerWakeUp = 8;
// How long accepting pauses when the process runs out of descriptors.
constexpr int resumeAcceptingMs = 1000;

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

QString systemError(int number = errno)
{
    return QString::fromLocal8Bit(std::strerror(number));
}

// A client's connection to the socket at path; -1 when nothing listens there.
int connectedTo(const QString &path)
{
    sockaddr_un address;
    if (!socketAddress(path, &address))
        return -1;
    const int descriptor = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (descriptor < 0)
        return -1;
    // Both a full backlog and a full buffer would otherwise block for good.
    const timeval timeout{socketTimeoutMs / 1000, (socketTimeoutMs % 1000) * 1000};
    ::setsockopt(descriptor, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    int result = -1;
    do
        result = ::connect(descriptor, reinterpret_cast<const sockaddr *>(&address), sizeof address);
    while (result != 0 && errno == EINTR);
    if (result != 0) {
        ::close(descriptor);
        return -1;
    }
    return descriptor;
}

bool sendAll(int descriptor, const QByteArray &bytes)
{
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t sent = ::send(descriptor, bytes.constData() + written, size_t(bytes.size() - written),
                                    MSG_NOSIGNAL);
        if (sent > 0)
            written += sent;
        else if (errno != EINTR)
            return false;
    }
    return true;
}

bool isDescriptorShortage(int number)
{
    return number == EMFILE || number == ENFILE || number == ENOBUFS || number == ENOMEM;
}

// What the system says to a file of a lock file's size made in folder, as
// an unnamed file that leaves nothing behind: 0 when it can be made, -1
// when the file system makes no unnamed files.
int fileCreationError(const QString &folder)
{
    const int descriptor = ::open(QFile::encodeName(folder).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    if (descriptor < 0)
        return errno == EOPNOTSUPP || errno == EISDIR ? -1 : errno;
    const char lockFileSized[64] = {};
    const int error = ::write(descriptor, lockFileSized, sizeof lockFileSized) < 0 ? errno : 0;
    ::close(descriptor);
    return error;
}

// QLockFile tells only that it could not create its file, not why: the
// system's reason comes from fileCreationError().
QString whyNoFileCanBeMade(const QString &folder, QLockFile::LockError error)
{
    const int reason = fileCreationError(folder);
    return systemError(reason > 0 ? reason : error == QLockFile::PermissionError ? EACCES : EIO);
}

// A process holding a lock file holds a file lock on it too (QLockFile
// takes one, also over a network file system), which ends with the process.
bool isHeldByNoProcess(const QString &lockFile)
{
    const int descriptor = ::open(QFile::encodeName(lockFile).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (descriptor < 0)
        return false;
    const bool free = ::flock(descriptor, LOCK_EX | LOCK_NB) == 0;
    ::close(descriptor);
    return free;
}

} // namespace

// One accepted client. Its notifier and timer are children of owner, which is
// deleted later when the connection ends, since either may be the one
// signalling at that moment, and at once when listening stops.
struct SingleInstance::Connection
{
    quint64 serial = 0; // the order of acceptance: the lowest is the oldest
    std::unique_ptr<QObject> owner = std::make_unique<QObject>();
    QSocketNotifier *notifier = nullptr;
    QTimer *idleTimer = nullptr;
    InstanceRequestParser parser;
    // A request that expects a reply was read: nothing more is, and the
    // connection waits for the reply, then writes it.
    bool answering = false;
    QByteArray reply;
    qsizetype replyWritten = 0;
    QSocketNotifier *writeNotifier = nullptr;
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
    if (QFileInfo(socketFolder).canonicalFilePath()
        != QFileInfo(QFileInfo(preferencesFile).absolutePath()).canonicalFilePath())
        QFile::setPermissions(socketFolder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // Only a lock whose process has gone counts as stale, however old it is.
    m_lock->setStaleLockTime(0);
    // Clients may take a quarter of the descriptors at most.
    rlimit files{};
    if (::getrlimit(RLIMIT_NOFILE, &files) == 0)
        m_heldConnectionLimit = int(std::clamp<rlim_t>(files.rlim_cur / 4, 1, maximumHeldConnections));
}

SingleInstance::~SingleInstance()
{
    stopListening();
}

bool SingleInstance::becomePrimary(int waitMs)
{
    if (!takeLock(waitMs))
        return false;
    listen();
    return true;
}

void SingleInstance::releaseLock()
{
    m_lock->unlock();
}

bool SingleInstance::takeLock(int waitMs)
{
    removeOtherComputersLock();
    m_lockFileProblem.clear();
    m_lockLeftBehind = false;
    if (!m_lock->tryLock(waitMs)) {
        const QString folder = QFileInfo(m_lock->fileName()).absolutePath();
        if (m_lock->error() != QLockFile::LockFailedError) {
            m_lockFileProblem = whyNoFileCanBeMade(folder, m_lock->error());
        } else if (const int reason = fileCreationError(folder); reason > 0 && isHeldByNoProcess(m_lock->fileName())) {
            // QLockFile removes a lock whose process has gone, unless the
            // folder cannot be written: then no Brimble will ever answer.
            m_lockLeftBehind = true;
            m_lockFileProblem = systemError(reason);
        }
        return false;
    }
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
}

void SingleInstance::acceptRequests()
{
    if (m_listener < 0 || m_listenerNotifier)
        return;
    m_listenerNotifier = std::make_unique<QSocketNotifier>(m_listener, QSocketNotifier::Read);
    connect(m_listenerNotifier.get(), &QSocketNotifier::activated, this, &SingleInstance::acceptConnections);
    m_resumeTimer = std::make_unique<QTimer>();
    m_resumeTimer->setSingleShot(true);
    connect(m_resumeTimer.get(), &QTimer::timeout, this, [this] { m_listenerNotifier->setEnabled(true); });
}

void SingleInstance::stopListening()
{
    while (!m_connections.empty()) {
        const auto first = m_connections.begin();
        first->second->owner.reset(); // its notifier goes before the descriptor
        ::close(first->first);
        m_connections.erase(first);
    }
    m_resumeTimer.reset();
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
    const int descriptor = connectedTo(m_socketPath);
    if (descriptor < 0)
        return false;
    const bool sent = sendAll(descriptor, request + '\n');
    ::close(descriptor);
    return sent;
}

SingleInstance::Answer SingleInstance::askPrimary(const InstanceRequest &request, bool waitsOnUser) const
{
    Answer answer;
    const int descriptor = connectedTo(m_socketPath);
    if (descriptor < 0)
        return answer;
    answer.outcome = Answer::Outcome::noReply;
    // The connection stays open both ways: the instance answers on it, and
    // reads nothing more once it has the request.
    if (!sendAll(descriptor, request.encoded())) {
        ::close(descriptor);
        return answer;
    }
    const timeval limit{waitsOnUser ? 0 : replyLimitMs / 1000, 0};
    ::setsockopt(descriptor, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    // Replies are written by the instance the client asked: the limits only
    // keep a damaged one from taking all memory.
    InstanceMessage::Parser parser({qsizetype(1) << 30, qsizetype(1) << 24});
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0)
            break;
        const QList<InstanceMessage::Fields> messages = parser.append(QByteArrayView(buffer, count));
        if (!messages.isEmpty()) {
            if (const auto reply = InstanceReply::fromFields(messages.constFirst())) {
                answer.outcome = Answer::Outcome::replied;
                answer.reply = *reply;
            }
            break;
        }
        if (parser.stopped())
            break;
    }
    ::close(descriptor);
    return answer;
}

void SingleInstance::acceptConnections()
{
    for (int accepted = 0; accepted < acceptsPerWakeUp; ++accepted) {
        const int descriptor = ::accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (descriptor >= 0) {
            hold(descriptor);
            continue;
        }
        if (errno == EINTR || errno == ECONNABORTED)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return;
        // The waiting client stays queued, so the socket stays readable:
        // retrying at once would spin. Wait for descriptors to come free.
        if (!isDescriptorShortage(errno) || !m_descriptorShortageReported)
            qCWarning(lcInstance) << "Cannot accept a connection" << systemError() << "; accepting again in"
                                  << resumeAcceptingMs << "ms";
        m_descriptorShortageReported = m_descriptorShortageReported || isDescriptorShortage(errno);
        pauseAccepting();
        return;
    }
}

void SingleInstance::pauseAccepting()
{
    m_listenerNotifier->setEnabled(false);
    // The held clients may be what used the descriptors up; saving the
    // favourites needs one more than a client does.
    if (!m_connections.empty())
        dropOldestConnection();
    m_resumeTimer->start(resumeAcceptingMs);
}

void SingleInstance::hold(int descriptor)
{
    if (m_connections.size() >= size_t(m_heldConnectionLimit)) {
        if (!m_floodReported)
            qCWarning(lcInstance) << "More than" << m_heldConnectionLimit
                                  << "clients at once on the instance socket; dropping the oldest";
        m_floodReported = true;
        dropOldestConnection();
    }
    auto connection = std::make_unique<Connection>();
    connection->serial = ++m_connectionsAccepted;
    connection->notifier = new QSocketNotifier(descriptor, QSocketNotifier::Read, connection->owner.get());
    connect(connection->notifier, &QSocketNotifier::activated, this, [this, descriptor] { readFrom(descriptor); });
    // A client that connects and never writes must not hold on for ever.
    connection->idleTimer = new QTimer(connection->owner.get());
    connection->idleTimer->setSingleShot(true);
    connect(connection->idleTimer, &QTimer::timeout, this, [this, descriptor] { closeConnection(descriptor); });
    connection->idleTimer->start(idleConnectionMs);
    m_connections[descriptor] = std::move(connection);
    // A client writes its request as it connects: it is usually here already.
    readFrom(descriptor);
}

void SingleInstance::dropOldestConnection()
{
    const auto oldest = std::min_element(m_connections.begin(), m_connections.end(), [](const auto &a, const auto &b) {
        return a.second->serial < b.second->serial;
    });
    if (oldest != m_connections.end())
        closeConnection(oldest->first);
}

void SingleInstance::readFrom(int descriptor)
{
    const auto found = m_connections.find(descriptor);
    if (found == m_connections.end() || found->second->answering)
        return;
    Connection &connection = *found->second;
    QList<QByteArray> shown;
    std::optional<InstanceRequest> command;
    bool ended = false;
    char buffer[512];
    for (int reads = 0; !ended && !command && reads < readsPerWakeUp; ++reads) {
        const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            // 0: the client is done; EAGAIN: the rest comes later.
            ended = count == 0 || (errno != EAGAIN && errno != EWOULDBLOCK);
            break;
        }
        for (const InstanceRequest &request : connection.parser.append(QByteArrayView(buffer, count))) {
            // The first command is the connection's last request.
            if (command)
                break;
            if (request.expectsReply())
                command = request;
            else
                shown.append(request.kind == InstanceRequest::Kind::toggle ? toggleRequest : showRequest);
        }
        ended = connection.parser.stopped();
    }
    const quint64 serial = connection.serial;
    if (command && m_commandHandler) {
        connection.answering = true;
        connection.notifier->setEnabled(false);
        connection.idleTimer->stop();
    } else if (ended || command) {
        closeConnection(descriptor);
    }
    // Last, as a receiver may run an event loop of its own.
    for (const QByteArray &request : std::as_const(shown))
        Q_EMIT requestReceived(request);
    if (command && m_commandHandler) {
        QPointer<SingleInstance> self(this);
        m_commandHandler(*command, [self, descriptor, serial](const InstanceReply &reply) {
            if (self)
                self->sendReply(descriptor, serial, reply.encoded());
        });
    }
}

SingleInstance::Connection *SingleInstance::connectionWith(int descriptor, quint64 serial) const
{
    const auto found = m_connections.find(descriptor);
    return found != m_connections.end() && found->second->serial == serial ? found->second.get() : nullptr;
}

void SingleInstance::sendReply(int descriptor, quint64 serial, const QByteArray &reply)
{
    // The client may have been dropped meanwhile, its descriptor reused.
    Connection *connection = connectionWith(descriptor, serial);
    if (!connection || !connection->reply.isEmpty())
        return;
    connection->reply = reply;
    connection->writeNotifier = new QSocketNotifier(descriptor, QSocketNotifier::Write, connection->owner.get());
    connection->writeNotifier->setEnabled(false);
    connect(connection->writeNotifier, &QSocketNotifier::activated, this,
            [this, descriptor] { writeReply(descriptor); });
    writeReply(descriptor);
}

void SingleInstance::writeReply(int descriptor)
{
    const auto found = m_connections.find(descriptor);
    if (found == m_connections.end())
        return;
    Connection &connection = *found->second;
    while (connection.replyWritten < connection.reply.size()) {
        const ssize_t sent = ::send(descriptor, connection.reply.constData() + connection.replyWritten,
                                    size_t(connection.reply.size() - connection.replyWritten),
                                    MSG_NOSIGNAL | MSG_DONTWAIT);
        if (sent > 0) {
            connection.replyWritten += sent;
            continue;
        }
        if (sent < 0 && errno == EINTR)
            continue;
        if (sent < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            // The client reads the rest when it can; one that stops reading goes.
            connection.writeNotifier->setEnabled(true);
            connection.idleTimer->start(idleConnectionMs);
            return;
        }
        break; // the client has gone
    }
    closeConnection(descriptor);
}

void SingleInstance::closeConnection(int descriptor)
{
    const auto found = m_connections.find(descriptor);
    if (found == m_connections.end())
        return;
    Connection &connection = *found->second;
    connection.notifier->setEnabled(false);
    if (connection.writeNotifier)
        connection.writeNotifier->setEnabled(false);
    connection.idleTimer->stop();
    connection.owner.release()->deleteLater();
    m_connections.erase(found);
    ::close(descriptor);
}
