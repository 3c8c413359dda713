#include "platform/BinaryPlistReader.h"

#include "platform/PlistDates.h"

#include <QDateTime>

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

namespace {

quint64 readBigEndian(const uchar *bytes, int size)
{
    quint64 value = 0;
    for (int i = 0; i < size; ++i)
        value = (value << 8) | bytes[i];
    return value;
}

class Reader
{
public:
    Reader(const QByteArray &bytes, int maxDepth, quint64 maxValueCount)
        : m_bytes(bytes)
        , m_data(reinterpret_cast<const uchar *>(bytes.constData()))
        , m_size(quint64(bytes.size()))
        , m_maxDepth(maxDepth)
        , m_valuesLeft(maxValueCount)
    {
    }

    std::optional<QVariant> read()
    {
        if (!open())
            return std::nullopt;
        QVariant root = object(m_top, 0);
        if (m_failed || !root.isValid())
            return std::nullopt;
        return root;
    }

    // As read(), but each list of at least deferFrom dictionaries directly
    // under the top dictionary is checked as thoroughly and left as a
    // DeferredList instead of being built.
    std::optional<QVariant> readDeferringLists(quint64 deferFrom)
    {
        if (!open())
            return std::nullopt;
        const auto top = contentsOf(m_top);
        if (!top || top->kind != 0xD || top->count > m_objectCount
            || !fits({0, 0, top->count * 2, top->first}, m_refSize))
            return read();
        if (m_valuesLeft == 0)
            return std::nullopt;
        --m_valuesLeft; // the top dictionary, as object() counts it
        QVariantMap map;
        const quint64 values = top->first + top->count * m_refSize;
        for (quint64 i = 0; i < top->count && !m_failed; ++i) {
            const std::optional<QString> key = string(reference(top->first + i * m_refSize));
            if (!key)
                return std::nullopt;
            const quint64 index = reference(values + i * m_refSize);
            QVariant value = isDeferrable(index, deferFrom)
                                 ? QVariant::fromValue(BinaryPlistReader::DeferredList{m_bytes, index})
                                 : object(index, 1);
            if (value.isValid())
                map.insert(*key, std::move(value));
        }
        if (m_failed)
            return std::nullopt;
        return QVariant(std::move(map));
    }

    // The object at index, as found under the top dictionary.
    std::optional<QVariant> readObject(quint64 index)
    {
        if (!open() || index >= m_objectCount)
            return std::nullopt;
        QVariant value = object(index, 1);
        if (m_failed)
            return std::nullopt;
        return value;
    }

private:
    bool open()
    {
        constexpr quint64 headerSize = 8;
        constexpr quint64 trailerSize = 32;
        if (m_size < headerSize + trailerSize || std::memcmp(m_data, "bplist00", headerSize) != 0)
            return false;
        const uchar *trailer = m_data + m_size - trailerSize;
        m_offsetSize = trailer[6];
        m_refSize = trailer[7];
        m_objectCount = readBigEndian(trailer + 8, 8);
        m_top = readBigEndian(trailer + 16, 8);
        m_tableOffset = readBigEndian(trailer + 24, 8);
        if (m_offsetSize < 1 || m_offsetSize > 8 || m_refSize < 1 || m_refSize > 8 || m_top >= m_objectCount
            || m_tableOffset < headerSize || m_tableOffset >= m_size - trailerSize
            || m_objectCount > (m_size - trailerSize - m_tableOffset) / m_offsetSize)
            return false;
        m_strings.resize(m_objectCount);
        return true;
    }

    // A list of at least deferFrom dictionaries that passes every check.
    bool isDeferrable(quint64 index, quint64 deferFrom)
    {
        if (index >= m_objectCount)
            return false;
        const auto contents = contentsOf(index);
        if (!contents || contents->kind != 0xA || contents->count < deferFrom || !fits(*contents, m_refSize))
            return false;
        for (quint64 i = 0; i < contents->count; ++i) {
            const quint64 element = reference(contents->first + i * m_refSize);
            const auto inner = element < m_objectCount ? contentsOf(element) : std::nullopt;
            if (!inner || inner->kind != 0xD)
                return false;
        }
        m_checkOnly = true;
        const bool valid = check(index, 1);
        m_checkOnly = false;
        return valid;
    }

    bool check(quint64 index, int depth)
    {
        object(index, depth);
        return !m_failed;
    }

    struct Contents
    {
        uchar kind = 0;    // the marker's high four bits
        uchar low = 0;     // its low four bits
        quint64 count = 0; // the length of a string, data or container
        quint64 first = 0; // where the contents begin
    };

    QVariant fail()
    {
        m_failed = true;
        return {};
    }

    // The object's marker and, for sized kinds, its length and contents.
    std::optional<Contents> contentsOf(quint64 index) const
    {
        const quint64 offset = readBigEndian(m_data + m_tableOffset + index * m_offsetSize, m_offsetSize);
        if (offset < 8 || offset >= m_tableOffset)
            return std::nullopt;
        Contents contents{uchar(m_data[offset] >> 4), uchar(m_data[offset] & 0xF), 0, offset + 1};
        if (contents.kind < 0x4 || contents.kind == 0x8)
            return contents;
        contents.count = contents.low;
        if (contents.low == 0xF) {
            const quint64 at = contents.first;
            if (at >= m_tableOffset || (m_data[at] >> 4) != 0x1 || (m_data[at] & 0xF) > 3)
                return std::nullopt;
            const int size = 1 << (m_data[at] & 0xF);
            if (at + 1 + size > m_tableOffset)
                return std::nullopt;
            contents.count = readBigEndian(m_data + at + 1, size);
            contents.first = at + 1 + size;
        }
        return contents;
    }

    bool fits(const Contents &contents, quint64 unitSize) const
    {
        return contents.count <= (m_tableOffset - contents.first) / unitSize;
    }

    quint64 reference(quint64 at) const { return readBigEndian(m_data + at, m_refSize); }

    // A string object, read once however often the file refers to it.
    std::optional<QString> string(quint64 index)
    {
        if (index >= m_objectCount)
            return std::nullopt;
        if (m_strings[index])
            return m_strings[index];
        const auto contents = contentsOf(index);
        if (!contents || (contents->kind != 0x5 && contents->kind != 0x6))
            return std::nullopt;
        const quint64 unit = contents->kind == 0x6 ? 2 : 1;
        if (!fits(*contents, unit))
            return std::nullopt;
        const uchar *text = m_data + contents->first;
        QString value;
        if (unit == 1) {
            value = QString::fromLatin1(reinterpret_cast<const char *>(text), qsizetype(contents->count));
        } else {
            value.resize(qsizetype(contents->count));
            QChar *out = value.data();
            for (quint64 i = 0; i < contents->count; ++i)
                out[i] = QChar(char16_t(text[2 * i] << 8 | text[2 * i + 1]));
        }
        m_strings[index] = value;
        return value;
    }

    QVariant object(quint64 index, int depth)
    {
        if (m_failed || index >= m_objectCount || m_valuesLeft == 0)
            return fail();
        --m_valuesLeft;
        const auto contents = contentsOf(index);
        if (!contents)
            return fail();
        const uchar *at = m_data + contents->first;
        switch (contents->kind) {
        case 0x0:
            if (contents->low == 0x8 || contents->low == 0x9)
                return contents->low == 0x9;
            return {}; // null and fill bytes hold no value
        case 0x1: {
            const int size = 1 << contents->low;
            if (size > 16 || contents->first + size > m_tableOffset)
                return fail();
            // 16 bytes: an unsigned value in the lower eight.
            const quint64 value = readBigEndian(at + (size == 16 ? 8 : 0), std::min(size, 8));
            if (size == 16 && value > quint64(std::numeric_limits<qint64>::max()))
                return QVariant::fromValue<quint64>(value);
            return qint64(value); // eight bytes: signed, two's complement
        }
        case 0x2: {
            if (contents->low == 2 && contents->first + 4 <= m_tableOffset)
                return double(std::bit_cast<float>(quint32(readBigEndian(at, 4))));
            if (contents->low == 3 && contents->first + 8 <= m_tableOffset)
                return std::bit_cast<double>(readBigEndian(at, 8));
            return fail();
        }
        case 0x3: {
            if (contents->low != 3 || contents->first + 8 > m_tableOffset)
                return fail();
            const double seconds = std::bit_cast<double>(readBigEndian(at, 8)) + double(PlistDates::epochInUnixSeconds);
            constexpr double limit = 1e14; // far inside QDateTime's range, in seconds
            if (!std::isfinite(seconds) || std::abs(seconds) > limit)
                return {};
            return QDateTime::fromMSecsSinceEpoch(qint64(std::floor(seconds * 1000)), Qt::UTC);
        }
        case 0x4:
            if (!fits(*contents, 1))
                return fail();
            if (m_checkOnly)
                return true;
            return QByteArray(reinterpret_cast<const char *>(at), qsizetype(contents->count));
        case 0x5:
        case 0x6:
            if (m_checkOnly)
                return fits(*contents, contents->kind == 0x6 ? 2 : 1) ? QVariant(true) : fail();
            if (const auto text = string(index))
                return *text;
            return fail();
        case 0xA: {
            if (depth >= m_maxDepth || !fits(*contents, m_refSize))
                return fail();
            QVariantList list;
            if (!m_checkOnly)
                list.reserve(qsizetype(std::min<quint64>(contents->count, m_valuesLeft)));
            for (quint64 i = 0; i < contents->count && !m_failed; ++i) {
                QVariant element = object(reference(contents->first + i * m_refSize), depth + 1);
                if (element.isValid() && !m_checkOnly)
                    list.append(std::move(element));
            }
            return m_failed ? QVariant() : QVariant(std::move(list));
        }
        case 0xD: {
            if (depth >= m_maxDepth || contents->count > m_objectCount
                || !fits({0, 0, contents->count * 2, contents->first}, m_refSize))
                return fail();
            QVariantMap map;
            const quint64 values = contents->first + contents->count * m_refSize;
            for (quint64 i = 0; i < contents->count && !m_failed; ++i) {
                const std::optional<QString> key = string(reference(contents->first + i * m_refSize));
                if (!key)
                    return fail();
                QVariant value = object(reference(values + i * m_refSize), depth + 1);
                if (value.isValid() && !m_checkOnly)
                    map.insert(*key, std::move(value));
            }
            return m_failed ? QVariant() : QVariant(std::move(map));
        }
        default:
            return {}; // identifiers and sets are no preferences value
        }
    }

    const QByteArray m_bytes;
    const uchar *m_data;
    quint64 m_size;
    const int m_maxDepth;
    quint64 m_valuesLeft;
    int m_offsetSize = 0;
    int m_refSize = 0;
    quint64 m_objectCount = 0;
    quint64 m_tableOffset = 0;
    quint64 m_top = 0;
    bool m_checkOnly = false; // check every value, build none
    std::vector<std::optional<QString>> m_strings;
    bool m_failed = false;
};

} // namespace

namespace BinaryPlistReader {

std::optional<QVariant> parse(const QByteArray &bytes, int maxDepth, quint64 maxValueCount)
{
    return Reader(bytes, maxDepth, maxValueCount).read();
}

std::optional<QVariant> parseDeferringLists(const QByteArray &bytes, int maxDepth, quint64 maxValueCount,
                                            quint64 deferFrom)
{
    return Reader(bytes, maxDepth, maxValueCount).readDeferringLists(deferFrom);
}

QVariant decode(const DeferredList &list, int maxDepth, quint64 maxValueCount)
{
    return Reader(list.bytes, maxDepth, maxValueCount).readObject(list.index).value_or(QVariant());
}

} // namespace BinaryPlistReader
