#include "platform/PlistPreferencesStore.h"

#include "platform/PlistCodec.h"
#include "platform/PreferencesWriter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcPreferences, "brimble.platform.preferences")

namespace {

std::array<qint64, 5> identityOf(const struct stat &info)
{
    return {qint64(info.st_dev), qint64(info.st_ino), qint64(info.st_size), qint64(info.st_mtim.tv_sec),
            qint64(info.st_mtim.tv_nsec)};
}

std::array<qint64, 5> identityOf(const QString &filePath)
{
    struct stat info {};
    if (::stat(QFile::encodeName(filePath).constData(), &info) != 0)
        return {};
    return identityOf(info);
}

} // namespace

PlistPreferencesStore::FileContents PlistPreferencesStore::readFile(const QString &filePath)
{
    FileContents contents;
    const QFileInfo info(filePath);
    if (!info.exists() && !info.isSymLink())
        return contents;
    contents.exists = true;
    contents.identity = identityOf(filePath);
    QFile file(filePath);
    if (!file.open(QIODevice::ReadOnly)) {
        contents.readError = file.errorString();
        return contents;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        contents.readError = file.errorString();
        return contents;
    }
    contents.empty = bytes.isEmpty();
    contents.root = PlistCodec::parseDeferringLists(bytes);
    return contents;
}

std::optional<PlistPreferencesStore::UnparsedFile> PlistPreferencesStore::readRegularFile(const QString &filePath)
{
    // Not blocking: opening a FIFO would otherwise wait for a writer.
    const int descriptor = ::open(QFile::encodeName(filePath).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (descriptor < 0)
        return std::nullopt;
    std::optional<UnparsedFile> file;
    struct stat info {};
    if (::fstat(descriptor, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= readAheadLimitBytes) {
        file = UnparsedFile{QByteArray(qsizetype(info.st_size), Qt::Uninitialized), identityOf(info)};
        qsizetype done = 0;
        while (done < file->bytes.size()) {
            const ssize_t count = ::read(descriptor, file->bytes.data() + done, size_t(file->bytes.size() - done));
            if (count < 0 && errno == EINTR)
                continue;
            if (count <= 0)
                break;
            done += count;
        }
        // Cut short while it was read: the store reads the new version.
        if (done != file->bytes.size())
            file.reset();
    }
    ::close(descriptor);
    return file;
}

PlistPreferencesStore::FileContents PlistPreferencesStore::parse(const UnparsedFile &file)
{
    FileContents contents;
    contents.exists = true;
    contents.identity = file.identity;
    contents.empty = file.bytes.isEmpty();
    contents.root = PlistCodec::parseDeferringLists(file.bytes);
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
    flush();
    m_writer.reset(); // joins the writer before the rest goes
}

void PlistPreferencesStore::load(std::chrono::milliseconds firstRetryDelay, std::optional<FileContents> readAhead)
{
    const QFileInfo info(m_filePath);
    QDir().mkpath(info.absolutePath());
    QFile::setPermissions(info.absolutePath(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

    // Another process may have written the file since it was read ahead.
    const FileContents contents = readAhead && readAhead->identity == identityOf(m_filePath)
        ? std::move(*readAhead)
        : readFile(m_filePath);
    if (contents.exists) {
        if (!contents.readError.isEmpty()) {
            m_loadProblem = LoadProblem::unreadable;
            m_readError = contents.readError;
            qCWarning(lcPreferences) << "Cannot read the preferences" << m_filePath << m_readError
                                     << "; the file is left alone and changes will not be saved";
            return;
        }
        if (contents.root && StoredValue::isDictionary(*contents.root)) {
            m_values = contents.root->toMap();
        } else if (!contents.empty) {
            const QString aside = m_filePath + QStringLiteral(".corrupt-")
                + QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss-zzz"));
            if (::rename(QFile::encodeName(m_filePath).constData(), QFile::encodeName(aside).constData()) == 0) {
                m_loadProblem = LoadProblem::setAside;
                m_setAsideFilePath = aside;
                qCWarning(lcPreferences) << "Damaged preferences moved aside to" << aside;
            } else {
                m_loadProblem = LoadProblem::damagedKept;
                m_readError = QString::fromLocal8Bit(std::strerror(errno));
                qCWarning(lcPreferences) << "Damaged preferences" << m_filePath << "could not be moved aside:"
                                         << m_readError << "; changes will not be saved";
                return;
            }
        }
    }
    m_writer = std::make_unique<PreferencesWriter>(
        m_filePath,
        [this] { QMetaObject::invokeMethod(&m_threadContext, [this] { reportSaveFailure(); }, Qt::QueuedConnection); },
        firstRetryDelay);
}

void PlistPreferencesStore::reportSaveFailure()
{
    if (m_saveFailureReported || !m_saveFailureHandler)
        return;
    m_saveFailureReported = true;
    m_saveFailureHandler();
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
    if (moved)
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
    m_values.insert(key, value);
    scheduleWrite();
}

void PlistPreferencesStore::removeObjectForKey(const QString &key)
{
    if (m_values.remove(key) > 0)
        scheduleWrite();
}

void PlistPreferencesStore::applyChanges(const QVariantMap &values, const QStringList &removedKeys)
{
    applyChangesTo(m_values, values, removedKeys);
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
    return m_writer->flush();
}

void PlistPreferencesStore::holdWritesFor(std::chrono::milliseconds duration)
{
    if (m_writer)
        m_writer->holdWritesFor(duration);
}

void PlistPreferencesStore::scheduleWrite()
{
    if (m_writer)
        m_writer->schedule(m_values);
    else
        m_changedWithoutWriter = true;
}
