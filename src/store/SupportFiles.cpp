#include "store/SupportFiles.h"

#include "platform/AtomicFile.h"
#include "platform/PreferencesStore.h"
#include "platform/RegularFile.h"
#include "store/FavoritesStore.h"
#include "store/StoreKeys.h"
#include "store/StoredRecords.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRandomGenerator>

Q_LOGGING_CATEGORY(lcSupportFiles, "brimble.store.files")

SupportFiles::SupportFiles(const QString &folder, const FavoritesStore &favorites, RandomSource randomNumber)
    : m_folder(QDir::cleanPath(folder))
    , m_favorites(favorites)
    , m_randomNumber(randomNumber ? std::move(randomNumber) : [] { return QRandomGenerator::global()->generate(); })
{
}

QString SupportFiles::newFilePath(const QString &suffix) const
{
    QDir().mkpath(m_folder);
    for (;;) {
        const QString path = m_folder + QLatin1Char('/') + QString::number(m_randomNumber()) + suffix;
        if (!QFileInfo::exists(path) && !isReferenced(path))
            return path;
    }
}

bool SupportFiles::isReferenced(const QString &path) const
{
    // By name: an item synced from another computer names the file by its
    // path there.
    const QString name = QFileInfo(path).fileName();
    for (const QString &title : m_favorites.groupTitles()) {
        for (const Item &item : m_favorites.items(title)) {
            // Whatever the item's kind: a path is a path.
            const QVariantMap &record = StoredRecords::record(item);
            for (const QLatin1String key : {RecordKeys::imgpath, RecordKeys::url}) {
                const QString stored = StoredValue::stringIn(record, key).value_or(QString());
                if (stored.endsWith(name) && QFileInfo(stored).fileName() == name)
                    return true;
            }
        }
    }
    return false;
}

QString SupportFiles::localPath(const QString &path) const
{
    if (path.isEmpty() || QFileInfo::exists(path) || QFileInfo(path).isSymLink())
        return path;
    const QString name = QFileInfo(path).fileName();
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return path;
    const QString here = m_folder + QLatin1Char('/') + name;
    return QFileInfo(here).isFile() ? here : path;
}

Item SupportFiles::withLocalPaths(const Item &item) const
{
    Item local = item;
    if (const QString icon = item.iconPath(); !icon.isEmpty())
        local.setIconPath(localPath(icon));
    if (const QString note = item.target(); item.kind() == ItemKind::text && !note.isEmpty())
        local.setTarget(localPath(note));
    return local;
}

std::optional<QString> SupportFiles::writeNote(const QString &text) const
{
    const QString path = newFilePath(QStringLiteral(".txt"));
    if (!AtomicFile::write(path, text.toUtf8()))
        return std::nullopt;
    return path;
}

std::optional<QString> SupportFiles::copyFile(const QString &path) const
{
    const RegularFile::Contents contents = RegularFile::read(localPath(path), largestFileBytes);
    if (!contents.ok())
        return std::nullopt;
    const QString suffix = QFileInfo(path).suffix();
    const QString copy = newFilePath(suffix.isEmpty() ? QString() : QLatin1Char('.') + suffix);
    if (!AtomicFile::write(copy, contents.bytes)) {
        qCWarning(lcSupportFiles) << "Cannot copy" << path << "to" << copy;
        return std::nullopt;
    }
    return copy;
}

bool SupportFiles::contains(const QString &path) const
{
    if (path.isEmpty())
        return false;
    const QFileInfo file(path);
    const QString canonicalFolder = QFileInfo(m_folder).canonicalFilePath();
    // A symbolic link is judged by where it is, not where it points: removing
    // it never touches its target.
    const QString parent = QFileInfo(file.absolutePath()).canonicalFilePath();
    return !canonicalFolder.isEmpty() && parent == canonicalFolder && file.fileName() != QLatin1String("..")
           && file.fileName() != QLatin1String(".") && (file.isFile() || file.isSymLink()) && !file.isDir();
}

void SupportFiles::removeFilesOf(const Item &item) const
{
    const Item local = withLocalPaths(item);
    QStringList paths{local.iconPath()};
    if (local.kind() == ItemKind::text)
        paths.append(local.target());
    for (const QString &path : paths) {
        // An icon that never arrived has no file to delete.
        if (path.isEmpty() || (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink()))
            continue;
        if (!contains(path)) {
            qCWarning(lcSupportFiles) << "Not deleting" << path << "outside" << m_folder;
            continue;
        }
        if (!m_removedFolder.isEmpty() && QDir().mkpath(m_removedFolder)) {
            const QString aside = m_removedFolder + QLatin1Char('/') + QFileInfo(path).fileName();
            QFile::remove(aside);
            if (QFile::rename(path, aside))
                continue;
        }
        QFile::remove(path);
    }
}

bool SupportFiles::isFileMissing(const Item &item) const
{
    const ItemKind kind = item.kind();
    if ((kind != ItemKind::normalFile && kind != ItemKind::text) || item.target().isEmpty())
        return false;
    return !QFileInfo::exists(kind == ItemKind::text ? localPath(item.target()) : item.target());
}

Item SupportFiles::restoreFilesOf(Item item) const
{
    if (m_removedFolder.isEmpty())
        return item;
    // The path to store: the same when its name is free, else a new one.
    const auto restored = [this](const QString &stored) -> QString {
        const QString name = QFileInfo(stored).fileName();
        const QString aside = m_removedFolder + QLatin1Char('/') + name;
        if (stored.isEmpty() || !QFileInfo(aside).isFile())
            return stored;
        const QString home = m_folder + QLatin1Char('/') + name;
        const bool taken = QFileInfo::exists(home) || QFileInfo(home).isSymLink();
        const QString target = taken ? newFilePath(QLatin1Char('.') + QFileInfo(name).suffix()) : home;
        if (!QFile::rename(aside, target)) {
            qCWarning(lcSupportFiles) << "Cannot restore" << aside << "to" << target;
            return stored;
        }
        return taken ? target : stored;
    };
    // Only a path that changed is set: the record otherwise stays as it was.
    if (const QString icon = restored(item.iconPath()); icon != item.iconPath())
        item.setIconPath(icon);
    if (item.kind() == ItemKind::text) {
        if (const QString note = restored(item.target()); note != item.target())
            item.setTarget(note);
    }
    return item;
}
