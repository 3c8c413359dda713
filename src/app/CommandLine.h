#pragma once

#include <QStringList>

#include <optional>

// Brimble's command line (--toggle, --help, --version). Its help and its
// errors are written in the interface's language, which is decided here
// without opening the store: a bare `brimble --help` changes nothing.
namespace CommandLine {

struct Request
{
    // Set when the process ends at once with this status: the help or the
    // version was printed (0), or the arguments were wrong (1).
    std::optional<int> exitStatus;
    bool toggle = false;
};

// Reads arguments (Qt's own options already taken out by QApplication).
Request read(const QStringList &arguments);

// Writes "brimble: <the text under key>" on standard error, %1 replaced by
// argument, in the language the interface shows or would show.
void printError(const char *key, const QString &argument = {});

} // namespace CommandLine
