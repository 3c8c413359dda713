#include "platform/StoreWatcher.h"

#include <QFileInfo>

StoreWatcher::StoreWatcher(QString filePath, std::function<void()> onChange, QObject *parent)
    : QObject(parent)
    , m_filePath(std::move(filePath))
    , m_onChange(std::move(onChange))
{
    m_settle.setSingleShot(true);
    connect(&m_settle, &QTimer::timeout, this, [this] { m_onChange(); });
    // Not restarted by later events: a file that keeps changing is still
    // looked at every settleMs.
    const auto changed = [this] {
        if (!m_settle.isActive())
            m_settle.start(settleMs);
    };
    connect(&m_watcher, &QFileSystemWatcher::fileChanged, this, changed);
    connect(&m_watcher, &QFileSystemWatcher::directoryChanged, this, changed);
}

void StoreWatcher::watch(const QString &target)
{
    QStringList folders{QFileInfo(m_filePath).absolutePath(), QFileInfo(target).absolutePath()};
    folders.removeDuplicates();
    QStringList stale = m_watcher.files();
    for (const QString &folder : m_watcher.directories()) {
        if (!folders.contains(folder))
            stale.append(folder);
    }
    // The file is watched anew each time: a watch follows the file it was
    // set on, which a rename over the path replaces.
    if (!stale.isEmpty())
        m_watcher.removePaths(stale);
    const QStringList watched = m_watcher.directories();
    for (const QString &folder : folders) {
        if (!watched.contains(folder) && QFileInfo(folder).isDir())
            m_watcher.addPath(folder);
    }
    if (QFileInfo(target).isFile())
        m_watcher.addPath(target);
}

void StoreWatcher::checkAgainIn(int delayMs)
{
    m_settle.start(delayMs);
}
