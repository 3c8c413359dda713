#pragma once

#include "platform/PreferencesStore.h"

#include <QString>

#include <memory>

class PreferencesWriter;

// The preferences store kept as an XML property list in one file.
//
// Reads are served from memory. Each change hands a snapshot of the whole map
// to a writer thread, which rewrites the file atomically (temporary file,
// fsync, rename; mode 0600), so the calling thread never waits on the disk.
// Snapshots that pile up while a write is running collapse into one.
//
// A file that does not parse is moved aside as
// "preferences.plist.corrupt-<time>" and the store starts empty; if it cannot
// be moved aside, the store never writes, so the old data is never replaced.
class PlistPreferencesStore final : public PreferencesStore
{
public:
    explicit PlistPreferencesStore(const QString &filePath);
    ~PlistPreferencesStore() override;

    QVariant objectForKey(const QString &key) const override;
    void setObject(const QVariant &value, const QString &key) override;
    void removeObjectForKey(const QString &key) override;
    QStringList allKeys() const override;
    void flush() override;

    QString filePath() const { return m_filePath; }
    // Where an unreadable file found at start was moved, or empty.
    QString setAsideFilePath() const { return m_setAsideFilePath; }
    // False when an unreadable file could not be moved aside: nothing is saved.
    bool isWritable() const { return m_writer != nullptr; }

private:
    void load();
    void scheduleWrite();

    QString m_filePath;
    QString m_setAsideFilePath;
    QVariantMap m_values;
    std::unique_ptr<PreferencesWriter> m_writer;
};
