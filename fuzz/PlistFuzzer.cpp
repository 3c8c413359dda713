// Feeds arbitrary bytes to the reader of the preferences file, to the
// keyed-text loader and to the readers of the single-instance socket's
// requests and replies. Whatever the reader accepts must also survive being written as a
// binary property list and read back, and reading it with long lists left
// unbuilt must come to the same. The requests must not depend on how the
// bytes were cut into pieces.

#include "app/InstanceReply.h"
#include "app/InstanceRequestParser.h"
#include "platform/PlistCodec.h"
#include "store/LocalizedText.h"

#include <QByteArray>
#include <QLoggingCategory>

#include <cstdint>
#include <cstdlib>

namespace {

// Reads bytes whole and in pieces whose sizes the bytes themselves choose;
// both must give the same requests, and each request, written again, must
// read back as itself.
void checkRequestParser(const QByteArray &bytes)
{
    InstanceRequestParser whole;
    const QList<InstanceRequest> expected = whole.append(bytes);
    InstanceRequestParser pieces;
    QList<InstanceRequest> requests;
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype length = 1 + uchar(bytes.at(at)) % 64;
        requests += pieces.append(QByteArrayView(bytes).sliced(at, qMin(length, bytes.size() - at)));
        at += length;
    }
    if (requests != expected || pieces.stopped() != whole.stopped())
        std::abort();
    for (const InstanceRequest &request : requests) {
        InstanceRequestParser again;
        if (again.append(request.encoded()) != QList<InstanceRequest>{request})
            std::abort();
    }
}

// The replies a client reads: any message that holds one reads back as the
// same reply once written again.
void checkReplyReader(const QByteArray &bytes)
{
    InstanceMessage::Parser parser({64 * 1024, 1024});
    for (const InstanceMessage::Fields &fields : parser.append(bytes)) {
        const auto reply = InstanceReply::fromFields(fields);
        if (!reply)
            continue;
        InstanceMessage::Parser again({1024 * 1024, 1024 * 1024});
        const QList<InstanceMessage::Fields> written = again.append(reply->encoded());
        if (written.size() != 1 || InstanceReply::fromFields(written.constFirst()) != reply)
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
    checkReplyReader(bytes);
    return 0;
}
