#include "platform/PlistShape.h"

#include <QByteArrayView>

#include <cstring>
#include <vector>

namespace {

// XML: count the opening and closing container tags. Comments, processing
// instructions, the doctype and CDATA sections are skipped; a string cannot
// hold a raw "<".
bool xmlWithinLimits(QByteArrayView text, int maxDepth, quint64 maxValueCount)
{
    const auto skipPast = [&](qsizetype from, QByteArrayView end) {
        const qsizetype at = text.indexOf(end, from);
        return at < 0 ? text.size() : at + end.size();
    };
    int depth = 0;
    quint64 values = 0;
    qsizetype i = 0;
    while ((i = text.indexOf('<', i)) >= 0) {
        const QByteArrayView rest = text.sliced(i);
        if (rest.startsWith("<!--")) {
            i = skipPast(i + 4, "-->");
        } else if (rest.startsWith("<![CDATA[")) {
            i = skipPast(i + 9, "]]>");
        } else if (rest.startsWith("<?") || rest.startsWith("<!")) {
            i = skipPast(i + 2, ">");
        } else {
            const bool closing = rest.startsWith("</");
            const qsizetype end = text.indexOf('>', i);
            if (end < 0)
                return true; // unterminated: the parser refuses it
            const QByteArrayView tag = text.sliced(i + (closing ? 2 : 1), end - i - (closing ? 2 : 1));
            const bool container = tag.startsWith("array") || tag.startsWith("dict");
            if (closing) {
                if (container)
                    --depth;
            } else if (!tag.startsWith("plist") && !tag.startsWith("key")) {
                if (++values > maxValueCount)
                    return false;
                if (container && !tag.endsWith('/') && ++depth > maxDepth)
                    return false;
            }
            i = end + 1;
        }
    }
    return true;
}

quint64 readBigEndian(const uchar *bytes, int size)
{
    quint64 value = 0;
    for (int i = 0; i < size; ++i)
        value = (value << 8) | bytes[i];
    return value;
}

// Binary: a trailer names the object table; containers hold references
// (indexes into that table) to their elements. Walks the references without
// recursion, remembering each object's depth and value count.
class BinaryWalk
{
public:
    explicit BinaryWalk(QByteArrayView bytes)
        : m_data(reinterpret_cast<const uchar *>(bytes.data()))
        , m_size(quint64(bytes.size()))
    {
    }

    bool withinLimits(int maxDepth, quint64 maxValueCount)
    {
        constexpr quint64 headerSize = 8;
        constexpr quint64 trailerSize = 32;
        if (m_size < headerSize + trailerSize)
            return true; // too short: the parser refuses it
        const uchar *trailer = m_data + m_size - trailerSize;
        m_offsetSize = trailer[6];
        m_refSize = trailer[7];
        m_objectCount = readBigEndian(trailer + 8, 8);
        const quint64 top = readBigEndian(trailer + 16, 8);
        m_tableOffset = readBigEndian(trailer + 24, 8);
        if (m_offsetSize < 1 || m_offsetSize > 8 || m_refSize < 1 || m_refSize > 8 || top >= m_objectCount
            || m_tableOffset < headerSize || m_tableOffset >= m_size - trailerSize
            || m_objectCount > (m_size - trailerSize - m_tableOffset) / m_offsetSize)
            return false;

        m_depth.assign(m_objectCount, unvisited);
        m_values.assign(m_objectCount, 0);
        m_keyState.assign(m_objectCount, 0);
        struct Frame
        {
            quint64 object;
            quint64 next; // index of the next reference to follow
        };
        std::vector<Frame> stack{{top, 0}};
        m_depth[top] = inProgress;
        while (!stack.empty()) {
            Frame &frame = stack.back();
            const auto refs = references(frame.object);
            if (!refs)
                return false;
            if (frame.next < refs->count) {
                const quint64 child = readBigEndian(m_data + refs->first + frame.next * m_refSize, m_refSize);
                ++frame.next;
                if (child >= m_objectCount || m_depth[child] == inProgress)
                    return false; // outside the table, or a loop
                // The parser aborts on a dictionary key holding U+0000.
                if (frame.next <= refs->keyCount && !isKeyWithoutNul(child))
                    return false;
                if (m_depth[child] == unvisited) {
                    if (stack.size() > quint64(maxDepth))
                        return false;
                    m_depth[child] = inProgress;
                    stack.push_back({child, 0});
                }
                continue;
            }
            // Every element is done: this object's depth and value count.
            int depth = 0;
            quint64 values = 1;
            for (quint64 i = 0; i < refs->count; ++i) {
                const quint64 child = readBigEndian(m_data + refs->first + i * m_refSize, m_refSize);
                depth = std::max(depth, m_depth[child]);
                values += m_values[child];
            }
            m_depth[frame.object] = refs->count > 0 || refs->container ? depth + 1 : 0;
            m_values[frame.object] = values;
            if (m_depth[frame.object] > maxDepth || values > maxValueCount)
                return false;
            stack.pop_back();
        }
        return true;
    }

private:
    static constexpr int unvisited = -1;
    static constexpr int inProgress = -2;

    struct References
    {
        quint64 first = 0; // file offset of the first reference
        quint64 count = 0;
        quint64 keyCount = 0; // a dictionary's references start with its keys
        bool container = false;
    };

    // The size of an object's contents from its marker: the low four bits,
    // or 15 and an integer object that follows. Sets first to the contents.
    std::optional<quint64> countAt(quint64 offset, quint64 &first) const
    {
        quint64 count = m_data[offset] & 0xF;
        first = offset + 1;
        if (count != 0xF)
            return count;
        if (first >= m_tableOffset || (m_data[first] >> 4) != 0x1)
            return std::nullopt;
        const int size = 1 << (m_data[first] & 0xF);
        if (size > 8 || first + 1 + size > m_tableOffset)
            return std::nullopt;
        count = readBigEndian(m_data + first + 1, size);
        first += 1 + size;
        return count;
    }

    bool isKeyWithoutNul(quint64 object)
    {
        char &known = m_keyState[object];
        if (known == 0)
            known = scanKey(object) ? 1 : 2;
        return known == 1;
    }

    bool scanKey(quint64 object) const
    {
        const quint64 offset = readBigEndian(m_data + m_tableOffset + object * m_offsetSize, m_offsetSize);
        if (offset >= m_tableOffset)
            return false;
        const uchar kind = m_data[offset] >> 4;
        if (kind != 0x5 && kind != 0x6)
            return true; // not a string: the parser refuses it as a key
        quint64 first = 0;
        const auto count = countAt(offset, first);
        const quint64 unit = kind == 0x6 ? 2 : 1;
        if (!count || *count > (m_tableOffset - first) / unit)
            return false;
        for (quint64 i = 0; i < *count; ++i) {
            if (m_data[first + i * unit] == 0 && m_data[first + i * unit + unit - 1] == 0)
                return false;
        }
        return true;
    }

    std::optional<References> references(quint64 object) const
    {
        const quint64 offset = readBigEndian(m_data + m_tableOffset + object * m_offsetSize, m_offsetSize);
        if (offset >= m_tableOffset)
            return std::nullopt;
        const uchar marker = m_data[offset];
        const uchar kind = marker >> 4;
        if (kind != 0xA && kind != 0xC && kind != 0xD)
            return References{};
        quint64 first = 0;
        std::optional<quint64> count = countAt(offset, first);
        if (!count)
            return std::nullopt;
        quint64 keyCount = 0;
        if (kind == 0xD) {
            if (*count > m_objectCount)
                return std::nullopt;
            keyCount = *count;
            *count *= 2;
        }
        if (*count > (m_tableOffset - first) / m_refSize)
            return std::nullopt;
        return References{first, *count, keyCount, true};
    }

    const uchar *m_data;
    quint64 m_size;
    int m_offsetSize = 0;
    int m_refSize = 0;
    quint64 m_objectCount = 0;
    quint64 m_tableOffset = 0;
    std::vector<int> m_depth;
    std::vector<quint64> m_values;
    std::vector<char> m_keyState; // 0 not looked at, 1 a good key, 2 a key with U+0000
};

} // namespace

namespace PlistShape {

bool withinLimits(const QByteArray &bytes, int maxDepth, quint64 maxValueCount)
{
    if (bytes.startsWith("bplist"))
        return BinaryWalk(bytes).withinLimits(maxDepth, maxValueCount);
    return xmlWithinLimits(bytes, maxDepth, maxValueCount);
}

} // namespace PlistShape
