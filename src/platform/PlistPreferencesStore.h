#pragma once

#include "platform/FileVersion.h"
#include "platform/PreferencesMerge.h"
#include "platform/PreferencesStore.h"
#include "platform/RegularFile.h"
#include "platform/StoreFileState.h"

#include <QHash>
#include <QObject>
#include <QString>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

class PreferencesWriter;
class StoreWatcher;

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
// that fails is tried again until it succeeds. A path that is a symbolic
// link is written through to the file it leads to, and stays a link.
//
// Other programs write the file too (sync tools, another computer's Brimble
// through a synced folder). The store never writes over a version it has not
// read: before each write it compares the file with the version it last read
// or wrote, and merges another program's changes first (mergeFunction(): base,
// what it last read or wrote; ours, memory; theirs, the file). Once
// watchForOutsideChanges() was called it also merges them as they happen,
// and the conflict copies sync tools leave beside the file.
//
// A file that does not parse is moved aside as
// "preferences.plist.corrupt-<time>" and the store starts empty. A damaged
// file that cannot be moved aside, and a file that cannot be read at all
// (also anything but a regular file, or one over largestStoreFile),
// are left as they are and never written: changes then live in memory only.
class PlistPreferencesStore final : public PreferencesStore
{
public:
    enum class LoadProblem {
        none,
        setAside,    // damaged, moved to setAsideFilePath()
        damagedKept, // damaged, and could not be moved aside
        unreadable,  // exists but could not be read (see readRefusal())
    };

    // What reading the file found, taken before the store is made.
    struct FileContents
    {
        bool exists = false;
        std::optional<QVariant> root; // the parsed value, or none when damaged
        bool empty = true;
        RegularFile::Refusal refusal = RegularFile::Refusal::missing;
        QString readError; // what the system said, for Refusal::unreadable
        // What tells this version of the file from a later one.
        FileVersion version;
    };
    // Reads and parses the file; touches nothing. Safe on any thread.
    static FileContents readFile(const QString &filePath);
    // The second half of readFile(): what RegularFile::read() gave, parsed.
    // Start-up reads on another thread before the application object exists
    // and parses once it does, as a damaged file is logged.
    static FileContents contentsOf(const RegularFile::Contents &read);

    // What another program did to the file while the store held it.
    struct OutsideChange
    {
        enum class Kind {
            merged,             // its changes are in the store
            conflictCopyMerged, // a conflict copy was merged and moved to path
            damagedSetAside,    // it became damaged: kept as path, the store's own version saved again
            unreadable,         // it became something that cannot be read: changes stay in memory
        };
        Kind kind = Kind::merged;
        // Records changed differently here and there: both versions kept.
        int keptTwice = 0;
        QString path;
    };

    // Tries given to a file that does not parse (a sync tool may still be
    // writing it) before it counts as damaged, and the pause between them.
    static constexpr int unparsedTries = 6;
    static constexpr std::chrono::milliseconds unparsedRetryDelay{250};

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
    quint64 changesMade() const override { return m_changesMade; }
    // Changes made in the next duration reach the file together at its end
    // (or at flush()): launch keeps the processor for the display.
    void holdWritesFor(std::chrono::milliseconds duration);

    // How two versions of the map merge; by default every key as a setting
    // (PreferencesMerge::byKey).
    void setMergeFunction(PreferencesMerge::Function merge) { m_merge = std::move(merge); }
    // Watches the file from now on (see StoreWatcher) and merges what other
    // programs change on this thread's event loop, conflict copies included.
    void watchForOutsideChanges();
    // Merges what other programs changed in the file, and the conflict
    // copies beside it, now; true when the store's contents changed. A file
    // that does not parse is read again a few times first.
    bool mergeOutsideChanges();
    // Called on this object's thread after the store took in an outside change.
    void setOutsideChangeHandler(std::function<void(const OutsideChange &)> handler)
    {
        m_outsideChangeHandler = std::move(handler);
    }

    QString filePath() const { return m_filePath; }
    // The file the path leads to, links followed.
    QString targetPath() const;
    LoadProblem loadProblem() const { return m_loadProblem; }
    // Where a damaged file found at start was moved, or empty.
    QString setAsideFilePath() const { return m_setAsideFilePath; }
    // Why the file could not be read (LoadProblem::unreadable).
    RegularFile::Refusal readRefusal() const { return m_readRefusal; }
    // Why the file could not be read or moved aside, as the system says it.
    QString readError() const { return m_readError; }
    // False when the file at start was left alone: nothing is saved.
    bool isWritable() const { return m_writer != nullptr; }

    // Called on this object's thread the first time a write fails.
    void setSaveFailureHandler(std::function<void()> handler) { m_saveFailureHandler = std::move(handler); }

private:
    enum class Waiting { later, now };
    void load(std::chrono::milliseconds firstRetryDelay, std::optional<FileContents> readAhead);
    void scheduleWrite();
    void reportSaveFailure();
    void report(const OutsideChange &change);
    bool mergeFile(Waiting waiting);
    bool mergeConflictCopies();
    // Takes a version of the file that needs no merge (gone, or set aside).
    void adoptDiskVersion(const FileVersion &version);
    void writeAgainAfterChangeOnDisk();

    QString m_filePath;
    QString m_setAsideFilePath;
    QString m_readError;
    LoadProblem m_loadProblem = LoadProblem::none;
    RegularFile::Refusal m_readRefusal = RegularFile::Refusal::none;
    // Long lists of records in a binary file stay as read (checked, not
    // built) until first asked for; the writer builds them on its thread.
    mutable QVariantMap m_values;
    quint64 m_changesMade = 0;
    bool m_changedWithoutWriter = false;
    bool m_saveFailureReported = false;
    // The file became something that cannot be read: nothing is written
    // until it can be read again.
    bool m_fileUnreadable = false;
    // A file that did not parse is read again soon.
    bool m_waitingForWholeFile = false;
    int m_unparsedTries = 0;
    mutable StoreFileState m_state;
    quint64 m_generation = 0;
    PreferencesMerge::Function m_merge = PreferencesMerge::byKey;
    // Conflict copies already taken in that could not be moved, or that do
    // not parse, by the version seen.
    QHash<QString, FileVersion> m_copiesSeen;
    std::function<void()> m_saveFailureHandler;
    std::function<void(const OutsideChange &)> m_outsideChangeHandler;
    QObject m_threadContext; // receives the writer thread's report
    std::unique_ptr<PreferencesWriter> m_writer;
    std::unique_ptr<StoreWatcher> m_watcher;
};
