// Feeds arbitrary bytes to the reader of the preferences file and to the
// keyed-text loader. Whatever the reader accepts must also survive being
// written as a binary property list and read back.

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
    if (const auto value = PlistCodec::parse(bytes)) {
        if (!PlistCodec::parse(PlistCodec::toBinary(*value)))
            std::abort();
    }
    parseLanguageTable(bytes);
    return 0;
}
