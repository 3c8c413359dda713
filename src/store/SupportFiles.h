#pragma once

#include "store/Item.h"

#include <QString>

#include <functional>
#include <optional>

class FavoritesStore;

// The folder of files that belong to items: note bodies (".txt") and
// bookmark icons (".png"), each named by a random unsigned 32-bit number.
class SupportFiles final
{
public:
    using RandomSource = std::function<quint32()>;

    // The largest note or icon file read: a note typed into a box, or an
    // icon, is far smaller.
    static constexpr qint64 largestFileBytes = 16 * 1024 * 1024;

    // randomNumber names new files; by default the process's random generator.
    SupportFiles(const QString &folder, const FavoritesStore &favorites, RandomSource randomNumber = {});

    QString folder() const { return m_folder; }

    // A path in the folder, named by a random number and suffix (".txt",
    // ".png"), that no file and no stored item uses yet.
    QString newFilePath(const QString &suffix) const;

    // Writes a note's text as UTF-8 to a new file; the path, or nothing when
    // the folder cannot be written.
    std::optional<QString> writeNote(const QString &text) const;

    // A copy of the file at path under a new name with the same suffix; the
    // new path, or nothing when the file cannot be read or written.
    std::optional<QString> copyFile(const QString &path) const;

    // Deletes the item's icon and, for a note, its body, or moves them to
    // the removed-files folder while there is one (so that an undo can bring
    // them back). Only files directly inside the folder are ever deleted,
    // whatever the record says; failures are ignored.
    void removeFilesOf(const Item &item) const;

    // Where removed files wait for an undo during the session; empty: they
    // are deleted at once.
    void setRemovedFilesFolder(const QString &folder) { m_removedFolder = folder; }
    // Moves the item's files back from the removed-files folder: to where
    // they were, else (that name was taken meanwhile) to new names. The item
    // as it is to be stored, naming where its files are now.
    Item restoreFilesOf(Item item) const;

    // Whether path names a file directly inside the folder.
    bool contains(const QString &path) const;

    // Where the support file stored as path is on this computer: path when
    // something is there, else the file of the same name in the folder when
    // there is one (favourites synced from a computer whose data folder is
    // elsewhere), else path.
    QString localPath(const QString &path) const;
    // item with its note and icon paths as localPath() finds them: for
    // reading the files, never for storing.
    Item withLocalPaths(const Item &item) const;
    // Whether the file or folder a file item names, or a note's file, is
    // gone from this computer (a link to nothing counts as gone). Bookmarks
    // and colours name no file.
    bool isFileMissing(const Item &item) const;

private:
    bool isReferenced(const QString &path) const;

    QString m_folder;
    const FavoritesStore &m_favorites;
    RandomSource m_randomNumber;
    QString m_removedFolder;
};
