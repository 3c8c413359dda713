#include "manager/FileTypeIcons.h"

#include <QApplication>
#include <QFileInfo>
#include <QStyle>

QIcon FileTypeIcons::iconForType(const QString &mimeName)
{
    auto found = m_icons.constFind(mimeName);
    if (found != m_icons.cend())
        return *found;
    const QMimeType type = m_mimeTypes.mimeTypeForName(mimeName);
    const bool folder = mimeName == QLatin1String("inode/directory");
    const QIcon fallback = QApplication::style()->standardIcon(folder ? QStyle::SP_DirIcon : QStyle::SP_FileIcon);
    QIcon icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName(), fallback));
    m_icons.insert(mimeName, icon);
    return icon;
}

QIcon FileTypeIcons::iconFor(const QString &path)
{
    if (QFileInfo(path).isDir())
        return iconForType(QStringLiteral("inode/directory"));
    return iconForType(m_mimeTypes.mimeTypeForFile(path, QMimeDatabase::MatchExtension).name());
}
