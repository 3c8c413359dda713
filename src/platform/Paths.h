#pragma once

#include <QString>

// Where Brimble keeps its files, following the XDG base directories.
namespace Paths {
// $XDG_CONFIG_HOME/brimble
QString configFolder();
// $XDG_CONFIG_HOME/brimble/preferences.plist
QString preferencesFile();
// $XDG_DATA_HOME/brimble: note bodies and bookmark icons.
QString supportFolder();
// $XDG_STATE_HOME/brimble (~/.local/state/brimble): how the windows were
// left, which is neither a preference nor a favourite.
QString stateFolder();
// A private per-user folder for the single-instance socket:
// $XDG_RUNTIME_DIR/brimble when there is a runtime folder, else the config folder.
QString runtimeFolder();

// The file that path names once every symbolic link on the way is followed,
// also a link whose target does not exist yet; path itself (made absolute)
// when nothing is a link. Two paths that reach one file give one answer.
QString resolvedFile(const QString &path);
// The single-instance lock that guards the preferences file: beside the file
// the path resolves to, so that a second Brimble reaching the same file
// through another path (a symbolic link) finds it taken.
QString lockFileFor(const QString &preferencesFile);

// Creates the folder and any missing parent, each of them mode 0700. A folder
// that already exists keeps its mode: the user may have chosen it. False when
// the folder does not exist afterwards.
bool makePrivateFolder(const QString &folder);
} // namespace Paths
