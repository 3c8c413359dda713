#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// The framing of the requests and replies that carry arguments over the
// single-instance socket: a message is a list of fields, each written as
// its length in decimal, a colon, its bytes and a comma, and the message
// ends with a line feed. The lengths let a field hold any byte (line feeds
// in file names, bytes that are not text); the line feed after the last
// field tells a message from the plain lines older requests are ("show").
namespace InstanceMessage {

using Fields = QList<QByteArray>;

QByteArray encoded(const Fields &fields);

// Reads messages from bytes that arrive in pieces of any size. A message
// larger than the limits, or bytes that break the framing, stop the
// reading for good: the writer is not one of ours.
class Parser final
{
public:
    struct Limits
    {
        qsizetype maximumMessageBytes;
        qsizetype maximumFields;
    };
    explicit Parser(Limits limits);

    // Whether bytes are the start of a message, as opposed to a plain line.
    static bool startsMessage(char byte) { return byte >= '0' && byte <= '9'; }

    // The messages completed by bytes, in order; none once stopped().
    QList<Fields> append(QByteArrayView bytes);
    bool stopped() const { return m_stopped; }
    // Bytes of an incomplete message held so far.
    qsizetype pendingBytes() const { return m_pending.size(); }

private:
    enum class Step { needMore, field, end, broken };
    Step readField();
    void stop();

    Limits m_limits;
    QByteArray m_pending;
    // Where the next field of the message being read starts in m_pending.
    qsizetype m_next = 0;
    Fields m_fields;
    bool m_stopped = false;
};

} // namespace InstanceMessage
