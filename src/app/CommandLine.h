#pragma once

#include <QStringList>

#include <optional>

// Brimble's command line (--toggle, --help, --version). It is read before
// the application object exists and before the store is read, so that the
// help, the version and a mistyped option need no display and read no file.
// Its help and errors are written in the system's language.
namespace CommandLine {

struct Request
{
    // Set when the process ends at once with this status: the help or the
    // version was printed (0), or the arguments were wrong (1).
    std::optional<int> exitStatus;
    bool toggle = false;
};

// The arguments main() received.
QStringList argumentsOf(int argc, const char *const *argv);
// Reads arguments as main() received them. Qt's own options (-platform,
// -display, -style, ...) are passed over: the application object takes them.
Request read(const QStringList &arguments);

// Writes "brimble: <the text under key>" on standard error, %1 and %2
// replaced by the arguments, in the language the interface shows or, before
// the store is read, in the system's.
void printError(const char *key, const QString &first = {}, const QString &second = {});

} // namespace CommandLine
