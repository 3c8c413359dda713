#pragma once

#include <QByteArray>
#include <QString>

// How the manager window was left, so that it opens the same way after a
// restart: its size and place, the split between its panes, the group
// selected. Kept in the XDG state folder, apart from the preferences: it is
// not a favourite, and is not synced with them. A file that is missing or
// unreadable gives an empty state: the window opens as on a first start.
struct WindowState
{
    QByteArray geometry;
    QByteArray paneSplit;
    QString selectedGroup;

    // $XDG_STATE_HOME/brimble/window.ini
    static QString defaultFile();
    static WindowState read(const QString &file);
    // False (and a line in the log) when the file could not be written.
    bool write(const QString &file) const;
};
