#pragma once

#include <QHash>
#include <QIcon>
#include <QMimeDatabase>
#include <QString>

// Icons of files by their type, one per type: a folder by a look at the
// disk, every other file by its name's extension alone, so that showing a
// thousand files asks the disk about the folders among them only.
class FileTypeIcons final
{
public:
    QIcon iconFor(const QString &path);
    // The icon of a type, by its MIME name.
    QIcon iconForType(const QString &mimeName);

private:
    QMimeDatabase m_mimeTypes;
    QHash<QString, QIcon> m_icons;
};
