#include "platform/AtomicFile.h"

#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

Q_LOGGING_CATEGORY(lcAtomicFile, "brimble.platform.file")

namespace {

constexpr QLatin1String temporaryInfix(".tmp-");

void syncFolderOf(const QByteArray &path)
{
    const QByteArray folder = QFile::encodeName(QFileInfo(QFile::decodeName(path)).absolutePath());
    if (const int dirFd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

// Whether process pid has path open. When its open files cannot be listed
// (another user's process), it is taken to have.
bool holdsOpen(qint64 pid, const QString &path)
{
    const QByteArray fdFolder = "/proc/" + QByteArray::number(pid) + "/fd";
    DIR *folder = ::opendir(fdFolder.constData());
    if (!folder)
        return errno != ENOENT;
    const QByteArray wanted = QFile::encodeName(path);
    bool found = false;
    while (const dirent *entry = ::readdir(folder)) {
        char target[PATH_MAX];
        const QByteArray link = fdFolder + '/' + entry->d_name;
        const ssize_t length = ::readlink(link.constData(), target, sizeof target);
        if (length > 0 && QByteArrayView(target, length) == wanted) {
            found = true;
            break;
        }
    }
    ::closedir(folder);
    return found;
}

} // namespace

namespace AtomicFile {

QString temporaryPathFor(const QString &target, qint64 pid)
{
    return target + temporaryInfix + QString::number(pid);
}

Replacement::Replacement(QByteArray target, QByteArray temporary, FileVersion version)
    : m_target(std::move(target))
    , m_temporary(std::move(temporary))
    , m_version(version)
{
}

std::unique_ptr<Replacement> Replacement::prepare(const QString &target, const QByteArray &bytes)
{
    const QByteArray temporary = QFile::encodeName(temporaryPathFor(target, getpid()));
    const auto fail = [&](const char *step) {
        qCWarning(lcAtomicFile, "%s %s: %s", step, temporary.constData(), std::strerror(errno));
        return nullptr;
    };

    const int fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return fail("Cannot create");
    qsizetype written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + written, size_t(bytes.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            fail("Cannot write");
            ::close(fd);
            ::unlink(temporary.constData());
            return nullptr;
        }
        written += n;
    }
    struct stat status
    {
    };
    if (::fsync(fd) != 0 || ::fstat(fd, &status) != 0 || ::close(fd) != 0) {
        fail("Cannot flush");
        ::unlink(temporary.constData());
        return nullptr;
    }
    return std::unique_ptr<Replacement>(
        new Replacement(QFile::encodeName(target), temporary, FileVersion::ofStatus(status).withContent(bytes)));
}

Replacement::~Replacement()
{
    if (!m_committed)
        ::unlink(m_temporary.constData());
}

bool Replacement::commit()
{
    if (::rename(m_temporary.constData(), m_target.constData()) != 0) {
        qCWarning(lcAtomicFile, "Cannot rename %s: %s", m_temporary.constData(), std::strerror(errno));
        return false;
    }
    m_committed = true;
    // Make the rename itself durable.
    syncFolderOf(m_target);
    return true;
}

bool write(const QString &path, const QByteArray &bytes)
{
    const std::unique_ptr<Replacement> replacement = Replacement::prepare(Paths::resolvedFile(path), bytes);
    return replacement && replacement->commit();
}

int removeLeftovers(const QString &target)
{
    const QFileInfo info(target);
    const QString prefix = info.fileName() + temporaryInfix;
    int removed = 0;
    const QStringList names =
        QDir(info.absolutePath()).entryList({prefix + QLatin1Char('*')}, QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        bool isNumber = false;
        const qint64 pid = name.mid(prefix.size()).toLongLong(&isNumber);
        if (!isNumber || pid <= 0 || pid == getpid() || name.mid(prefix.size()).startsWith(QLatin1Char('+')))
            continue;
        const QString path = info.absolutePath() + QLatin1Char('/') + name;
        struct stat status
        {
        };
        if (::lstat(QFile::encodeName(path).constData(), &status) != 0 || !S_ISREG(status.st_mode)
            || status.st_uid != ::geteuid())
            continue;
        const bool processGone = ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
        if (!processGone && holdsOpen(pid, path))
            continue;
        if (::unlink(QFile::encodeName(path).constData()) == 0) {
            qCInfo(lcAtomicFile) << "Removed" << path << "left by a write that did not finish";
            ++removed;
        }
    }
    return removed;
}

} // namespace AtomicFile
