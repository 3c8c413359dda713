#include "app/InstanceReply.h"

namespace {

constexpr QByteArrayView outputStream("out");
constexpr QByteArrayView errorStream("err");
// A status beyond what a process can exit with is not one of ours.
constexpr int largestStatus = 255;

} // namespace

InstanceReply InstanceReply::failure(const QString &text)
{
    InstanceReply reply;
    reply.status = 1;
    reply.printError(text);
    return reply;
}

QByteArray InstanceReply::encoded() const
{
    InstanceMessage::Fields fields{QByteArray::number(status)};
    for (const Line &line : lines)
        fields << (line.isError ? errorStream : outputStream).toByteArray() << line.text.toUtf8();
    return InstanceMessage::encoded(fields);
}

std::optional<InstanceReply> InstanceReply::fromFields(const InstanceMessage::Fields &fields)
{
    if (fields.isEmpty() || fields.size() % 2 != 1)
        return std::nullopt;
    bool isNumber = false;
    InstanceReply reply;
    reply.status = fields.constFirst().toInt(&isNumber);
    if (!isNumber || reply.status < 0 || reply.status > largestStatus)
        return std::nullopt;
    for (qsizetype i = 1; i < fields.size(); i += 2) {
        const QByteArray &stream = fields.at(i);
        if (stream != outputStream && stream != errorStream)
            return std::nullopt;
        reply.lines.append({stream == errorStream, QString::fromUtf8(fields.at(i + 1))});
    }
    return reply;
}
