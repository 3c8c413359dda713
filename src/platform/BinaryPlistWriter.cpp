#include "platform/BinaryPlistWriter.h"

#include "platform/PlatformLog.h"
#include "platform/PlistDates.h"

#include <QDateTime>
#include <QHash>

#include <bit>
#include <limits>
#include <vector>

namespace {

int bytesFor(quint64 value)
{
    return value <= 0xFF ? 1 : value <= 0xFFFF ? 2 : value <= 0xFFFFFFFF ? 4 : 8;
}

class Writer
{
public:
    QByteArray write(const QVariant &root)
    {
        m_refSize = bytesFor(countValues(root));
        m_out = "bplist00";
        const std::optional<quint64> top = object(root);
        if (!top)
            return {};
        const quint64 tableOffset = quint64(m_out.size());
        const int offsetSize = bytesFor(tableOffset);
        for (const quint64 offset : m_offsets)
            appendBigEndian(offset, offsetSize);
        m_out.append(QByteArray(6, '\0'));
        m_out.append(char(offsetSize));
        m_out.append(char(m_refSize));
        appendBigEndian(m_offsets.size(), 8);
        appendBigEndian(*top, 8);
        appendBigEndian(tableOffset, 8);
        return m_out;
    }

private:
    // An upper bound of the objects written, which sets the reference size.
    static quint64 countValues(const QVariant &value)
    {
        switch (value.typeId()) {
        case QMetaType::QVariantList: {
            quint64 count = 1;
            for (const QVariant &element : value.toList())
                count += countValues(element);
            return count;
        }
        case QMetaType::QVariantMap: {
            const QVariantMap map = value.toMap();
            quint64 count = 1;
            for (auto it = map.cbegin(); it != map.cend(); ++it)
                count += 1 + countValues(it.value());
            return count;
        }
        default:
            return 1;
        }
    }

    void appendBigEndian(quint64 value, int size)
    {
        for (int shift = (size - 1) * 8; shift >= 0; shift -= 8)
            m_out.append(char((value >> shift) & 0xFF));
    }

    quint64 begin()
    {
        m_offsets.push_back(quint64(m_out.size()));
        return m_offsets.size() - 1;
    }

    // A marker with a size: in its low four bits, or 15 and an integer.
    void appendMarker(uchar kind, quint64 count)
    {
        if (count < 15) {
            m_out.append(char(kind << 4 | count));
            return;
        }
        m_out.append(char(kind << 4 | 0xF));
        const int size = bytesFor(count);
        m_out.append(char(0x10 | std::countr_zero(unsigned(size))));
        appendBigEndian(count, size);
    }

    quint64 integer(quint64 bits, bool asUnsigned)
    {
        const quint64 index = begin();
        if (asUnsigned && bits > quint64(std::numeric_limits<qint64>::max())) {
            m_out.append(char(0x14));
            appendBigEndian(0, 8);
            appendBigEndian(bits, 8);
        } else if (qint64(bits) < 0) {
            m_out.append(char(0x13));
            appendBigEndian(bits, 8);
        } else {
            const int size = bytesFor(bits);
            m_out.append(char(0x10 | std::countr_zero(unsigned(size))));
            appendBigEndian(bits, size);
        }
        return index;
    }

    quint64 string(const QString &text)
    {
        if (const auto known = m_strings.constFind(text); known != m_strings.cend())
            return *known;
        const quint64 index = begin();
        bool ascii = true;
        for (const QChar c : text) {
            if (c.unicode() >= 0x80) {
                ascii = false;
                break;
            }
        }
        appendMarker(ascii ? 0x5 : 0x6, quint64(text.size()));
        for (const QChar c : text) {
            if (ascii)
                m_out.append(char(c.unicode()));
            else
                appendBigEndian(c.unicode(), 2);
        }
        m_strings.insert(text, index);
        return index;
    }

    std::optional<quint64> object(const QVariant &value)
    {
        switch (value.typeId()) {
        case QMetaType::QString:
            return string(value.toString());
        case QMetaType::Bool: {
            std::optional<quint64> &shared = value.toBool() ? m_true : m_false;
            if (!shared) {
                shared = begin();
                m_out.append(char(value.toBool() ? 0x09 : 0x08));
            }
            return shared;
        }
        case QMetaType::Int:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::Short:
            return integer(quint64(value.toLongLong()), false);
        case QMetaType::UInt:
        case QMetaType::ULong:
        case QMetaType::ULongLong:
        case QMetaType::UShort:
            return integer(value.toULongLong(), true);
        case QMetaType::Double:
        case QMetaType::Float: {
            const quint64 index = begin();
            m_out.append(char(0x23));
            appendBigEndian(std::bit_cast<quint64>(value.toDouble()), 8);
            return index;
        }
        case QMetaType::QDateTime: {
            const QDateTime date = value.toDateTime();
            if (!date.isValid())
                break;
            const quint64 index = begin();
            m_out.append(char(0x33));
            const double seconds = double(date.toMSecsSinceEpoch() - PlistDates::epochInUnixSeconds * 1000) / 1000.0;
            appendBigEndian(std::bit_cast<quint64>(seconds), 8);
            return index;
        }
        case QMetaType::QByteArray: {
            const QByteArray bytes = value.toByteArray();
            const quint64 index = begin();
            appendMarker(0x4, quint64(bytes.size()));
            m_out.append(bytes);
            return index;
        }
        case QMetaType::QVariantList: {
            const QVariantList list = value.toList();
            const size_t first = m_refs.size();
            for (const QVariant &element : list) {
                if (const auto child = object(element))
                    m_refs.push_back(*child);
            }
            return container(0xA, first, m_refs.size() - first);
        }
        case QMetaType::QVariantMap: {
            const QVariantMap map = value.toMap();
            std::vector<quint64> keys;
            const size_t first = m_refs.size();
            for (auto it = map.cbegin(); it != map.cend(); ++it) {
                if (const auto child = object(it.value())) {
                    keys.push_back(string(it.key()));
                    m_refs.push_back(*child);
                }
            }
            m_refs.insert(m_refs.begin() + qsizetype(first), keys.begin(), keys.end());
            return container(0xD, first, keys.size());
        }
        default:
            break;
        }
        qCWarning(lcPlist) << "Leaving out a value a property list cannot hold:" << value;
        return std::nullopt;
    }

    // Writes a container whose references sit on m_refs from first on.
    quint64 container(uchar kind, size_t first, quint64 count)
    {
        const quint64 index = begin();
        appendMarker(kind, count);
        for (size_t i = first; i < m_refs.size(); ++i)
            appendBigEndian(m_refs[i], m_refSize);
        m_refs.resize(first);
        return index;
    }

    QByteArray m_out;
    int m_refSize = 1;
    std::vector<quint64> m_offsets;
    std::vector<quint64> m_refs; // the references of the containers being written
    QHash<QString, quint64> m_strings;
    std::optional<quint64> m_true;
    std::optional<quint64> m_false;
};

} // namespace

namespace BinaryPlistWriter {

QByteArray write(const QVariant &root)
{
    return Writer().write(root);
}

} // namespace BinaryPlistWriter
