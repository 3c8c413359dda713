#include "platform/PlistShape.h"

#include <QByteArrayView>

namespace {

// XML: count the opening and closing container tags. Comments, processing
// instructions, the doctype and CDATA sections are skipped; a string cannot
// hold a raw "<".
bool countTags(QByteArrayView text, int maxDepth, quint64 maxValueCount)
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

} // namespace

namespace PlistShape {

bool xmlWithinLimits(const QByteArray &bytes, int maxDepth, quint64 maxValueCount)
{
    return countTags(QByteArrayView(bytes), maxDepth, maxValueCount);
}

} // namespace PlistShape
