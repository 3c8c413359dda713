#pragma once

#include "platform/LoginItems.h"

#include <QDBusConnection>
#include <QMap>
#include <QString>

#include <functional>

// Start at login through the XDG autostart folder: an entry named after the
// application id whose Exec runs the login helper by its absolute path, and
// whose TryExec names it too, so that an entry left behind once the helper
// is gone (the package removed) starts nothing. The helper's presence is
// asked of the session bus.
class XdgLoginItems final : public LoginItems
{
public:
    // The entry's comment by language code ("fr"), the default text under
    // the empty code.
    using Comments = QMap<QString, QString>;

    // autostartFolder is usually $XDG_CONFIG_HOME/autostart; helperPath the
    // login helper's absolute path, empty when it cannot be found; comments
    // is asked for when an entry is written.
    XdgLoginItems(const QString &autostartFolder, const QString &helperPath,
                  const QDBusConnection &bus = QDBusConnection::sessionBus(), std::function<Comments()> comments = {});

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
    static QByteArray desktopEntry(const QString &helperPath, const Comments &comments = {});

private:
    QString m_folder;
    QString m_helperPath;
    QDBusConnection m_bus;
    std::function<Comments()> m_comments;
};
