#include "platform/PlistCodec.h"
#include "platform/PreferencesStore.h"

#include <QDateTime>
#include <QtEndian>

#include <gtest/gtest.h>

#include <limits>

namespace {

QByteArray bigEndian(quint32 value)
{
    QByteArray bytes(4, '\0');
    qToBigEndian(value, bytes.data());
    return bytes;
}

// A binary property list of the given objects (each one's encoded bytes),
// with four-byte offsets and references; object 0 is the root.
QByteArray binaryList(const QList<QByteArray> &objects)
{
    QByteArray bytes = "bplist00", table;
    for (const QByteArray &object : objects) {
        table += bigEndian(quint32(bytes.size()));
        bytes += object;
    }
    // The trailer: sizes of offsets and references, object count, root, table offset.
    return bytes + table + QByteArray("\0\0\0\0\0\0\4\4\0\0\0\0", 12) + bigEndian(quint32(objects.size()))
           + QByteArray(12, '\0') + bigEndian(quint32(bytes.size()));
}

// An array object of the given references (fewer than 15).
QByteArray arrayOf(const QList<quint32> &references)
{
    QByteArray object(1, char(0xA0 | references.size()));
    for (quint32 reference : references)
        object += bigEndian(reference);
    return object;
}

TEST(PlistCodec, NestingBeyondAnyRealStoreCountsAsDamaged)
{
    constexpr int deep = 100000;
    const QByteArray xml = "<plist>" + QByteArray("<array>").repeated(deep) + QByteArray("</array>").repeated(deep)
                           + "</plist>";
    EXPECT_FALSE(PlistCodec::parse(xml));

    QList<QByteArray> chain;
    for (quint32 i = 0; i < deep; ++i)
        chain.append(i + 1 < deep ? arrayOf({i + 1}) : arrayOf({}));
    EXPECT_FALSE(PlistCodec::parse(binaryList(chain)));

    // An array holding itself, and forty levels of [x, x] that would expand
    // to a trillion values.
    EXPECT_FALSE(PlistCodec::parse(binaryList({arrayOf({0})})));
    QList<QByteArray> doubling;
    for (quint32 i = 0; i < 40; ++i)
        doubling.append(arrayOf({i + 1, i + 1}));
    doubling.append(QByteArray(1, char(0x09)));
    EXPECT_FALSE(PlistCodec::parse(binaryList(doubling)));

    // A dictionary key holding U+0000 made the library abort; references
    // outside the object table are damage.
    const QByteArray nulKey = binaryList(
        {QByteArray::fromHex("D10000000100000002"), QByteArray::fromHex("526100"), QByteArray::fromHex("09")});
    EXPECT_EQ(PlistCodec::parse(nulKey), QVariant(QVariantMap{{QString(QStringLiteral("a") + QChar(0)), true}}));
    EXPECT_FALSE(PlistCodec::parse(binaryList({arrayOf({7})})));

    // Nesting a real file could have still reads.
    QVariant nested = QVariantList{QStringLiteral("inner")};
    for (int i = 0; i < 40; ++i)
        nested = QVariantList{nested};
    EXPECT_EQ(PlistCodec::parse(PlistCodec::toBinary(nested)), nested);
    EXPECT_EQ(PlistCodec::parse(PlistCodec::toXml(nested)), nested);
}

TEST(PlistCodec, ValuesSurviveARoundTripInBothFormats)
{
    const auto utc = [](int year, int month, int day) {
        return QDateTime(QDate(year, month, day), QTime(0, 0), Qt::UTC);
    };
    const QString allKinds = QStringLiteral("Fête <&> ]]> \"x\" \t\r\n 😀 日本 \u2028 \x01 end ");
    const quint64 beyondSigned = quint64(std::numeric_limits<qint64>::max()) + 2;
    const QString withNul = QStringLiteral("before") + QChar(0) + QStringLiteral("after");
    const QVariantMap written{{"1800", utc(1800, 1, 1)},
                              {"data", QByteArray("\x00\x01\xfe\xff", 4)},
                              {"9999", QDateTime(QDate(9999, 12, 31), QTime(23, 59, 59), Qt::UTC)},
                              {"text", allKinds},
                              {"nul", withNul},
                              {"unsigned", QVariant::fromValue<quint64>(beyondSigned)},
                              {"largest", QVariant(std::numeric_limits<qint64>::max())},
                              {"negative", qint64(-7)}};
    for (const bool binary : {true, false}) {
        QVariantMap expected = written;
        // Dates beyond libplist's 1932 to 2069 come back exactly in both forms;
        // XML cannot carry U+0000.
        if (!binary)
            expected.insert(QVariantMap{{"nul", "beforeafter"}});
        const auto read = PlistCodec::parse(binary ? PlistCodec::toBinary(written) : PlistCodec::toXml(written));
        ASSERT_TRUE(read) << binary;
        const QVariantMap back = read->toMap();
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            EXPECT_EQ(back.value(it.key()), it.value()) << it.key().toStdString() << " binary " << binary;
        EXPECT_FALSE(StoredValue::toInteger(back.value(QStringLiteral("unsigned")))) << "never read as negative";
        EXPECT_EQ(StoredValue::toInteger(back.value(QStringLiteral("largest"))), std::numeric_limits<qint64>::max());
    }
}

} // namespace

// Both formats count seconds from the start of 2001 (UTC): what another
// program wrote is read as the moment it meant, and written back so.
TEST(PlistCodec, DatesCountFromTheStartOf2001InBothFormats)
{
    const QDateTime secondDay(QDate(2001, 1, 2), QTime(0, 0), Qt::UTC);
    const QByteArray oneDay = QByteArray::fromHex("40F5180000000000"); // 86400.0
    const QByteArray date = char(0x33) + oneDay;
    EXPECT_EQ(PlistCodec::parse(binaryList({arrayOf({1}), date})), QVariant(QVariantList{secondDay}));
    EXPECT_TRUE(PlistCodec::toBinary(QVariantList{secondDay}).contains(date));

    const QByteArray xml = "<plist version=\"1.0\"><array><date>2001-01-02T00:00:00Z</date></array></plist>";
    EXPECT_EQ(PlistCodec::parse(xml), QVariant(QVariantList{secondDay}));
    EXPECT_TRUE(PlistCodec::toXml(QVariantList{secondDay}).contains("<date>2001-01-02T00:00:00Z</date>"));
}
