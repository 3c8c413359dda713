#include "platform/PlistCodec.h"

#include "platform/BinaryPlistReader.h"
#include "platform/BinaryPlistWriter.h"
#include "platform/PlatformLog.h"
#include "platform/PlistDates.h"
#include "platform/PlistShape.h"

#include <QDateTime>

#include <plist/plist.h>

#include <cstdlib>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

namespace {

struct PlistDeleter
{
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistNode = std::unique_ptr<void, PlistDeleter>;

template<auto freeFunction>
struct BufferDeleter
{
    void operator()(char *buffer) const { freeFunction(buffer); }
};

// The library keeps every integer as 64 unsigned bits and knows, but does not
// say, whether one above the signed range was written as unsigned. Its XML
// form tells.
bool isUnsignedBeyondSigned(plist_t node)
{
    const PlistNode copy(plist_copy(node));
    char *xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(copy.get(), &xml, &length);
    const std::unique_ptr<char, BufferDeleter<plist_to_xml_free>> owner(xml);
    return xml && std::string_view(xml, length).find("<integer>-") == std::string_view::npos;
}

// The one way the library's interface makes an integer above the signed range.
plist_t newUnsigned(quint64 value)
{
    const QByteArray xml = "<plist><integer>" + QByteArray::number(value) + "</integer></plist>";
    plist_t node = nullptr;
    plist_from_xml(xml.constData(), uint32_t(xml.size()), &node);
    return node;
}

// libplist holds a date as 32-bit seconds from 2001, so an XML date outside
// 1933 to 2069 would come back wrong. Each date is therefore read (and
// written) as text here, and libplist sees a stand-in instead: the date that
// many seconds after 2001 that is the date's number in the document.
class XmlDates
{
public:
    // The bytes with every <date> replaced by its stand-in; the dates, by
    // number, in dates(). Bytes with a date this code cannot read are
    // returned as they are, for libplist to judge.
    QByteArray standIns(const QByteArray &xml)
    {
        // A date element of another form would be taken for a stand-in.
        if (xml.contains("<date/") || xml.contains("<date "))
            return xml;
        const std::optional<QByteArray> replaced = withDateTexts(
            xml, [this](const QDateTime &date, QByteArrayView) -> std::optional<QByteArray> {
                if (!date.isValid())
                    return std::nullopt;
                m_dates.append(date);
                return standInText(m_dates.size() - 1);
            });
        if (!replaced)
            m_dates.clear();
        return replaced.value_or(xml);
    }

    // The date a stand-in of standIns() holds, or the date as libplist read it.
    QDateTime date(int32_t seconds, int32_t microseconds) const
    {
        if (!m_dates.isEmpty() && seconds >= 0 && seconds < m_dates.size())
            return m_dates.at(seconds);
        const qint64 msecs = (PlistDates::epochInUnixSeconds + seconds) * 1000 + microseconds / 1000;
        return QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
    }

    // Writing: the stand-in for date, which replaceStandIns() turns back.
    int32_t standInFor(const QDateTime &date)
    {
        m_dates.append(date);
        return int32_t(m_dates.size() - 1);
    }
    QByteArray replaceStandIns(const QByteArray &xml) const
    {
        if (m_dates.isEmpty())
            return xml;
        return *withDateTexts(xml, [this](const QDateTime &standIn, QByteArrayView text) -> std::optional<QByteArray> {
            const qint64 number = standIn.isValid() ? standIn.toSecsSinceEpoch() - PlistDates::epochInUnixSeconds : -1;
            return number >= 0 && number < m_dates.size() ? toText(m_dates.at(number)) : text.toByteArray();
        });
    }

private:
    using Replacement = std::function<std::optional<QByteArray>(const QDateTime &date, QByteArrayView text)>;

    // xml with the text of each <date> element replaced by what replace makes
    // of the date it holds (invalid when this code cannot read it); nothing
    // when replace gives up on one.
    static std::optional<QByteArray> withDateTexts(const QByteArray &xml, const Replacement &replace)
    {
        static const QByteArray open = "<date>";
        static const QByteArray close = "</date>";
        QByteArray out;
        qsizetype from = 0;
        for (qsizetype at = xml.indexOf(open); at >= 0; at = xml.indexOf(open, from)) {
            const qsizetype textStart = at + open.size();
            const qsizetype end = xml.indexOf(close, textStart);
            if (end < 0)
                break;
            const QByteArrayView text = QByteArrayView(xml).sliced(textStart, end - textStart);
            const std::optional<QByteArray> replacement = replace(fromText(text.toByteArray()), text);
            if (!replacement)
                return std::nullopt;
            out += QByteArrayView(xml).sliced(from, textStart - from);
            out += *replacement;
            from = end;
        }
        out += QByteArrayView(xml).sliced(from);
        return out;
    }

    static QDateTime fromText(const QByteArray &text)
    {
        const QDateTime date = QDateTime::fromString(QString::fromLatin1(text.trimmed()), Qt::ISODateWithMs);
        return date.isValid() ? date.toUTC() : QDateTime();
    }
    static QByteArray toText(const QDateTime &date)
    {
        return date.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ")).toLatin1();
    }
    static QByteArray standInText(qsizetype number)
    {
        return toText(QDateTime::fromSecsSinceEpoch(PlistDates::epochInUnixSeconds + number, Qt::UTC));
    }

    QList<QDateTime> m_dates;
};

// Builds QVariants from a parsed tree. Dictionary keys are shared: every
// record's "title" is one QString, not one copy per record.
class Reader
{
public:
    explicit Reader(const XmlDates &dates)
        : m_dates(dates)
    {
    }

    QVariant toVariant(plist_t node)
    {
        switch (plist_get_node_type(node)) {
        case PLIST_BOOLEAN: {
            uint8_t value = 0;
            plist_get_bool_val(node, &value);
            return bool(value);
        }
        case PLIST_UINT: {
            uint64_t value = 0;
            plist_get_uint_val(node, &value);
            if (qint64(value) < 0 && isUnsignedBeyondSigned(node))
                return QVariant::fromValue<quint64>(value);
            return qint64(value); // a negative integer is kept as its two's complement
        }
        case PLIST_REAL: {
            double value = 0;
            plist_get_real_val(node, &value);
            return value;
        }
        case PLIST_STRING: {
            uint64_t length = 0;
            const char *text = plist_get_string_ptr(node, &length);
            return QString::fromUtf8(text, qsizetype(length));
        }
        case PLIST_DATA: {
            uint64_t length = 0;
            const char *bytes = plist_get_data_ptr(node, &length);
            return QByteArray(bytes, qsizetype(length));
        }
        case PLIST_DATE: {
            int32_t seconds = 0;
            int32_t microseconds = 0;
            plist_get_date_val(node, &seconds, &microseconds);
            return m_dates.date(seconds, microseconds);
        }
        case PLIST_ARRAY: {
            QVariantList list;
            list.reserve(plist_array_get_size(node));
            plist_array_iter iter = nullptr;
            plist_array_new_iter(node, &iter);
            for (;;) {
                plist_t element = nullptr;
                plist_array_next_item(node, iter, &element);
                if (!element)
                    break;
                QVariant converted = toVariant(element);
                if (converted.isValid())
                    list.append(std::move(converted));
            }
            std::free(iter);
            return list;
        }
        case PLIST_DICT: {
            QVariantMap map;
            plist_dict_iter iter = nullptr;
            plist_dict_new_iter(node, &iter);
            for (;;) {
                char *key = nullptr;
                plist_t value = nullptr;
                plist_dict_next_item(node, iter, &key, &value);
                const std::unique_ptr<char, BufferDeleter<std::free>> keyOwner(key);
                if (!key || !value)
                    break;
                QVariant converted = toVariant(value);
                if (converted.isValid())
                    map.insert(sharedKey(key), std::move(converted));
            }
            std::free(iter);
            return map;
        }
        default:
            return {};
        }
    }

private:
    const XmlDates &m_dates;

    QString sharedKey(std::string_view key)
    {
        auto found = m_keys.find(key);
        if (found == m_keys.end())
            found = m_keys.emplace(key, QString::fromUtf8(key.data(), qsizetype(key.size()))).first;
        return found->second;
    }

    struct KeyHash
    {
        using is_transparent = void;
        size_t operator()(std::string_view key) const { return std::hash<std::string_view>()(key); }
    };
    std::unordered_map<std::string, QString, KeyHash, std::equal_to<>> m_keys;
};

QByteArray utf8WithoutNul(const QString &text)
{
    QByteArray utf8 = text.toUtf8();
    utf8.replace('\0', QByteArrayView());
    return utf8;
}

plist_t toNode(const QVariant &value, XmlDates &dates)
{
    switch (value.typeId()) {
    case QMetaType::QString:
        return plist_new_string(utf8WithoutNul(value.toString()).constData());
    case QMetaType::Bool:
        return plist_new_bool(value.toBool());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
        return plist_new_uint(uint64_t(value.toLongLong()));
    case QMetaType::ULongLong: {
        const quint64 number = value.toULongLong();
        return number > quint64(std::numeric_limits<qint64>::max()) ? newUnsigned(number) : plist_new_uint(number);
    }
    case QMetaType::Double:
    case QMetaType::Float:
        return plist_new_real(value.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return plist_new_data(bytes.constData(), uint64_t(bytes.size()));
    }
    case QMetaType::QDateTime: {
        const QDateTime date = value.toDateTime();
        if (!date.isValid())
            break;
        return plist_new_date(dates.standInFor(date), 0);
    }
    case QMetaType::QVariantList: {
        plist_t array = plist_new_array();
        for (const QVariant &element : value.toList()) {
            if (plist_t node = toNode(element, dates))
                plist_array_append_item(array, node);
        }
        return array;
    }
    case QMetaType::QVariantMap: {
        plist_t dict = plist_new_dict();
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            if (plist_t node = toNode(it.value(), dates))
                plist_dict_set_item(dict, utf8WithoutNul(it.key()).constData(), node);
        }
        return dict;
    }
    default:
        break;
    }
    qCWarning(lcPlist) << "Leaving out a value a property list cannot hold:" << value;
    return nullptr;
}

} // namespace

namespace PlistCodec {

static std::optional<QVariant> parseBytes(const QByteArray &bytes, quint64 deferListsFrom)
{
    if (bytes.isEmpty() || bytes.size() > std::numeric_limits<uint32_t>::max())
        return std::nullopt;
    const auto refuse = [] {
        qCWarning(lcPlist) << "Refusing a property list that is damaged, nested deeper than" << maxDepth
                           << "levels or holding too many values";
        return std::nullopt;
    };
    if (bytes.startsWith("bplist")) {
        std::optional<QVariant> value = deferListsFrom > 0 ? BinaryPlistReader::parseDeferringLists(
                                            bytes, maxDepth, maxValueCount, deferListsFrom)
                                                           : BinaryPlistReader::parse(bytes, maxDepth, maxValueCount);
        return value ? value : refuse();
    }
    if (!PlistShape::xmlWithinLimits(bytes, maxDepth, maxValueCount))
        return refuse();
    XmlDates dates;
    const QByteArray xml = dates.standIns(bytes);
    plist_t root = nullptr;
    plist_from_xml(xml.constData(), uint32_t(xml.size()), &root);
    if (!root)
        return std::nullopt;
    const PlistNode owner(root);
    QVariant value = Reader(dates).toVariant(root);
    if (!value.isValid())
        return std::nullopt;
    return value;
}

std::optional<QVariant> parse(const QByteArray &bytes)
{
    return parseBytes(bytes, 0);
}

std::optional<QVariant> parseDeferringLists(const QByteArray &bytes)
{
    return parseBytes(bytes, deferredListLength);
}

bool isDeferred(const QVariant &value)
{
    return value.metaType() == QMetaType::fromType<BinaryPlistReader::DeferredList>();
}

QVariant resolved(const QVariant &value)
{
    if (!isDeferred(value))
        return value;
    return BinaryPlistReader::decode(value.value<BinaryPlistReader::DeferredList>(), maxDepth, maxValueCount);
}

QVariantMap resolved(QVariantMap map)
{
    for (auto it = map.begin(); it != map.end(); ++it) {
        if (isDeferred(it.value()))
            it.value() = resolved(it.value());
    }
    return map;
}

QByteArray toBinary(const QVariant &value)
{
    return BinaryPlistWriter::write(value);
}

QByteArray toXml(const QVariant &value)
{
    XmlDates dates;
    const PlistNode root(toNode(value, dates));
    if (!root)
        return {};
    char *xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.get(), &xml, &length);
    const std::unique_ptr<char, BufferDeleter<plist_to_xml_free>> owner(xml);
    return dates.replaceStandIns(QByteArray(xml, qsizetype(length)));
}

} // namespace PlistCodec
