#include "app/InstanceRequestParser.h"

InstanceRequestParser::InstanceRequestParser()
    : m_messages({maximumMessageBytes, maximumFields})
{
}

QList<InstanceRequest> InstanceRequestParser::append(QByteArrayView bytes)
{
    QList<InstanceRequest> requests;
    if (m_stopped)
        return requests;
    m_pending.append(bytes);
    while (!m_stopped && !m_pending.isEmpty()) {
        if (!m_inMessage) {
            if (InstanceMessage::Parser::startsMessage(m_pending.front()))
                m_inMessage = true;
            else if (!readLine(requests))
                break;
            continue;
        }
        // The message parser takes the bytes up to its message's end; what
        // follows stays for the lines. A message's end is a line feed after a
        // comma, so bytes are handed over one line at a time.
        const qsizetype lineEnd = m_pending.indexOf('\n');
        const qsizetype handed = lineEnd < 0 ? m_pending.size() : lineEnd + 1;
        const QList<InstanceMessage::Fields> messages = m_messages.append(QByteArrayView(m_pending).first(handed));
        m_pending.remove(0, handed);
        if (m_messages.stopped()) {
            stop();
            break;
        }
        for (const InstanceMessage::Fields &fields : messages) {
            if (const auto request = InstanceRequest::fromFields(fields))
                requests.append(*request);
        }
        if (!messages.isEmpty() && m_messages.pendingBytes() == 0)
            m_inMessage = false;
    }
    return requests;
}

bool InstanceRequestParser::readLine(QList<InstanceRequest> &requests)
{
    const qsizetype end = m_pending.indexOf('\n');
    if (end < 0) {
        if (m_pending.size() > maximumLineBytes)
            stop();
        return false;
    }
    if (end > maximumLineBytes) {
        stop();
        return false;
    }
    const QByteArray line = m_pending.first(end).trimmed();
    if (line == InstanceRequest::showLine)
        requests.append({InstanceRequest::Kind::show});
    else if (line == InstanceRequest::toggleLine)
        requests.append({InstanceRequest::Kind::toggle});
    m_pending.remove(0, end + 1);
    return true;
}

void InstanceRequestParser::stop()
{
    m_stopped = true;
    m_pending = QByteArray();
}
