#pragma once

#include <QFileSystemWatcher>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

// Tells when the preferences file may have changed on disk: it watches the
// file itself (edits in place), its folder (a new file renamed over it, as
// sync tools and Brimble write, and conflict copies appearing beside it) and,
// when the path is a symbolic link, the link's folder too (the link itself
// replaced). Bursts of events settle into one call of onChange.
class StoreWatcher final : public QObject
{
public:
    static constexpr int settleMs = 100;

    StoreWatcher(QString filePath, std::function<void()> onChange, QObject *parent = nullptr);

    // Watches what path leads to now (call after each change).
    void watch(const QString &target);
    // Calls onChange again after delayMs, whatever happens meanwhile.
    void checkAgainIn(int delayMs);

private:
    QString m_filePath;
    std::function<void()> m_onChange;
    QFileSystemWatcher m_watcher;
    QTimer m_settle;
};
