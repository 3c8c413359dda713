// Runs in a program of its own: GIO reads the XDG folders once, at its
// first use, so they are pointed at private folders before anything else.

#include "platform/GioApplicationRegistry.h"

#include "support/ProcessUntil.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void writeText(const QString &path, const QString &text)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

// The ids of our test entries, leaving out what the system has installed.
QStringList idsOf(const QList<ApplicationInfo> &applications)
{
    QStringList ids;
    for (const ApplicationInfo &application : applications)
        ids.append(application.id);
    return ids.filter(QStringLiteral("brimble-test-"));
}

} // namespace

TEST(DesktopServicesTest, OpenWithListsDesktopEntriesDefaultFirstAndLaunchesOne)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const QString share = root.filePath("share");
    // The system folder stays listed for the shared MIME database.
    qputenv("XDG_DATA_DIRS", QFile::encodeName(share) + ":/usr/share");
    qputenv("XDG_DATA_HOME", QFile::encodeName(root.filePath("data")));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(root.filePath("config")));

    const QString marker = root.filePath("launched");
    const QString script = root.filePath("record.sh");
    writeText(script, QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > '%1'\n").arg(marker));
    QFile::setPermissions(script, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

    // One entry in the system folder, one in the user's.
    for (const auto &[folder, name] : {std::pair{share, "Editor"}, {root.filePath("data"), "Viewer"}}) {
        writeText(
            folder + "/applications/brimble-test-" + QString(name).toLower() + ".desktop",
            QStringLiteral("[Desktop Entry]\nType=Application\nName=%1\nExec=%2 %f\nMimeType=text/plain;\nIcon=%3\n")
                .arg(name, script, QString(name).toLower()));
        // The index that update-desktop-database keeps beside the entries.
        writeText(folder + "/applications/mimeinfo.cache",
                  "[MIME Cache]\ntext/plain=brimble-test-" + QString(name).toLower() + ".desktop;\n");
    }
    writeText(root.filePath("config/mimeapps.list"),
              "[Default Applications]\ntext/plain=brimble-test-viewer.desktop\n");
    const QString note = root.filePath("note.txt");
    writeText(note, "hello");

    GioApplicationRegistry registry;

    // The default first, each once, only those for the type.
    const QList<ApplicationInfo> forNote = registry.applicationsFor(QUrl::fromLocalFile(note));
    ASSERT_FALSE(forNote.isEmpty());
    EXPECT_EQ(idsOf(forNote), QStringList({"brimble-test-viewer.desktop", "brimble-test-editor.desktop"}));
    EXPECT_EQ(QStringList({forNote.first().name, forNote.first().iconName}), QStringList({"Viewer", "viewer"}));
    EXPECT_TRUE(registry.applicationsFor(QUrl()).isEmpty());

    EXPECT_FALSE(registry.launch("brimble-test-missing.desktop", QUrl::fromLocalFile(note)));
    ASSERT_TRUE(registry.launch("brimble-test-editor.desktop", QUrl::fromLocalFile(note)));
    // The launched command writes its argument to the marker file.
    EXPECT_TRUE(processUntil(
        [&] {
            QFile launched(marker);
            return launched.open(QIODevice::ReadOnly) && launched.readAll() == note.toUtf8();
        },
        30000));
}
