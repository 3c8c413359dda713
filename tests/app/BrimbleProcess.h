#pragma once

#include "store/LocalizedText.h"
#include "support/TestFolders.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include <csignal>
#include <cstring>
#include <optional>

#include <grp.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

struct RunOptions
{
    QStringList arguments = {};
    QStringList environment = {};             // NAME=value settings besides the private folders
    std::optional<rlim_t> fileSizeLimit = {}; // files it writes may not grow beyond this many bytes
    std::optional<rlim_t> openFileLimit = {}; // descriptors it may hold at once
    QString program = QStringLiteral(BRIMBLE_EXECUTABLE);
    // Runs as the unprivileged user "nobody" when the tests run as root, the
    // home folder then given to nobody, so that modes bind it as they bind a user.
    bool unprivileged = false;
};

// The brimble executable, run in home with private XDG folders of its own.
class BrimbleProcess
{
public:
    explicit BrimbleProcess(const TestFolder &home, const RunOptions &options = RunOptions())
    {
        const QString runtime = home.filePath(u"runtime"_qs);
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        const bool asNobody = options.unprivileged && ::geteuid() == 0;
        if (asNobody)
            giveToNobody(home.path());
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const QString &setting :
             QStringList{u"HOME="_qs + home.path(), u"XDG_CONFIG_HOME="_qs + home.filePath(u"config"_qs),
                         u"XDG_DATA_HOME="_qs + home.filePath(u"data"_qs), u"XDG_RUNTIME_DIR="_qs + runtime,
                         u"QT_QPA_PLATFORM=offscreen"_qs, u"LANGUAGE=en_US"_qs}
                 + options.environment)
            environment.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
        process.setProcessEnvironment(environment);
        process.setWorkingDirectory(home.path());
        process.setChildProcessModifier([size = options.fileSizeLimit, files = options.openFileLimit, asNobody] {
            if (size) {
                const rlimit limit{*size, *size};
                ::setrlimit(RLIMIT_FSIZE, &limit);
                ::signal(SIGXFSZ, SIG_IGN); // a write beyond the limit then fails instead of killing
            }
            if (files) {
                const rlimit limit{*files, *files};
                ::setrlimit(RLIMIT_NOFILE, &limit);
            }
            if (asNobody && (::setgroups(0, nullptr) != 0 || ::setgid(nobody) != 0 || ::setuid(nobody) != 0))
                ::_exit(127);
        });
        process.start(options.program, options.arguments);
    }

    // Waits until the process has printed line (or ended).
    bool waitForLine(const QByteArray &line)
    {
        while (!output.split('\n').contains(line)) {
            if (!process.waitForReadyRead(10000))
                return false;
            output += process.readAllStandardOutput();
        }
        return true;
    }
    bool finish()
    {
        const bool finished = process.waitForFinished(10000);
        output += process.readAllStandardOutput();
        return finished;
    }
    // Terminates the process, once it handles SIGTERM (it takes its lock
    // long before), and checks it ended as asked, with exitCode.
    void terminate(int exitCode = 0)
    {
        for (int tries = 0; tries < 500 && !catchesTermination(); ++tries)
            process.waitForFinished(20);
        process.terminate();
        ASSERT_TRUE(finish());
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), exitCode);
        EXPECT_TRUE(output.endsWith("terminate\n")) << output.toStdString();
    }

    QProcess process;
    QByteArray output;

private:
    static constexpr uid_t nobody = 65534;

    // Makes nobody the owner of folder and all it holds, modes kept.
    static void giveToNobody(const QString &folder)
    {
        QStringList paths{folder};
        for (QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                             QDirIterator::Subdirectories);
             it.hasNext();)
            paths.append(it.next());
        for (const QString &path : std::as_const(paths))
            EXPECT_EQ(::lchown(QFile::encodeName(path).constData(), nobody, nobody), 0) << path.toStdString();
    }

    bool catchesTermination() const
    {
        QFile status(u"/proc/%1/status"_qs.arg(process.processId()));
        const QByteArray text = status.open(QIODevice::ReadOnly) ? status.readAll() : QByteArray();
        const qsizetype at = text.indexOf("SigCgt:");
        return at >= 0 && (text.mid(at + 7, 17).trimmed().toULongLong(nullptr, 16) & (1ULL << (SIGTERM - 1)));
    }
};

inline QString preferencesPath(const TestFolder &home)
{
    return home.filePath(u"config/brimble/preferences.plist"_qs);
}

// The text under key in the table of language ("English", "French").
inline QByteArray keyedText(const char *language, const char *key)
{
    return loadLanguageTable(QString::fromLatin1(language))->value(QString::fromLatin1(key)).toString().toUtf8();
}

// A raw client of the instance socket, or a socket left bound at path.
inline int connectedSocket(const QString &path, bool connectIt = true)
{
    const int descriptor = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{AF_UNIX, {}};
    const QByteArray encoded = QFile::encodeName(path);
    std::memcpy(address.sun_path, encoded.constData(), size_t(encoded.size()));
    const auto *generic = reinterpret_cast<const sockaddr *>(&address);
    EXPECT_EQ(connectIt ? ::connect(descriptor, generic, sizeof address) : ::bind(descriptor, generic, sizeof address),
              0)
        << std::strerror(errno);
    return descriptor;
}

inline QByteArray contentsOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Runs brimble with options until it ends; its exit code.
inline int exitCodeOf(const TestFolder &home, const RunOptions &options)
{
    BrimbleProcess brimble(home, options);
    EXPECT_TRUE(brimble.finish());
    return brimble.process.exitCode();
}
