// Feeds arbitrary bytes to the reader of the preferences file, to the
// keyed-text loader and to the parser of the single-instance socket's
// requests. Whatever the reader accepts must also survive being written as a
// binary property list and read back, and reading it with long lists left
// unbuilt must come to the same. The requests must not depend on how the
// bytes were cut into pieces.

#include "app/InstanceRequestParser.h"
#include "platform/PlistCodec.h"
#include "store/LocalizedText.h"

#include <QByteArray>
#include <QLoggingCategory>

#include <cstdint>
#include <cstdlib>

namespace {

// Reads bytes whole and in pieces whose sizes the bytes themselves choose;
// both must give the same requests, each one a known request.
void checkRequestParser(const QByteArray &bytes)
{
    InstanceRequestParser whole;
    const QList<QByteArray> expected = whole.append(bytes);
    InstanceRequestParser pieces;
    QList<QByteArray> requests;
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype length = 1 + uchar(bytes.at(at)) % 64;
        requests += pieces.append(QByteArrayView(bytes).sliced(at, qMin(length, bytes.size() - at)));
        at += length;
    }
    if (requests != expected || pieces.overflowed() != whole.overflowed())
        std::abort();
    for (const QByteArray &request : requests) {
        if (request != InstanceRequestParser::showRequest && request != InstanceRequestParser::toggleRequest)
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // Every refused input would otherwise print a warning.
    QLoggingCategory::setFilterRules(QStringLiteral("brimble.*=false"));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    const auto value = PlistCodec::parse(bytes);
    if (value) {
        if (!PlistCodec::parse(PlistCodec::toBinary(*value)))
            std::abort();
    }
    // Reading with long lists left unbuilt accepts the same files, and the
    // lists, once built, are the same values.
    const auto deferring = PlistCodec::parseDeferringLists(bytes);
    if (value.has_value() != deferring.has_value())
        std::abort();
    if (deferring && deferring->typeId() == QMetaType::QVariantMap
        && PlistCodec::toBinary(PlistCodec::resolved(deferring->toMap())) != PlistCodec::toBinary(*value))
        std::abort();
    parseLanguageTable(bytes);
    checkRequestParser(bytes);
    return 0;
}
