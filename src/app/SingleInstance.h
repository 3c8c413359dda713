#pragma once

#include <QLockFile>
#include <QLocalServer>
#include <QObject>
#include <QString>

#include <memory>

// Keeps Brimble to one process per preferences file. The first process holds
// a lock file beside the preferences file it protects, so that two processes
// can never write one store whatever their runtime folders are, and listens
// on a local socket in the user's private runtime folder; a later process
// finds the lock taken, sends its request over the socket and exits.
class SingleInstance final : public QObject
{
    Q_OBJECT

public:
    // Requests a later process can send to the running one.
    static constexpr auto showRequest = "show";
    static constexpr auto toggleRequest = "toggle";

    // The lock is preferencesFile + ".lock"; the socket lives in socketFolder.
    SingleInstance(const QString &preferencesFile, const QString &socketFolder, QObject *parent = nullptr);
    ~SingleInstance() override;

    // True when this process is now the one instance; it then listens.
    // waitMs > 0 waits that long for a process on its way out to let go.
    bool becomePrimary(int waitMs = 0);
    // Sends request to the running instance; false when none answered.
    bool sendToPrimary(const QByteArray &request) const;

Q_SIGNALS:
    void requestReceived(const QByteArray &request);

private:
    void readRequest();

    QString m_socketPath;
    std::unique_ptr<QLockFile> m_lock;
    std::unique_ptr<QLocalServer> m_server;
};
