#include "app/InstanceRequestParser.h"

QList<QByteArray> InstanceRequestParser::append(QByteArrayView bytes)
{
    QList<QByteArray> requests;
    if (m_overflowed)
        return requests;
    m_pending.append(bytes);
    qsizetype start = 0;
    for (qsizetype end = m_pending.indexOf('\n'); end >= 0; end = m_pending.indexOf('\n', start)) {
        if (end - start > maximumLineBytes) {
            m_overflowed = true;
            break;
        }
        const QByteArray line = m_pending.sliced(start, end - start).trimmed();
        if (line == showRequest || line == toggleRequest)
            requests.append(line);
        start = end + 1;
    }
    m_pending.remove(0, start);
    if (m_pending.size() > maximumLineBytes)
        m_overflowed = true;
    if (m_overflowed)
        m_pending = QByteArray();
    return requests;
}
