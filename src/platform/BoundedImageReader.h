#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

class QIODevice;

// Decodes pictures no larger than they are shown. A file of a few kilobytes
// may say it is 30,000 pixels wide: the header is read first, a picture that
// claims more pixels than the limit is refused, and the rest is decoded
// straight to the size it is drawn at (PNG and JPEG decode scaled, row by
// row), so that memory follows what is shown, not what the file claims.
class BoundedImageReader final
{
public:
    struct Limits
    {
        // A larger file is not read.
        qint64 fileBytes = 0;
        // Pictures come out no larger than this, in proportion; smaller ones as they are.
        QSize fitInto;
        // A picture whose header claims more pixels is refused.
        qint64 largestPixelCount = 0;
    };

    // What any decoder in the process may allocate for one picture, in
    // megabytes (QImageReader::setAllocationLimit); set once at launch.
    static constexpr int allocationLimitMb = 64;

    // Icon files are a few kilobytes; a photograph set as one still fits.
    static constexpr qint64 largestIconFileBytes = 4 * 1024 * 1024;
    // The largest photographs of today's cameras: a header claiming more on
    // an icon is a decompression bomb, and decoding that many pixels, even
    // scaled, would hold up the interface.
    static constexpr qint64 largestIconPixelCount = 40'000'000;

    // Icons drawn in rows: side is the drawn size in device-independent
    // pixels; the picture is decoded for the screen's pixel ratio.
    static Limits iconLimits(int side);

    // A null image when the file is missing, not a regular file, too large,
    // not a picture, or claims too many pixels.
    static QImage fromFile(const QString &path, const Limits &limits);
    static QImage fromData(const QByteArray &data, const Limits &limits);
    // The size the picture in the file says it has, from its header alone;
    // invalid when the file is refused or holds no picture of known size.
    static QSize claimedSize(const QString &path, qint64 fileBytes);

private:
    static QImage decode(QIODevice &device, const Limits &limits);
};
