#pragma once

#include <QString>
#include <QtGlobal>

// Starting Brimble again once this process has ended (after a language
// change): /bin/sh waits two seconds, then replaces itself by the executable.
namespace Relaunch {

// Set in the relaunched process's environment: it waits for the old
// process to let go of the single-instance lock instead of handing its
// request to the process that is on its way out.
inline constexpr char markerVariable[] = "BRIMBLE_RELAUNCHED";
// How long the relaunched process waits for the lock.
inline constexpr int lockWaitMs = 8'000;

// Starts the detached shell that relaunches executable. The path is the
// shell's $0, never part of the command text, so whatever characters it
// holds it names exactly that file. False when /bin/sh could not start;
// pid, when given, receives the process id (the shell's, then the
// executable's, as the shell execs it).
bool relaunchAfterExit(const QString &executable, qint64 *pid = nullptr);

// True once in a relaunched process; clears the marker so that programs
// started from here do not inherit it.
bool takeRelaunchMarker();

} // namespace Relaunch
