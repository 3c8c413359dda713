#include "platform/RegularFile.h"
#include "platform/BoundedImageReader.h"

#include "support/FifoTrap.h"
#include "support/TestFolders.h"
#include "support/TestPictures.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

using Refusal = RegularFile::Refusal;

QString written(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    return path;
}

TEST(RegularFile, ReadsOnlyRegularFilesWithinTheLimitAndNeverOpensAFifo)
{
    TestFolder folder;
    FifoTrap fifo(folder.filePath(QStringLiteral("pipe")));
    ASSERT_TRUE(fifo.made());
    const QString note = written(folder.filePath(QStringLiteral("note.txt")), "hello");
    const QString large = written(folder.filePath(QStringLiteral("large.txt")), QByteArray(100, 'x'));
    QFile::link(note, folder.filePath(QStringLiteral("to-note")));
    QFile::link(folder.filePath(QStringLiteral("pipe")), folder.filePath(QStringLiteral("to-pipe")));
    QFile::link(QStringLiteral("/dev/zero"), folder.filePath(QStringLiteral("to-zero")));

    const struct
    {
        const char *name;
        Refusal refusal;
        QByteArray bytes;
    } cases[] = {
        {"note.txt", Refusal::none, "hello"},     {"to-note", Refusal::none, "hello"},
        {"large.txt", Refusal::tooLarge, {}},     {"missing.txt", Refusal::missing, {}},
        {"", Refusal::notRegularFile, {}},        {"pipe", Refusal::notRegularFile, {}},
        {"to-pipe", Refusal::notRegularFile, {}}, {"to-zero", Refusal::notRegularFile, {}},
    };
    for (const auto &c : cases) {
        const QString path = folder.filePath(QString::fromLatin1(c.name));
        const RegularFile::Contents contents = RegularFile::read(path, 99);
        EXPECT_EQ(contents.refusal, c.refusal) << c.name;
        EXPECT_EQ(contents.bytes, c.bytes) << c.name;
        EXPECT_EQ(RegularFile::open(path, 99) != nullptr, c.refusal == Refusal::none) << c.name;
    }
    // The start of a file of any size; a FIFO's start is not read either.
    EXPECT_EQ(RegularFile::readStart(large, 10).bytes, QByteArray(10, 'x'));
    EXPECT_EQ(RegularFile::readStart(note, 10).bytes, QByteArray("hello"));
    EXPECT_EQ(RegularFile::readStart(folder.filePath(QStringLiteral("pipe")), 10).refusal, Refusal::notRegularFile);
    EXPECT_FALSE(fifo.sprung()) << "the FIFO was opened for reading";
}

TEST(BoundedImageReader, DecodesNoLargerThanAskedAndRefusesPicturesClaimingTooManyPixels)
{
    TestFolder folder;
    FifoTrap fifo(folder.filePath(QStringLiteral("icon.png")));
    const QString large = written(folder.filePath(QStringLiteral("large.png")), TestPictures::largePng(5000, 2500));
    const QString bomb = written(folder.filePath(QStringLiteral("bomb.png")), TestPictures::pngClaiming(40000, 40000));
    const QString text = written(folder.filePath(QStringLiteral("text.png")), "not a picture");

    const BoundedImageReader::Limits icon = BoundedImageReader::iconLimits(32);
    EXPECT_EQ(BoundedImageReader::fromFile(large, icon).size(), QSize(32, 16));
    const BoundedImageReader::Limits bigger{1 << 20, QSize(256, 256), 20'000'000};
    EXPECT_EQ(BoundedImageReader::fromData(TestPictures::largePng(5000, 2500), bigger).size(), QSize(256, 128));
    EXPECT_EQ(BoundedImageReader::fromData(TestPictures::largePng(20, 10), bigger).size(), QSize(20, 10))
        << "never enlarged";
    // Over the pixel count, the file size or unreadable: nothing.
    EXPECT_TRUE(BoundedImageReader::fromFile(large, {1 << 20, QSize(32, 32), 5000 * 2500 - 1}).isNull());
    EXPECT_TRUE(BoundedImageReader::fromFile(large, {100, QSize(32, 32), 20'000'000}).isNull());
    for (const QString &refused :
         {bomb, text, folder.filePath(QStringLiteral("icon.png")), QStringLiteral("/dev/zero")})
        EXPECT_TRUE(BoundedImageReader::fromFile(refused, icon).isNull()) << refused.toStdString();
    EXPECT_FALSE(fifo.sprung());
}

} // namespace
