// GIO's headers use the name "signals"; they come before Qt's.
#include <gio/gdesktopappinfo.h>

#include "platform/Relaunch.h"
#include "platform/XdgLoginItems.h"

#include "BrimbleProcess.h"
#include "support/PrivateBus.h"

#include <QFileInfo>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// An executable file at path (a shell script doing script), its folder made.
bool writeScript(const QString &path, const QByteArray &script = "exit 0")
{
    QFile file(path);
    if (!QDir().mkpath(QFileInfo(path).path()) || !file.open(QIODevice::WriteOnly))
        return false;
    file.write("#!/bin/sh\n" + script + '\n');
    file.close();
    return file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

// The program an autostart entry runs, as the desktop (GLib) reads it; GLib
// refuses an entry whose program does not exist.
QString executableOfEntry(const QString &entryPath)
{
    GDesktopAppInfo *info = g_desktop_app_info_new_from_filename(QFile::encodeName(entryPath).constData());
    if (!info)
        return {};
    QString executable;
    gchar **argv = nullptr;
    if (g_shell_parse_argv(g_app_info_get_commandline(G_APP_INFO(info)), nullptr, &argv, nullptr)) {
        executable = QString::fromUtf8(argv[0]);
        g_strfreev(argv);
    }
    g_object_unref(info);
    return executable;
}

TEST(XdgLoginItems, WritesAnAutostartEntryThatRunsExactlyTheHelper)
{
    TestFolder home;
    const QString oddFolder = home.filePath(u"it's \"odd\" $(touch pwned) `x` \\ 100"_qs);
    const QString helper = oddFolder + u"/brimble-login-helper"_qs;
    ASSERT_TRUE(writeScript(helper));
    EXPECT_EQ(XdgLoginItems::locateHelper(oddFolder), helper);
    EXPECT_EQ(XdgLoginItems::locateHelper(home.path()), QString());

    const QString autostart = home.filePath(u"config/autostart"_qs);
    XdgLoginItems items(autostart, helper);
    ASSERT_TRUE(items.setEnabled(true));
    EXPECT_EQ(executableOfEntry(items.entryPath()), helper);

    // Enabling again rewrites the entry: a moved installation keeps starting.
    const QString moved = home.filePath(u"moved/libexec/brimble-login-helper"_qs);
    ASSERT_TRUE(writeScript(moved) && QDir().mkpath(home.filePath(u"moved/bin"_qs)));
    EXPECT_EQ(XdgLoginItems::locateHelper(home.filePath(u"moved/bin"_qs)), moved);
    ASSERT_TRUE(XdgLoginItems(autostart, moved).setEnabled(true));
    EXPECT_EQ(executableOfEntry(items.entryPath()), moved);

    EXPECT_TRUE(items.setEnabled(false));
    EXPECT_FALSE(QFile::exists(items.entryPath()));
    EXPECT_TRUE(items.setEnabled(false)) << "nothing to remove is no failure";

    // No helper to run, or a folder that cannot be made: a failed change.
    EXPECT_FALSE(XdgLoginItems(autostart, QString()).setEnabled(true));
    ASSERT_TRUE(writeScript(home.filePath(u"blocked"_qs)));
    EXPECT_FALSE(XdgLoginItems(home.filePath(u"blocked/autostart"_qs), helper).setEnabled(true));
    EXPECT_TRUE(XdgLoginItems::desktopEntry(u"/a\nb"_qs).isEmpty());
}

TEST(LoginHelper, StartsBrimbleAndQuitsOnKillLauncher)
{
    TestFolder folder;
    PrivateBus bus;
    ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon did not start";
    XdgLoginItems items(folder.filePath(u"autostart"_qs), QString(), bus.client());
    EXPECT_FALSE(items.endLoginHelper()) << "no helper runs yet";

    // The helper beside a stand-in brimble that notes it was started.
    const QString helper = folder.filePath(u"brimble-login-helper"_qs);
    ASSERT_TRUE(QFile::copy(QStringLiteral(BRIMBLE_LOGIN_HELPER), helper));
    const QString started = folder.filePath(u"started"_qs);
    ASSERT_TRUE(writeScript(folder.filePath(u"brimble"_qs), "echo started >> \"$BRIMBLE_TEST_MARKER\""));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(u"DBUS_SESSION_BUS_ADDRESS"_qs, bus.address);
    environment.insert(u"BRIMBLE_TEST_MARKER"_qs, started);
    QProcess running;
    running.setProcessEnvironment(environment);
    running.start(helper);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(started); }, 10000)) << "brimble was not started";

    // A second helper finds the name taken and leaves at once.
    QProcess second;
    second.setProcessEnvironment(environment);
    second.start(helper);
    ASSERT_TRUE(second.waitForFinished(10000));
    EXPECT_EQ(second.exitCode(), 0);

    EXPECT_TRUE(items.endLoginHelper());
    ASSERT_TRUE(running.waitForFinished(10000)) << "killLauncher did not end the helper";
    EXPECT_EQ(running.exitCode(), 0);

    EXPECT_EQ(contentsOf(started), QByteArray("started\n")) << "brimble started once";
}

TEST(Relaunch, StartsExactlyTheExecutableWhateverItsPath)
{
    TestFolder folder;
    const QString odd = folder.filePath(u"it's \"odd\"; $(touch pwned) `touch pwned` & x"_qs);
    const QString marker = folder.filePath(u"ran"_qs);
    const QString program = odd + u"/brim ble"_qs;
    ASSERT_TRUE(writeScript(program, "echo \"$# $BRIMBLE_RELAUNCHED\" > \"$BRIMBLE_TEST_MARKER\""));

    const QString previous = QDir::currentPath();
    QDir::setCurrent(folder.path());
    qputenv("BRIMBLE_TEST_MARKER", QFile::encodeName(marker));
    qint64 pid = 0;
    const bool started = Relaunch::relaunchAfterExit(program, &pid);
    qunsetenv("BRIMBLE_TEST_MARKER");
    ASSERT_TRUE(started && pid > 0);
    EXPECT_FALSE(QFile::exists(marker)) << "the shell waits before it starts the program";
    const bool ran = QTest::qWaitFor([&] { return QFile(marker).size() > 0; }, 10000);
    QDir::setCurrent(previous);
    ASSERT_TRUE(ran);
    EXPECT_EQ(contentsOf(marker), QByteArray("0 1\n")) << "no arguments, and the relaunch marker set";
    EXPECT_FALSE(QFile::exists(folder.filePath(u"pwned"_qs))) << "nothing of the path ran as a command";
    EXPECT_FALSE(QFile::exists(odd + u"/pwned"_qs));
}

} // namespace
