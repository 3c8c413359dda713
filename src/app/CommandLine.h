#pragma once

#include "app/InstanceRequest.h"
#include "store/TextKey.h"

#include <QStringList>

#include <optional>

// Brimble's command line (--toggle, --background, the commands for scripts
// --add, --list and --open, --help, --version). It is read before the
// application object exists and before the store is read, so that the
// help, the version and a mistyped option need no display and read no file.
// Its help and errors are written in the system's language.
namespace CommandLine {

struct Request
{
    // Set when the process ends at once with this status: the help or the
    // version was printed (0), or the arguments were wrong (1).
    std::optional<int> exitStatus = {};
    bool toggle = false;
    // Start in the tray without opening a window (how the desktop starts
    // Brimble for its search).
    bool background = false;
    // A command for scripts, its relative paths made absolute in the
    // working folder.
    std::optional<InstanceRequest> command = {};
};

// The arguments main() received.
QStringList argumentsOf(int argc, const char *const *argv);
// Those of the arguments that are not text in the system's encoding (a
// file name in another encoding), as argumentsOf() gives them.
QStringList undecodableArgumentsOf(int argc, const char *const *argv);
// Reads arguments as main() received them. Qt's own options (-platform,
// -display, -style, ...) are passed over: the application object takes them.
// A command's paths, query or group among undecodable are refused.
Request read(const QStringList &arguments, const QStringList &undecodable = {});

// Writes "brimble: <the text under key>" on standard error, %1 and %2
// replaced by the arguments, in the language the interface shows or, before
// the store is read, in the system's.
void printError(TextKey key, const QString &first = {}, const QString &second = {});
// Writes "brimble: <text>" on standard error.
void printErrorText(const QString &text);

} // namespace CommandLine
