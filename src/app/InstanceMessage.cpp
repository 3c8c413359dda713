#include "app/InstanceMessage.h"

namespace {

// A length of more digits than this is more than any limit allows.
constexpr qsizetype maximumLengthDigits = 10;

} // namespace

namespace InstanceMessage {

QByteArray encoded(const Fields &fields)
{
    QByteArray bytes;
    for (const QByteArray &field : fields)
        bytes += QByteArray::number(field.size()) + ':' + field + ',';
    return bytes + '\n';
}

Parser::Parser(Limits limits)
    : m_limits(limits)
{
}

QList<Fields> Parser::append(QByteArrayView bytes)
{
    QList<Fields> messages;
    if (m_stopped)
        return messages;
    m_pending.append(bytes);
    for (;;) {
        const Step step = readField();
        if (step == Step::needMore)
            break;
        if (step == Step::broken) {
            stop();
            break;
        }
        if (step == Step::end) {
            messages.append(std::exchange(m_fields, {}));
            m_pending.remove(0, m_next + 1);
            m_next = 0;
        }
    }
    return messages;
}

Parser::Step Parser::readField()
{
    if (m_next >= m_pending.size())
        return Step::needMore;
    const char first = m_pending.at(m_next);
    if (first == '\n')
        return m_fields.isEmpty() ? Step::broken : Step::end;
    if (!startsMessage(first))
        return Step::broken;
    // The length: digits up to the colon, no leading zero but for "0".
    qsizetype at = m_next;
    qint64 length = 0;
    while (at < m_pending.size() && startsMessage(m_pending.at(at))) {
        if (at - m_next == maximumLengthDigits || (at > m_next && m_pending.at(m_next) == '0'))
            return Step::broken;
        length = length * 10 + (m_pending.at(at) - '0');
        ++at;
    }
    if (at == m_pending.size())
        return Step::needMore;
    if (m_pending.at(at) != ':' || m_fields.size() >= m_limits.maximumFields)
        return Step::broken;
    // The message starts m_pending: one that would outgrow the limit is
    // refused before its bytes are held.
    const qsizetype start = at + 1;
    if (start + length + 1 > m_limits.maximumMessageBytes)
        return Step::broken;
    if (start + length >= m_pending.size())
        return Step::needMore;
    if (m_pending.at(start + length) != ',')
        return Step::broken;
    m_fields.append(m_pending.sliced(start, length));
    m_next = start + length + 1;
    return Step::field;
}

void Parser::stop()
{
    m_stopped = true;
    m_pending = QByteArray();
    m_fields.clear();
    m_next = 0;
}

} // namespace InstanceMessage
