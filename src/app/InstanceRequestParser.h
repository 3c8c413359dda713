#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

// Reads what one client writes to the single-instance socket: one request a
// line ("show" or "toggle"), in pieces of any size. Lines that are no
// request are passed over; a line longer than any request ends the reading,
// as the client is not one of ours, and keeps the memory a client can take
// bounded.
class InstanceRequestParser final
{
public:
    static constexpr auto showRequest = "show";
    static constexpr auto toggleRequest = "toggle";
    static constexpr qsizetype maximumLineBytes = 1024;

    // The requests completed by bytes, in order; none once overflowed().
    QList<QByteArray> append(QByteArrayView bytes);
    // True once a line grew beyond maximumLineBytes: nothing more is read.
    bool overflowed() const { return m_overflowed; }

private:
    QByteArray m_pending;
    bool m_overflowed = false;
};
