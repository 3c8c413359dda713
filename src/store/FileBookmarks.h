#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

class PreferencesStore;

// The list "allBookmark" of files the user added, one entry per file, as
// the file's absolute path in UTF-8 bytes. Brimble is not sandboxed, so an
// entry always resolves to its path and access needs no further step.
class FileBookmarks final
{
public:
    explicit FileBookmarks(PreferencesStore &preferences);

    // Records path unless a byte-equal entry exists already.
    void storeFileBookmark(const QString &path);
    // Loads the stored list and prints each entry's path; run once at start.
    void restoreFileAccess();

    QList<QByteArray> entries() const { return m_entries; }

private:
    std::optional<QList<QByteArray>> storedEntries() const;

    PreferencesStore &m_preferences;
    QList<QByteArray> m_entries;
};
