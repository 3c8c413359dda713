#pragma once

#include <QByteArray>
#include <QLockFile>
#include <QObject>
#include <QString>

#include <map>
#include <memory>

class QSocketNotifier;

// Keeps Brimble to one process per preferences file. The first process holds
// a lock file beside the preferences file it protects (the file its path
// leads to, so that a symbolic link is no way around it), so that two processes
// can never write one store whatever their runtime folders are, and listens
// on a local socket in the user's private runtime folder; a later process
// finds the lock taken, sends its request over the socket and exits.
// The socket is a plain AF_UNIX one watched by the event loop, so that no
// networking library is loaded at launch.
class SingleInstance final : public QObject
{
    Q_OBJECT

public:
    // Requests a later process can send to the running one.
    static constexpr auto showRequest = "show";
    static constexpr auto toggleRequest = "toggle";
    // A connection that sends no complete request within this time is closed.
    static constexpr int idleConnectionMs = 10'000;

    // The lock is Paths::lockFileFor(preferencesFile); the socket lives in socketFolder.
    SingleInstance(const QString &preferencesFile, const QString &socketFolder, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this process is now the one instance; it then listens.
    // waitMs > 0 waits that long for a process on its way out to let go.
    bool becomePrimary(int waitMs = 0);
    // Sends request to the running instance; false when none answered.
    bool sendToPrimary(const QByteArray &request) const;

    QString socketPath() const { return m_socketPath; }

Q_SIGNALS:
    void requestReceived(const QByteArray &request);

private:
    struct Connection;

    void removeOtherComputersLock();
    void listen();
    void stopListening();
    void acceptConnections();
    void readFrom(int descriptor);
    void closeConnection(int descriptor);

    QString m_socketPath;
    std::unique_ptr<QLockFile> m_lock;
    int m_listener = -1;
    std::unique_ptr<QSocketNotifier> m_listenerNotifier;
    std::map<int, std::unique_ptr<Connection>> m_connections;
};
