#include "platform/ConflictCopies.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdio>

namespace ConflictCopies {

bool isConflictCopyName(const QString &name, const QString &fileName)
{
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    const QString stem = dot > 0 ? fileName.left(dot) : fileName;
    const QString suffix = dot > 0 ? fileName.mid(dot) : QString();
    if (name == fileName || !name.endsWith(suffix))
        return false;
    const QString middle = name.mid(stem.size(), name.size() - stem.size() - suffix.size());
    if (!name.startsWith(stem) || middle.isEmpty())
        return false;
    return middle.startsWith(QLatin1String(".sync-conflict-")) || middle.startsWith(QLatin1String("_conflict-"))
           || (middle.startsWith(QLatin1String(" (")) && middle.endsWith(QLatin1Char(')'))
               && middle.contains(QLatin1String("conflicted copy")));
}

QStringList find(const QString &file)
{
    const QFileInfo info(file);
    QStringList copies;
    const QStringList names = QDir(info.absolutePath()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    for (const QString &name : names) {
        if (isConflictCopyName(name, info.fileName()))
            copies.append(info.absolutePath() + QLatin1Char('/') + name);
    }
    return copies;
}

QString moveAside(const QString &copy)
{
    const QFileInfo info(copy);
    const QString folder = info.absolutePath() + QStringLiteral("/conflicts");
    if (!Paths::makePrivateFolder(folder))
        return {};
    QString target = folder + QLatin1Char('/') + info.fileName();
    for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n)
        target = folder + QLatin1Char('/') + info.completeBaseName() + QLatin1Char('-') + QString::number(n)
                 + (info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix());
    if (std::rename(QFile::encodeName(copy).constData(), QFile::encodeName(target).constData()) != 0)
        return {};
    return target;
}

} // namespace ConflictCopies
