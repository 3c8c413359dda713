#pragma once

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QtEndian>

// Pictures that are large on screen and small on disk: what hostile icon
// files and icon answers look like.
namespace TestPictures {

// A one-colour PNG of width x height pixels, a few kilobytes however large.
// One bit per pixel keeps the test's own memory small; decoded naively it
// is still width x height pixels.
inline QByteArray largePng(int width, int height)
{
    QImage picture(width, height, QImage::Format_Mono);
    picture.fill(1);
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return buffer.data();
}

// A PNG whose header claims width x height RGBA pixels, with no picture data
// behind it: only a reader that trusts the header allocates.
inline QByteArray pngClaiming(quint32 width, quint32 height)
{
    const auto crc32 = [](const QByteArray &bytes) {
        quint32 crc = 0xFFFFFFFFu;
        for (const char byte : bytes) {
            crc ^= quint8(byte);
            for (int bit = 0; bit < 8; ++bit)
                crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
        }
        return ~crc;
    };
    const auto bigEndian = [](quint32 value) -> QByteArray {
        QByteArray bytes(4, '\0');
        qToBigEndian(value, bytes.data());
        return bytes;
    };
    const auto chunk = [&](const QByteArray &typeAndData) -> QByteArray {
        return bigEndian(quint32(typeAndData.size() - 4)) + typeAndData + bigEndian(crc32(typeAndData));
    };
    const QByteArray header = QByteArray("IHDR") + bigEndian(width) + bigEndian(height)
                              + QByteArray("\x08\x06\x00\x00\x00", 5);
    return QByteArray("\x89PNG\r\n\x1a\n", 8) + chunk(header) + chunk("IDAT") + chunk("IEND");
}

} // namespace TestPictures
