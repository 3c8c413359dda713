// Feeds arbitrary bytes to the reader of the preferences file and to the
// keyed-text loader. Whatever the reader accepts must also survive being
// written as a binary property list and read back, and reading it with
// long lists left unbuilt must come to the same.

#include "platform/PlistCodec.h"
#include "store/LocalizedText.h"

#include <QByteArray>
#include <QLoggingCategory>

#include <cstdint>
#include <cstdlib>

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
    return 0;
}
