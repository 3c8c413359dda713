#pragma once

#include "app/InstanceMessage.h"

#include <QList>
#include <QString>

#include <optional>

// The running Brimble's answer to a command for scripts: the exit status
// the client ends with and the lines it writes, each on standard output or
// standard error, in order.
struct InstanceReply
{
    struct Line
    {
        bool isError = false;
        QString text;

        bool operator==(const Line &other) const = default;
    };

    int status = 0;
    QList<Line> lines;

    void print(const QString &text) { lines.append({false, text}); }
    void printError(const QString &text) { lines.append({true, text}); }
    // Fails with the error text.
    static InstanceReply failure(const QString &text);

    QByteArray encoded() const;
    static std::optional<InstanceReply> fromFields(const InstanceMessage::Fields &fields);

    bool operator==(const InstanceReply &other) const = default;
};
