#pragma once

#include "platform/LoginItems.h"

#include <QDBusConnection>
#include <QString>

// Start at login through the XDG autostart folder: an entry named after the
// application id whose Exec runs the login helper by its absolute path. The
// helper's presence is asked of the session bus.
class XdgLoginItems final : public LoginItems
{
public:
    // autostartFolder is usually $XDG_CONFIG_HOME/autostart; helperPath the
    // login helper's absolute path, empty when it cannot be found.
    XdgLoginItems(const QString &autostartFolder, const QString &helperPath,
                  const QDBusConnection &bus = QDBusConnection::sessionBus());

    // Enabling (re)writes the entry, so that a moved installation keeps
    // starting; disabling removes it. False when the folder cannot be
    // written or there is no helper to run.
    bool setEnabled(bool enabled) override;
    bool endLoginHelper() override;

    QString entryPath() const;

    // $XDG_CONFIG_HOME/autostart.
    static QString userAutostartFolder();
    // The helper beside the running executable (a build folder, or an
    // installation's bin folder), else in ../libexec relative to it; empty
    // when neither exists.
    static QString locateHelper(const QString &applicationFolder);
    // The contents of the entry that runs helperPath; empty when the path
    // cannot be written into an entry (a line break in it).
    static QByteArray desktopEntry(const QString &helperPath);

private:
    QString m_folder;
    QString m_helperPath;
    QDBusConnection m_bus;
};
