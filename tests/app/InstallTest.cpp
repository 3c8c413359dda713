// The installed application: `cmake --install` into a temporary prefix, the
// desktop validators on what it put there, the installed program started
// from there, and the Debian package cpack makes of the same files.

#include "platform/ModuleHttpClient.h"
#include "platform/PlistPreferencesStore.h"
#include "store/LocalizedText.h"
#include "store/StoreKeys.h"

#include "items/LocalHttpServer.h"
#include "support/TestFolders.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <optional>

namespace {

// What an installation holds, relative to its prefix.
const QStringList installedFiles = {
    QStringLiteral("bin/brimble"),
    QStringLiteral("share/applications/org.brimble.Brimble.desktop"),
    QStringLiteral("share/metainfo/org.brimble.Brimble.metainfo.xml"),
    QStringLiteral("share/icons/hicolor/scalable/apps/org.brimble.Brimble.svg"),
    QStringLiteral("share/icons/hicolor/48x48/apps/org.brimble.Brimble.png"),
    QStringLiteral("share/icons/hicolor/256x256/apps/org.brimble.Brimble.png"),
    QStringLiteral("share/doc/brimble/copyright"),
    QStringLiteral("libexec/brimble-login-helper"),
};

struct ToolRun
{
    int exitCode = -1;
    QString output;
};

ToolRun run(const QString &program, const QStringList &arguments, int timeoutMs = 300000)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForFinished(timeoutMs))
        return {-1, QStringLiteral("%1 did not finish: %2").arg(program, process.errorString())};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAll())};
}

// Where the installed program looks for its network module, relative to the prefix.
QString installedModule()
{
    return ModuleHttpClient::installedPath(QStringLiteral("bin"));
}

QString readText(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

TEST(Install, PutsAValidDesktopApplicationInPlaceThatStartsFromThere)
{
    TestFolder prefix;
    const ToolRun install = run(QStringLiteral(CMAKE_COMMAND),
                            {QStringLiteral("--install"), QStringLiteral(BRIMBLE_BUILD_DIR), QStringLiteral("--prefix"),
                             prefix.path()});
    ASSERT_EQ(install.exitCode, 0) << install.output.toStdString();
    const QDir root(prefix.path());
    for (const QString &file : installedFiles)
        EXPECT_TRUE(QFileInfo(root.filePath(file)).isFile()) << file.toStdString();
    EXPECT_TRUE(QFileInfo(root.filePath(QStringLiteral("bin/brimble"))).isExecutable());

    // The network module is where the installed program looks for it, and
    // works from there; the program itself does not load Qt Network at start.
    ASSERT_FALSE(installedModule().startsWith(QLatin1String("..")));
    const QString module = root.filePath(installedModule());
    ASSERT_TRUE(QFileInfo(module).isFile()) << module.toStdString();
    {
        LocalHttpServer server(200, "text/plain", "served");
        ModuleHttpClient client({module});
        std::optional<HttpResponse> answer;
        HttpRequest request;
        request.url = server.base();
        client.get(request, [&answer](const HttpResponse &response) { answer = response; });
        ASSERT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }, 10000));
        EXPECT_EQ(answer->body, QByteArray("served")) << answer->error.toStdString();
    }
    const ToolRun loaded = run(QStringLiteral("ldd"), {root.filePath(QStringLiteral("bin/brimble"))});
    EXPECT_EQ(loaded.exitCode, 0) << loaded.output.toStdString();
    EXPECT_FALSE(loaded.output.contains(QLatin1String("libQt6Network"))) << loaded.output.toStdString();

    const QString desktopFile = root.filePath(QStringLiteral("share/applications/org.brimble.Brimble.desktop"));
    const ToolRun desktop = run(QStringLiteral("desktop-file-validate"), {desktopFile});
    EXPECT_EQ(desktop.exitCode, 0) << desktop.output.toStdString();
    EXPECT_TRUE(desktop.output.trimmed().isEmpty()) << desktop.output.toStdString();
    const QString entry = readText(desktopFile);
    EXPECT_TRUE(entry.contains(QLatin1String("\nActions=toggle-popup;\n")));
    EXPECT_TRUE(entry.contains(
        QLatin1String("[Desktop Action toggle-popup]\nName=Toggle popup\n")));
    EXPECT_TRUE(entry.contains(QLatin1String("\nExec=brimble --toggle\n")));

    const ToolRun metainfo = run(QStringLiteral("appstreamcli"),
                             {QStringLiteral("validate"), QStringLiteral("--no-net"),
                              root.filePath(QStringLiteral("share/metainfo/org.brimble.Brimble.metainfo.xml"))});
    EXPECT_EQ(metainfo.exitCode, 0) << metainfo.output.toStdString();

    // The installed program runs from the prefix on its own: its texts are
    // compiled in, its start at login names the installed helper, and a
    // second start reaches the first.
    TestFolder home;
    {
        PlistPreferencesStore preferences(home.filePath(QStringLiteral("config/brimble/preferences.plist")));
        preferences.setBool(true, StoreKeys::loginStartStatus);
        preferences.flush();
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.filePath(QStringLiteral("runtime")));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("LANGUAGE"), QStringLiteral("fr_FR"));
    QProcess brimble;
    brimble.setProcessEnvironment(environment);
    brimble.setWorkingDirectory(home.path());
    brimble.start(root.filePath(QStringLiteral("bin/brimble")));
    QByteArray output;
    while (!output.split('\n').contains("fr") && brimble.waitForReadyRead(10000))
        output += brimble.readAllStandardOutput();
    ASSERT_TRUE(output.split('\n').contains("fr")) << output.toStdString();
    // Written after the language is chosen.
    const QString entryPath = home.filePath(QStringLiteral("config/autostart/org.brimble.Brimble.desktop"));
    for (int wait = 0; wait < 100 && !QFile::exists(entryPath); ++wait)
        brimble.waitForReadyRead(50);
    const QString autostart = readText(entryPath);
    EXPECT_TRUE(autostart.contains(QStringLiteral("\nExec=\"")
                                   + root.filePath(QStringLiteral("libexec/brimble-login-helper")) + QStringLiteral("\"\n")))
        << autostart.toStdString();

    QProcess toggle;
    toggle.setProcessEnvironment(environment);
    toggle.start(root.filePath(QStringLiteral("bin/brimble")), {QStringLiteral("--toggle")});
    ASSERT_TRUE(toggle.waitForFinished(10000));
    EXPECT_EQ(toggle.exitCode(), 0);
    EXPECT_EQ(brimble.state(), QProcess::Running);

    ::kill(pid_t(brimble.processId()), SIGTERM);
    ASSERT_TRUE(brimble.waitForFinished(10000));
    output += brimble.readAllStandardOutput();
    EXPECT_TRUE(output.split('\n').contains("terminate")) << output.toStdString();
    EXPECT_EQ(brimble.exitCode(), 0);
}

TEST(Package, DebianPackageHoldsTheInstalledFilesAndItsDependencies)
{
    TestFolder out;
    const ToolRun cpack = run(QStringLiteral(CPACK_COMMAND),
                          {QStringLiteral("--config"), QStringLiteral(BRIMBLE_BUILD_DIR "/CPackConfig.cmake"),
                           QStringLiteral("-G"), QStringLiteral("DEB"), QStringLiteral("-B"), out.path()});
    ASSERT_EQ(cpack.exitCode, 0) << cpack.output.toStdString();
    const QStringList debs = QDir(out.path()).entryList({QStringLiteral("*.deb")}, QDir::Files);
    ASSERT_EQ(debs.size(), 1) << cpack.output.toStdString();
    const QString deb = QDir(out.path()).filePath(debs.constFirst());

    const ToolRun contents = run(QStringLiteral("dpkg-deb"), {QStringLiteral("--contents"), deb});
    ASSERT_EQ(contents.exitCode, 0) << contents.output.toStdString();
    for (const QString &file : installedFiles + QStringList{installedModule()})
        EXPECT_TRUE(contents.output.contains(QStringLiteral(" ./usr/") + file + u'\n')) << file.toStdString();

    const ToolRun control = run(QStringLiteral("dpkg-deb"), {QStringLiteral("--field"), deb});
    ASSERT_EQ(control.exitCode, 0) << control.output.toStdString();
    const QString fields = control.output;
    EXPECT_TRUE(fields.contains(QLatin1String("\nPackage: brimble\n"))) << fields.toStdString();
    EXPECT_TRUE(fields.contains(QRegularExpression(QStringLiteral("\nMaintainer: .+<.+@.+>\n"))));
    EXPECT_TRUE(fields.contains(QRegularExpression(QStringLiteral("\nDescription: \\S.*\n \\S"))));
    // Read off the linked libraries, besides the plugin no program links.
    const QString depends = QRegularExpression(QStringLiteral("\nDepends: (.*)\n")).match(fields).captured(1);
    for (const char *package : {"libqt6widgets6", "libqt6dbus6", "libqt6network6", "libplist3", "libxcb1", "libc6",
                                "qt6-qpa-plugins"})
        EXPECT_TRUE(depends.contains(QLatin1String(package))) << package << " in " << depends.toStdString();

    // The licence shipped is the one the about page names.
    EXPECT_TRUE(readText(QStringLiteral(BRIMBLE_SOURCE_DIR "/LICENSE")).contains(QLatin1String("GNU GENERAL PUBLIC LICENSE\n                       Version 3")));
    for (const QString &language : {QStringLiteral("English"), QStringLiteral("French")}) {
        const QString notice = loadLanguageTable(language).value_or(QVariantMap()).value(QStringLiteral("IDS_BR_223")).toString();
        EXPECT_TRUE(notice.contains(QLatin1String("GNU GPL, version 3"))) << notice.toStdString();
    }
}

} // namespace
