#include "platform/PlistCodec.h"

#include <QDateTime>
#include <QLoggingCategory>


#include <plist/plist.h>

#include <memory>

Q_LOGGING_CATEGORY(lcPlist, "brimble.platform.plist")

namespace {

// Property-list dates count seconds from 2001-01-01 00:00:00 UTC.
constexpr qint64 plistEpochInUnixSeconds = 978307200;

struct PlistDeleter
{
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistNode = std::unique_ptr<void, PlistDeleter>;

struct XmlDeleter
{
    void operator()(char *xml) const { plist_to_xml_free(xml); }
};

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
        // libplist keeps negative integers as their two's complement.
        return qint64(value);
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
        const qint64 msecs = (plistEpochInUnixSeconds + seconds) * 1000 + microseconds / 1000;
        return QDateTime::fromMSecsSinceEpoch(msecs, Qt::UTC);
    }
    case PLIST_ARRAY: {
        QVariantList list;
        const uint32_t size = plist_array_get_size(node);
        list.reserve(size);
        for (uint32_t i = 0; i < size; ++i) {
            QVariant element = toVariant(plist_array_get_item(node, i));
            if (element.isValid())
                list.append(std::move(element));
        }
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
            if (!key)
                break;
            QVariant converted = value ? toVariant(value) : QVariant();
            if (converted.isValid())
                map.insert(QString::fromUtf8(key), std::move(converted));
            free(key);
        }
        free(iter);
        return map;
    }
    default:
        return {};
    }
}

plist_t toNode(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QString:
        return plist_new_string(value.toString().toUtf8().constData());
    case QMetaType::Bool:
        return plist_new_bool(value.toBool());
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
        return plist_new_uint(uint64_t(value.toLongLong()));
    case QMetaType::ULongLong:
        return plist_new_uint(value.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return plist_new_real(value.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return plist_new_data(bytes.constData(), uint64_t(bytes.size()));
    }
    case QMetaType::QDateTime: {
        const qint64 msecs = value.toDateTime().toMSecsSinceEpoch() - plistEpochInUnixSeconds * 1000;
        const qint64 seconds = msecs >= 0 ? msecs / 1000 : -((-msecs + 999) / 1000);
        const qint64 micros = (msecs - seconds * 1000) * 1000;
        return plist_new_date(int32_t(seconds), int32_t(micros));
    }
    case QMetaType::QVariantList: {
        plist_t array = plist_new_array();
        for (const QVariant &element : value.toList()) {
            if (plist_t node = toNode(element))
                plist_array_append_item(array, node);
        }
        return array;
    }
    case QMetaType::QVariantMap: {
        plist_t dict = plist_new_dict();
        const QVariantMap map = value.toMap();
        for (auto it = map.cbegin(); it != map.cend(); ++it) {
            if (plist_t node = toNode(it.value()))
                plist_dict_set_item(dict, it.key().toUtf8().constData(), node);
        }
        return dict;
    }
    default:
        qCWarning(lcPlist) << "Leaving out a value a property list cannot hold:" << value.typeName();
        return nullptr;
    }
}

} // namespace

namespace PlistCodec {

std::optional<QVariant> parse(const QByteArray &bytes)
{
    if (bytes.isEmpty() || bytes.size() > std::numeric_limits<uint32_t>::max())
        return std::nullopt;
    plist_t root = nullptr;
    if (plist_is_binary(bytes.constData(), uint32_t(bytes.size())))
        plist_from_bin(bytes.constData(), uint32_t(bytes.size()), &root);
    else
        plist_from_xml(bytes.constData(), uint32_t(bytes.size()), &root);
    if (!root)
        return std::nullopt;
    const PlistNode owner(root);
    return toVariant(root);
}

QByteArray toXml(const QVariant &value)
{
    const PlistNode root(toNode(value));
    if (!root)
        return {};
    char *xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.get(), &xml, &length);
    const std::unique_ptr<char, XmlDeleter> owner(xml);
    return QByteArray(xml, qsizetype(length));
}

} // namespace PlistCodec
