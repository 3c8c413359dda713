#pragma once

#include "platform/PreferencesStore.h"

#include <QObject>
#include <QString>

#include <array>
#include <chrono>
#include <optional>
#include <functional>
#include <memory>

class PreferencesWriter;

// The preferences store kept as a property list in one file. Both the XML and
// the binary form are read; the binary form is written, as it reads about
// three times faster.
//
// Reads are served from memory; the long lists of records in a binary file
// are built the first time they are asked for, so that a large store costs
// little time and memory at launch. Each change hands a snapshot of the whole map
// to a writer thread, which rewrites the file atomically (temporary file,
// fsync, rename; mode 0600), so the calling thread never waits on the disk.
// Snapshots that pile up while a write is running collapse into one; a write
// that fails is tried again until it succeeds.
//
// A file that does not parse is moved aside as
// "preferences.plist.corrupt-<time>" and the store starts empty. A damaged
// file that cannot be moved aside, and a file that cannot be read at all, are
// left as they are and never written: changes then live in memory only.
class PlistPreferencesStore final : public PreferencesStore
{
public:
    enum class LoadProblem {
        none,
        setAside,       // damaged, moved to setAsideFilePath()
        damagedKept,    // damaged, and could not be moved aside
        unreadable,     // exists but could not be read (see readError())
    };

    // What reading the file found, taken before the store is made.
    struct FileContents
    {
        bool exists = false;
        std::optional<QVariant> root; // the parsed value, or none when damaged
        bool empty = true;
        QString readError; // set when the file exists but cannot be read
        // What tells this version of the file from a later one.
        std::array<qint64, 5> identity{};
    };
    // Reads and parses the file; touches nothing. Safe on any thread.
    static FileContents readFile(const QString &filePath);

    // The bytes of the file, read ahead of the store.
    struct UnparsedFile
    {
        QByteArray bytes;
        std::array<qint64, 5> identity{};
    };
    static constexpr qint64 readAheadLimitBytes = 256 * 1024 * 1024;
    // Reads the file with plain system calls alone, so that start-up can read
    // it on another thread while the application object is being made (Qt
    // takes the first thread that makes one of its objects for the main
    // thread). None unless the file is a regular one of at most
    // readAheadLimitBytes: the store then reads the file itself.
    static std::optional<UnparsedFile> readRegularFile(const QString &filePath);
    // Parses what readRegularFile() read. Safe on any thread once the
    // application object exists (a damaged file is logged).
    static FileContents parse(const UnparsedFile &file);

    // readAhead: the file as read earlier by readFile(), used when the file
    // has not changed since (so start-up can read it while other work runs).
    explicit PlistPreferencesStore(const QString &filePath,
                                   std::chrono::milliseconds firstRetryDelay = std::chrono::seconds(1),
                                   std::optional<FileContents> readAhead = std::nullopt);
    ~PlistPreferencesStore() override;

    QVariant objectForKey(const QString &key) const override;
    void setObject(const QVariant &value, const QString &key) override;
    void removeObjectForKey(const QString &key) override;
    void applyChanges(const QVariantMap &values, const QStringList &removedKeys) override;
    void moveObjects(const QList<std::pair<QString, QString>> &moves) override;
    bool holdsListOfDictionaries(const QString &key) const override;
    QStringList allKeys() const override;
    bool flush() override;
    // Changes made in the next duration reach the file together at its end
    // (or at flush()): launch keeps the processor for the display.
    void holdWritesFor(std::chrono::milliseconds duration);

    QString filePath() const { return m_filePath; }
    LoadProblem loadProblem() const { return m_loadProblem; }
    // Where a damaged file found at start was moved, or empty.
    QString setAsideFilePath() const { return m_setAsideFilePath; }
    // Why the file could not be read or moved aside, as the system says it.
    QString readError() const { return m_readError; }
    // False when the file at start was left alone: nothing is saved.
    bool isWritable() const { return m_writer != nullptr; }

    // Called on this object's thread the first time a write fails.
    void setSaveFailureHandler(std::function<void()> handler) { m_saveFailureHandler = std::move(handler); }

private:
    void load(std::chrono::milliseconds firstRetryDelay, std::optional<FileContents> readAhead);
    void scheduleWrite();
    void reportSaveFailure();

    QString m_filePath;
    QString m_setAsideFilePath;
    QString m_readError;
    LoadProblem m_loadProblem = LoadProblem::none;
    // Long lists of records in a binary file stay as read (checked, not
    // built) until first asked for; the writer builds them on its thread.
    mutable QVariantMap m_values;
    bool m_changedWithoutWriter = false;
    bool m_saveFailureReported = false;
    std::function<void()> m_saveFailureHandler;
    QObject m_threadContext; // receives the writer thread's report
    std::unique_ptr<PreferencesWriter> m_writer;
};
