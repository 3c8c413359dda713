#include "platform/BoundedImageReader.h"

#include "platform/RegularFile.h"

#include <QBuffer>
#include <QFile>
#include <QGuiApplication>
#include <QImageReader>
#include <QLoggingCategory>

#include <cmath>

Q_LOGGING_CATEGORY(lcImages, "brimble.platform.images")

BoundedImageReader::Limits BoundedImageReader::iconLimits(int side)
{
    const qreal ratio = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    const int pixels = qMax(1, int(std::ceil(side * ratio)));
    return {largestIconFileBytes, QSize(pixels, pixels), largestIconPixelCount};
}

QImage BoundedImageReader::fromFile(const QString &path, const Limits &limits)
{
    const std::unique_ptr<QFile> file = RegularFile::open(path, limits.fileBytes);
    return file ? decode(*file, limits) : QImage();
}

QImage BoundedImageReader::fromData(const QByteArray &data, const Limits &limits)
{
    if (data.size() > limits.fileBytes)
        return {};
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    return decode(buffer, limits);
}

QSize BoundedImageReader::claimedSize(const QString &path, qint64 fileBytes)
{
    const std::unique_ptr<QFile> file = RegularFile::open(path, fileBytes);
    return file ? QImageReader(file.get()).size() : QSize();
}

QImage BoundedImageReader::decode(QIODevice &device, const Limits &limits)
{
    QImageReader reader(&device);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    // A format that cannot tell its size before decoding could be any size.
    if (!size.isValid() || size.isEmpty()) {
        qCInfo(lcImages) << "No picture, or one that does not tell its size";
        return {};
    }
    if (qint64(size.width()) * size.height() > limits.largestPixelCount) {
        qCInfo(lcImages) << "Refusing a picture of" << size << "pixels";
        return {};
    }
    if (size.width() > limits.fitInto.width() || size.height() > limits.fitInto.height()) {
        QSize scaled = size.scaled(limits.fitInto, Qt::KeepAspectRatio);
        scaled = scaled.expandedTo(QSize(1, 1));
        // Formats that cannot decode scaled are decoded whole and scaled after.
        const qint64 wholeBytes = qint64(size.width()) * size.height() * 4;
        if (!reader.supportsOption(QImageIOHandler::ScaledSize)
            && wholeBytes > qint64(allocationLimitMb) * 1024 * 1024) {
            qCInfo(lcImages) << "Refusing a picture of" << size << "pixels that decodes only whole";
            return {};
        }
        reader.setScaledSize(scaled);
    }
    QImage image = reader.read();
    if (image.isNull())
        qCInfo(lcImages).noquote() << "Cannot decode a picture:" << reader.errorString();
    // A rotated picture (auto-transform) swaps its sides after scaling.
    if (image.width() > limits.fitInto.width() || image.height() > limits.fitInto.height())
        image = image.scaled(limits.fitInto, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    return image;
}
