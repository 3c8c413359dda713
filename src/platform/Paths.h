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
// A private per-user folder for the single-instance socket:
// $XDG_RUNTIME_DIR/brimble when there is a runtime folder, else the config folder.
QString runtimeFolder();
} // namespace Paths
