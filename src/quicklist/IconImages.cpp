#include "quicklist/IconImages.h"

#include "platform/BoundedImageReader.h"

#include <QFile>
#include <QPixmap>
#include <QThreadPool>

#include <mutex>

#include <sys/stat.h>

namespace {

// Decoded at once below this: a favicon, even a large one, takes a few
// milliseconds.
constexpr qint64 largestInlinePixelCount = 1024 * 1024;

QIcon iconOf(const QImage &image)
{
    return image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
}

} // namespace

// Where workers hand their pictures: this cache while it lives, nowhere
// after. The lock makes handing over and going away exclusive, and the
// QObject takes events still queued for it along when it goes.
struct IconImages::Delivery
{
    std::mutex mutex;
    IconImages *target = nullptr;
};

IconImages::IconImages(int side, QObject *parent)
    : QObject(parent)
    , m_side(side)
    , m_delivery(std::make_shared<Delivery>())
{
    m_delivery->target = this;
}

IconImages::~IconImages()
{
    const std::lock_guard lock(m_delivery->mutex);
    m_delivery->target = nullptr;
}

IconImages::FileStamp IconImages::stampOf(const QString &path)
{
    struct stat info
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return {};
    return {qint64(info.st_dev), qint64(info.st_ino), qint64(info.st_size), qint64(info.st_mtim.tv_sec),
            qint64(info.st_mtim.tv_nsec)};
}

QIcon IconImages::icon(const QString &path)
{
    const FileStamp stamp = stampOf(path);
    auto entry = m_entries.find(path);
    if (entry != m_entries.end() && entry->stamp == stamp)
        return entry->icon;
    entry = m_entries.insert(path, {stamp, {}});
    // No regular file: nothing to open (a FIFO's open would wait for ever).
    if (stamp == FileStamp{})
        return {};
    const BoundedImageReader::Limits limits = BoundedImageReader::iconLimits(m_side);
    const QSize claimed = BoundedImageReader::claimedSize(path, limits.fileBytes);
    if (!claimed.isValid())
        return {};
    if (qint64(claimed.width()) * claimed.height() <= largestInlinePixelCount) {
        entry->icon = iconOf(BoundedImageReader::fromFile(path, limits));
        return entry->icon;
    }
    decodeAside(path, stamp);
    return {};
}

void IconImages::decodeAside(const QString &path, const FileStamp &stamp)
{
    // Limits are taken here: the screens' pixel ratio is for this thread to read.
    QThreadPool::globalInstance()->start([delivery = m_delivery, path, stamp,
                                          limits = BoundedImageReader::iconLimits(m_side)] {
        const QImage image = BoundedImageReader::fromFile(path, limits);
        const std::lock_guard lock(delivery->mutex);
        if (IconImages *target = delivery->target) {
            QMetaObject::invokeMethod(
                target, [target, path, stamp, image] { target->deliver(path, stamp, image); }, Qt::QueuedConnection);
        }
    });
}

void IconImages::deliver(const QString &path, const FileStamp &stamp, const QImage &image)
{
    auto entry = m_entries.find(path);
    // A file that changed meanwhile is read again at the next look.
    if (entry == m_entries.end() || entry->stamp != stamp)
        return;
    entry->icon = iconOf(image);
    Q_EMIT iconReady(path);
}
