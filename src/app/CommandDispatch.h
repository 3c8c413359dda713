#pragma once

#include "app/InstanceRequest.h"

#include <QString>

// Carries out a command for scripts (brimble --add, --list, --open) for the
// process that was given it: the running Brimble answers it over its socket,
// without this process reading the store; with none running, this process
// does the work itself, holding the store's lock, so that there is never a
// second writer. The lock is not held while the user chooses a group.
namespace CommandDispatch {

// The exit status; what the command printed is on standard output and
// standard error. argc and argv are main()'s, for the application object
// made when this process does the work.
int run(InstanceRequest command, const QString &preferencesPath, const QString &runtimeFolder, int &argc, char **argv);

// How long a command waits for the lock that another command holds for a
// moment before it says that no Brimble answers.
inline constexpr int lockWaitMs = 3000;

} // namespace CommandDispatch
