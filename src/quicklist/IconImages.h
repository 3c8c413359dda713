#pragma once

#include <QHash>
#include <QIcon>
#include <QObject>
#include <QString>

#include <array>
#include <memory>

// Icons read from picture files (bookmark icons), decoded at the size the
// rows draw them and kept, small, until their file changes. Only regular
// files are opened. A picture of more than a million pixels would hold up
// the interface while it decodes, however small it is drawn: it is decoded
// on a worker thread, and iconReady(path) says when it is there.
class IconImages final : public QObject
{
    Q_OBJECT

public:
    // side: the drawn size in device-independent pixels.
    explicit IconImages(int side, QObject *parent = nullptr);
    ~IconImages() override;

    // The icon of the picture at path; null when there is none, or while a
    // large one is still being decoded.
    QIcon icon(const QString &path);

Q_SIGNALS:
    void iconReady(const QString &path);

private:
    // What tells a file apart from the one before it at its path: device,
    // inode, size, modification time; all zero for no regular file.
    using FileStamp = std::array<qint64, 5>;
    struct Entry
    {
        FileStamp stamp{};
        // Null while decoding aside.
        QIcon icon;
    };
    struct Delivery;

    static FileStamp stampOf(const QString &path);
    void decodeAside(const QString &path, const FileStamp &stamp);
    void deliver(const QString &path, const FileStamp &stamp, const QImage &image);

    int m_side;
    QHash<QString, Entry> m_entries;
    std::shared_ptr<Delivery> m_delivery;
};
