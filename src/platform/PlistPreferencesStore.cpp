#include "platform/PlistPreferencesStore.h"

#include "platform/AtomicFile.h"
#include "platform/ConflictCopies.h"
#include "platform/Paths.h"
#include "platform/PlatformLog.h"
#include "platform/PlistCodec.h"
#include "platform/PreferencesWriter.h"
#include "platform/StoreWatcher.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// A damaged file this recent may be one a sync tool is still writing.
constexpr qint64 recentlyWrittenSeconds = 10;
// Rounds of merging and writing again before flush() gives up on a file
// that keeps changing.
constexpr int flushRounds = 5;

std::optional<QVariantMap> mapOf(const QByteArray &bytes)
{
    const std::optional<QVariant> root = PlistCodec::parse(bytes);
    if (!root || !StoredValue::isDictionary(*root))
        return std::nullopt;
    return root->toMap();
}

bool isRecent(const FileVersion &version)
{
    return version.exists && QDateTime::currentSecsSinceEpoch() - version.modifiedSeconds < recentlyWrittenSeconds;
}

} // namespace

PlistPreferencesStore::FileContents PlistPreferencesStore::readFile(const QString &filePath)
{
    return contentsOf(RegularFile::read(filePath, largestStoreFile));
}

PlistPreferencesStore::FileContents PlistPreferencesStore::contentsOf(const RegularFile::Contents &read)
{
    FileContents contents;
    contents.refusal = read.refusal;
    contents.version = read.version;
    if (read.refusal == RegularFile::Refusal::missing)
        return contents;
    contents.exists = true;
    if (!read.ok()) {
        if (read.error != 0)
            contents.readError = QString::fromLocal8Bit(std::strerror(read.error));
        return contents;
    }
    contents.empty = read.bytes.isEmpty();
    contents.root = PlistCodec::parseDeferringLists(read.bytes);
    return contents;
}

PlistPreferencesStore::PlistPreferencesStore(const QString &filePath, std::chrono::milliseconds firstRetryDelay,
                                             std::optional<FileContents> readAhead)
    : m_filePath(filePath)
{
    load(firstRetryDelay, std::move(readAhead));
}

PlistPreferencesStore::~PlistPreferencesStore()
{
    m_watcher.reset();
    flush();
    m_writer.reset(); // joins the writer before the rest goes
}

void PlistPreferencesStore::load(std::chrono::milliseconds firstRetryDelay, std::optional<FileContents> readAhead)
{
    // Only folders made here are made private: one the user made keeps its mode.
    Paths::makePrivateFolder(QFileInfo(m_filePath).absolutePath());
    m_state.target = Paths::resolvedFile(m_filePath);
    Paths::makePrivateFolder(QFileInfo(m_state.target).absolutePath());

    // Another process may have written the file since it was read ahead.
    const FileVersion now = FileVersion::ofPath(m_state.target);
    FileContents contents = readAhead && readAhead->version.sameIdentity(now) && !readAhead->version.isRacy()
                                ? std::move(*readAhead)
                                : readFile(m_state.target);
    // A file that does not parse may still be on its way from a sync tool.
    for (int tries = 1; contents.exists && !contents.empty && contents.refusal == RegularFile::Refusal::none
                        && !(contents.root && StoredValue::isDictionary(*contents.root)) && isRecent(contents.version)
                        && tries < unparsedTries;
         ++tries) {
        QThread::msleep(unsigned(unparsedRetryDelay.count()));
        contents = readFile(m_state.target);
    }
    m_state.version = contents.version;
    if (contents.exists) {
        if (contents.refusal != RegularFile::Refusal::none) {
            m_loadProblem = LoadProblem::unreadable;
            m_readRefusal = contents.refusal;
            m_readError = contents.readError;
            qCWarning(lcPreferences) << "Cannot read the preferences" << m_filePath << int(m_readRefusal) << m_readError
                                     << "; the file is left alone and changes will not be saved";
            return;
        }
        if (contents.root && StoredValue::isDictionary(*contents.root)) {
            m_values = contents.root->toMap();
        } else if (!contents.empty) {
            const QString aside = m_state.target + QStringLiteral(".corrupt-")
                                  + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss-zzz"));
            if (std::rename(QFile::encodeName(m_state.target).constData(), QFile::encodeName(aside).constData()) == 0) {
                m_loadProblem = LoadProblem::setAside;
                m_setAsideFilePath = aside;
                m_state.version = FileVersion::ofPath(m_state.target);
                qCWarning(lcPreferences) << "Damaged preferences moved aside to" << aside;
            } else {
                m_loadProblem = LoadProblem::damagedKept;
                m_readError = QString::fromLocal8Bit(std::strerror(errno));
                qCWarning(lcPreferences) << "Damaged preferences" << m_filePath
                                         << "could not be moved aside:" << m_readError << "; changes will not be saved";
                return;
            }
        }
    }
    m_state.content = m_values;
    AtomicFile::removeLeftovers(m_state.target);
    m_writer = std::make_unique<PreferencesWriter>(
        m_state,
        [this] {
            QMetaObject::invokeMethod(
                &m_threadContext, [this] { reportSaveFailure(); }, Qt::QueuedConnection);
        },
        [this] {
            QMetaObject::invokeMethod(
                &m_threadContext, [this] { writeAgainAfterChangeOnDisk(); }, Qt::QueuedConnection);
        },
        firstRetryDelay);
}

QString PlistPreferencesStore::targetPath() const
{
    std::lock_guard lock(m_state.mutex);
    return m_state.target;
}

void PlistPreferencesStore::reportSaveFailure()
{
    if (m_saveFailureReported || !m_saveFailureHandler)
        return;
    m_saveFailureReported = true;
    m_saveFailureHandler();
}

void PlistPreferencesStore::report(const OutsideChange &change)
{
    if (m_outsideChangeHandler)
        m_outsideChangeHandler(change);
}

QVariant PlistPreferencesStore::objectForKey(const QString &key) const
{
    const auto found = m_values.constFind(key);
    if (found == m_values.cend())
        return {};
    if (!PlistCodec::isDeferred(*found))
        return *found;
    QVariant built = PlistCodec::resolved(*found);
    if (built.isValid())
        m_values.insert(key, built);
    return built;
}

void PlistPreferencesStore::moveObjects(const QList<std::pair<QString, QString>> &moves)
{
    bool moved = false;
    for (const auto &[from, to] : moves) {
        const auto found = m_values.constFind(from);
        if (found == m_values.cend())
            continue;
        const QVariant value = *found; // a list still unbuilt moves as it is
        m_values.remove(from);
        m_values.insert(to, value);
        moved = true;
    }
    if (!moved)
        return;
    ++m_changesMade;
    scheduleWrite();
}

bool PlistPreferencesStore::holdsListOfDictionaries(const QString &key) const
{
    // Only lists of records are left unbuilt.
    if (PlistCodec::isDeferred(m_values.value(key)))
        return true;
    return PreferencesStore::holdsListOfDictionaries(key);
}

void PlistPreferencesStore::setObject(const QVariant &value, const QString &key)
{
    if (!value.isValid()) {
        removeObjectForKey(key);
        return;
    }
    // Storing what is stored already changes nothing, on disk neither.
    const auto found = m_values.constFind(key);
    if (found != m_values.cend() && *found == value)
        return;
    m_values.insert(key, value);
    ++m_changesMade;
    scheduleWrite();
}

void PlistPreferencesStore::removeObjectForKey(const QString &key)
{
    if (m_values.remove(key) == 0)
        return;
    ++m_changesMade;
    scheduleWrite();
}

void PlistPreferencesStore::applyChanges(const QVariantMap &values, const QStringList &removedKeys)
{
    const QVariantMap before = m_values;
    applyChangesTo(m_values, values, removedKeys);
    if (m_values == before)
        return;
    ++m_changesMade;
    scheduleWrite();
}

QStringList PlistPreferencesStore::allKeys() const
{
    return m_values.keys();
}

bool PlistPreferencesStore::flush()
{
    if (!m_writer)
        return !m_changedWithoutWriter;
    for (int round = 0; round < flushRounds; ++round) {
        switch (m_writer->flush()) {
        case PreferencesWriter::Flushed::saved:
            return !m_changedWithoutWriter;
        case PreferencesWriter::Flushed::failed:
            return false;
        case PreferencesWriter::Flushed::changedOnDisk:
            mergeFile(Waiting::now);
            if (m_fileUnreadable)
                return false;
            scheduleWrite();
            break;
        }
    }
    return false;
}

void PlistPreferencesStore::holdWritesFor(std::chrono::milliseconds duration)
{
    if (m_writer)
        m_writer->holdWritesFor(duration);
}

void PlistPreferencesStore::scheduleWrite()
{
    if (m_writer && !m_fileUnreadable) {
        m_writer->schedule(m_values, m_generation); // holds every change so far
        m_changedWithoutWriter = false;
    } else {
        m_changedWithoutWriter = true;
    }
}

void PlistPreferencesStore::writeAgainAfterChangeOnDisk()
{
    mergeFile(Waiting::later);
    // While the file is still being written, the write waits for the merge.
    if (!m_waitingForWholeFile)
        scheduleWrite();
}

void PlistPreferencesStore::watchForOutsideChanges()
{
    if (!m_writer || m_watcher)
        return;
    m_watcher = std::make_unique<StoreWatcher>(m_filePath, [this] {
        mergeFile(Waiting::later);
        mergeConflictCopies();
    });
    m_watcher->watch(targetPath());
    mergeConflictCopies();
}

bool PlistPreferencesStore::mergeOutsideChanges()
{
    const bool fromFile = mergeFile(Waiting::now);
    const bool fromCopies = mergeConflictCopies();
    return fromFile || fromCopies;
}

void PlistPreferencesStore::adoptDiskVersion(const FileVersion &version)
{
    {
        std::lock_guard lock(m_state.mutex);
        m_state.version = version;
        m_state.content = {}; // what such a version holds
        m_generation = ++m_state.generation;
    }
    scheduleWrite();
}

bool PlistPreferencesStore::mergeFile(Waiting waiting)
{
    if (!m_writer)
        return false;
    // A link may lead elsewhere now.
    const QString target = Paths::resolvedFile(m_filePath);
    m_waitingForWholeFile = false;
    {
        std::lock_guard lock(m_state.mutex);
        m_state.target = target;
        if (m_state.fileIsUnchanged()) {
            m_unparsedTries = 0;
            return false;
        }
    }
    if (m_watcher)
        m_watcher->watch(target);

    RegularFile::Contents contents = RegularFile::read(target, largestStoreFile);
    std::optional<QVariantMap> theirs;
    for (;;) {
        if (contents.refusal == RegularFile::Refusal::none)
            theirs = mapOf(contents.bytes);
        // Gone, empty or cut short: a sync tool may be writing it now.
        const bool incomplete = contents.refusal == RegularFile::Refusal::missing
                                || (contents.refusal == RegularFile::Refusal::none && !theirs);
        if (!incomplete || ++m_unparsedTries >= unparsedTries)
            break;
        if (waiting == Waiting::later) {
            m_waitingForWholeFile = true;
            if (m_watcher)
                m_watcher->checkAgainIn(int(unparsedRetryDelay.count()));
            else
                QTimer::singleShot(unparsedRetryDelay, &m_threadContext, [this] { writeAgainAfterChangeOnDisk(); });
            return false;
        }
        QThread::msleep(unsigned(unparsedRetryDelay.count()));
        contents = RegularFile::read(target, largestStoreFile);
    }
    m_unparsedTries = 0;

    switch (contents.refusal) {
    case RegularFile::Refusal::missing:
        // Deleted for good: the store's own version takes its place.
        m_fileUnreadable = false;
        adoptDiskVersion(contents.version);
        return false;
    case RegularFile::Refusal::unreadable:
    case RegularFile::Refusal::notRegularFile:
    case RegularFile::Refusal::tooLarge:
        if (!std::exchange(m_fileUnreadable, true)) {
            qCWarning(lcPreferences) << "The preferences" << target << "can no longer be read; changes stay in memory";
            report({OutsideChange::Kind::unreadable, 0, target});
        }
        return false;
    case RegularFile::Refusal::none:
        break;
    }
    m_fileUnreadable = false;
    if (!theirs) {
        const QString aside = target + QStringLiteral(".corrupt-")
                              + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss-zzz"));
        if (std::rename(QFile::encodeName(target).constData(), QFile::encodeName(aside).constData()) != 0) {
            m_fileUnreadable = true;
            report({OutsideChange::Kind::unreadable, 0, target});
            return false;
        }
        qCWarning(lcPreferences) << "The preferences were replaced by a damaged file, moved aside to" << aside;
        adoptDiskVersion(FileVersion::ofPath(target));
        report({OutsideChange::Kind::damagedSetAside, 0, aside});
        return false;
    }

    QVariantMap base;
    {
        std::lock_guard lock(m_state.mutex);
        base = m_state.content;
    }
    m_values = PlistCodec::resolved(m_values);
    const PreferencesMerge::Outcome outcome = m_merge(PlistCodec::resolved(base), m_values, *theirs);
    {
        std::lock_guard lock(m_state.mutex);
        m_state.version = contents.version;
        m_state.content = *theirs;
        m_generation = ++m_state.generation;
    }
    const bool changed = outcome.merged != m_values;
    m_values = outcome.merged;
    if (m_values != *theirs)
        scheduleWrite();
    if (changed || outcome.keptTwice > 0)
        report({OutsideChange::Kind::merged, outcome.keptTwice, target});
    return changed;
}

bool PlistPreferencesStore::mergeConflictCopies()
{
    if (!m_writer)
        return false;
    bool changed = false;
    for (const QString &copy : ConflictCopies::find(targetPath())) {
        const RegularFile::Contents contents = RegularFile::read(copy, largestStoreFile);
        const auto seen = m_copiesSeen.constFind(copy);
        if (contents.refusal != RegularFile::Refusal::none
            || (seen != m_copiesSeen.cend() && seen->sameIdentity(contents.version)))
            continue;
        m_copiesSeen.insert(copy, contents.version);
        const std::optional<QVariantMap> other = mapOf(contents.bytes);
        if (!other) {
            qCWarning(lcPreferences) << "Leaving the conflict copy" << copy << "alone: it does not parse";
            continue;
        }
        // Which of the two came first is unknown: what only one holds is kept.
        m_values = PlistCodec::resolved(m_values);
        const PreferencesMerge::Outcome outcome = m_merge(PreferencesMerge::commonPart(*other, m_values), *other,
                                                          m_values);
        changed = changed || outcome.merged != m_values;
        m_values = outcome.merged;
        scheduleWrite();
        const QString moved = ConflictCopies::moveAside(copy);
        if (!moved.isEmpty())
            m_copiesSeen.remove(copy);
        qCInfo(lcPreferences) << "Merged the conflict copy" << copy << "; moved to" << moved;
        report({OutsideChange::Kind::conflictCopyMerged, outcome.keptTwice, moved.isEmpty() ? copy : moved});
    }
    return changed;
}
