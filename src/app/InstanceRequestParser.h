#pragma once

#include "app/InstanceMessage.h"
#include "app/InstanceRequest.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// Reads what one client writes to the single-instance socket, in pieces of
// any size: plain request lines ("show", "toggle") and messages
// (InstanceMessage) holding the commands for scripts. Lines that are no
// request are passed over, and so are messages that hold none; a line longer
// than any request, a message larger than maximumMessageBytes or bytes that
// break a message's framing end the reading, as the client is not one of
// ours, and keep the memory a client can take bounded.
class InstanceRequestParser final
{
public:
    static constexpr qsizetype maximumLineBytes = 1024;
    // Room for some thousands of paths.
    static constexpr qsizetype maximumMessageBytes = 1024 * 1024;
    static constexpr qsizetype maximumFields = 100'000;

    InstanceRequestParser();

    // The requests completed by bytes, in order; none once stopped().
    QList<InstanceRequest> append(QByteArrayView bytes);
    // True once the client wrote something that is not ours: nothing more is read.
    bool stopped() const { return m_stopped; }

private:
    // Reads plain lines up to the start of a message; false when the
    // pending bytes hold no complete line.
    bool readLine(QList<InstanceRequest> &requests);
    void stop();

    QByteArray m_pending;
    InstanceMessage::Parser m_messages;
    bool m_inMessage = false;
    bool m_stopped = false;
};
