#pragma once

#include "app/InstanceReply.h"
#include "app/InstanceRequest.h"
#include "app/InstanceRequestParser.h"

#include <QByteArray>
#include <QLockFile>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <optional>

class QSocketNotifier;
class QTimer;

// Keeps Brimble to one process per preferences file. The first process holds
// a lock file beside the preferences file it protects (the file its path
// leads to, so that a symbolic link is no way around it), so that two processes
// can never write one store whatever their runtime folders are, and listens
// on a local socket in the user's private runtime folder; a later process
// finds the lock taken, sends its request over the socket and exits.
// The socket is a plain AF_UNIX one watched by the event loop, so that no
// networking library is loaded at launch.
//
// Taking the lock and opening the socket need no application object, so a
// later process learns that another Brimble runs before it connects to the
// display or reads the store.
//
// The commands for scripts (InstanceRequest) are answered over the same
// connection: the client waits for the InstanceReply, which the running
// Brimble writes when the command is done, and then ends with its status.
class SingleInstance final : public QObject
{
    Q_OBJECT

public:
    // Requests a later process can send to the running one.
    static constexpr auto showRequest = InstanceRequest::showLine;
    static constexpr auto toggleRequest = InstanceRequest::toggleLine;
    // A connection that sends no complete request within this time is
    // closed, and so is one that takes no part of its reply for as long.
    static constexpr int idleConnectionMs = 10'000;
    // Clients held open at once, fewer when the process may open few files.
    // A client of ours writes its request as it connects, so when more come
    // the oldest is dropped: a flood of idle clients can neither use up the
    // process's descriptors nor keep a real request waiting.
    static constexpr int maximumHeldConnections = 32;

    // The lock is Paths::lockFileFor(preferencesFile); the socket lives in socketFolder.
    SingleInstance(const QString &preferencesFile, const QString &socketFolder, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this process is now the one instance: it holds the lock and
    // its socket takes connections, which wait until acceptRequests().
    // waitMs > 0 waits that long for a process on its way out to let go.
    bool becomePrimary(int waitMs = 0);
    // After becomePrimary() failed: why the lock file could not be created
    // (a folder that cannot be written, a full disk), as the system says
    // it; empty when another process holds the lock.
    QString lockFileProblem() const { return m_lockFileProblem; }
    // With a lockFileProblem(): the lock file is there, but no process holds
    // it (one that ended left it) and it cannot be removed.
    bool lockLeftBehind() const { return m_lockLeftBehind; }
    // Starts reading the requests of clients, those that connected since
    // becomePrimary() first. Needs the application object.
    void acceptRequests();
    // Sends request to the running instance; false when none answered.
    bool sendToPrimary(const QByteArray &request) const;

    // Takes the lock without opening the socket, for a command that works on
    // the store itself while no Brimble runs: a later process then finds no
    // one to ask and waits for the lock. See becomePrimary for waitMs and
    // what tells why it failed.
    bool takeLock(int waitMs = 0);
    // Lets go of the lock taken by takeLock().
    void releaseLock();

    // What asking the running instance came to.
    struct Answer
    {
        enum class Outcome {
            unreachable, // no process listens: none runs, or one holds the lock without a socket
            noReply,     // it took the request and ended the connection without a reply
            replied,
        };
        Outcome outcome = Outcome::unreachable;
        InstanceReply reply;
    };
    // Sends request (which expectsReply()) and waits for the reply: without
    // a limit for a request that may wait on the user, else replyLimitMs.
    Answer askPrimary(const InstanceRequest &request, bool waitsOnUser) const;
    static constexpr int replyLimitMs = 60'000;

    // Answers a request: called once, on the main thread, at any time later.
    using Replier = std::function<void(const InstanceReply &)>;
    // Who answers the requests that expect a reply. Without one, their
    // connections are closed unanswered.
    void setCommandHandler(std::function<void(const InstanceRequest &, Replier)> handler)
    {
        m_commandHandler = std::move(handler);
    }

    int heldConnectionLimit() const { return m_heldConnectionLimit; }
    QString socketPath() const { return m_socketPath; }
    QString lockPath() const { return m_lock->fileName(); }

Q_SIGNALS:
    void requestReceived(const QByteArray &request);

private:
    struct Connection;

    void removeOtherComputersLock();
    void listen();
    void stopListening();
    void acceptConnections();
    void pauseAccepting();
    void hold(int descriptor);
    void dropOldestConnection();
    void readFrom(int descriptor);
    void closeConnection(int descriptor);
    Connection *connectionWith(int descriptor, quint64 serial) const;
    void sendReply(int descriptor, quint64 serial, const QByteArray &reply);
    void writeReply(int descriptor);

    QString m_socketPath;
    QString m_lockFileProblem;
    bool m_lockLeftBehind = false;
    std::unique_ptr<QLockFile> m_lock;
    int m_listener = -1;
    std::unique_ptr<QSocketNotifier> m_listenerNotifier;
    std::unique_ptr<QTimer> m_resumeTimer;
    std::map<int, std::unique_ptr<Connection>> m_connections;
    int m_heldConnectionLimit = maximumHeldConnections;
    quint64 m_connectionsAccepted = 0;
    bool m_floodReported = false;
    bool m_descriptorShortageReported = false;
    std::function<void(const InstanceRequest &, Replier)> m_commandHandler;
};
