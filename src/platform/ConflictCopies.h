#pragma once

#include <QString>
#include <QStringList>

// The copies sync tools leave beside a file both computers changed at once:
// Syncthing's "preferences.sync-conflict-20250301-120000-ABCDEFG.plist",
// Nextcloud's and ownCloud's "preferences (conflicted copy 2025-03-01
// 120000).plist" and "preferences_conflict-20250301-120000.plist", Dropbox's
// "preferences (Alex's conflicted copy 2025-03-01).plist".
namespace ConflictCopies {

// The conflict copies of file in its folder, oldest name first.
QStringList find(const QString &file);
// Whether name is the name of a conflict copy of a file named fileName.
bool isConflictCopyName(const QString &name, const QString &fileName);
// Moves copy into a "conflicts" folder beside it (made mode 0700), under a
// name no file there has; the new path, or empty when it cannot be moved.
QString moveAside(const QString &copy);

} // namespace ConflictCopies
