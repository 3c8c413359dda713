// The installed application: the Debian package cpack makes, the desktop
// validators on the files it holds, and the installed program started from
// the tree the package was staged from.

#include "platform/ModuleHttpClient.h"
#include "platform/PlistPreferencesStore.h"
#include "store/LocalizedText.h"
#include "store/StoreKeys.h"

#include "BrimbleProcess.h"
#include "support/LocalHttpServer.h"

#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

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

// Runs a tool to its end; what it printed. A failed run fails the test.
QString runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(300000);
    const QString output = QString::fromUtf8(process.readAll());
    EXPECT_TRUE(finished && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0)
        << program.toStdString() << " " << arguments.join(u' ').toStdString() << ": " << process.errorString().toStdString()
        << "\n" << output.toStdString();
    return output;
}

// Where the installed program looks for its network module, relative to the prefix.
const QString installedModule = ModuleHttpClient::installedPath(QStringLiteral("bin"));

TEST(Install, TheDebianPackageHoldsAValidDesktopApplicationThatStartsFromWhereItIsInstalled)
{
    TestFolder out;
    runTool(QStringLiteral(CPACK_COMMAND),
            {u"--config"_qs, QStringLiteral(BRIMBLE_BUILD_DIR "/CPackConfig.cmake"), u"-G"_qs, u"DEB"_qs, u"-B"_qs, out.path()});
    const QStringList debs = QDir(out.path()).entryList({u"*.deb"_qs}, QDir::Files);
    ASSERT_EQ(debs.size(), 1);
    const QString deb = QDir(out.path()).filePath(debs.constFirst());
    const QString contents = runTool(u"dpkg-deb"_qs, {u"--contents"_qs, deb});
    ASSERT_FALSE(installedModule.startsWith(QLatin1String("..")));
    for (const QString &file : installedFiles + QStringList{installedModule})
        EXPECT_TRUE(contents.contains(QStringLiteral(" ./usr/") + file + u'\n')) << file.toStdString();

    const QString fields = runTool(u"dpkg-deb"_qs, {u"--field"_qs, deb});
    for (const char *field : {"\nPackage: brimble\n", "\nMaintainer: .+<.+@.+>\n", "\nDescription: \\S.*\n \\S"})
        EXPECT_TRUE(fields.contains(QRegularExpression(QString::fromLatin1(field)))) << field << fields.toStdString();
    // Read off the linked libraries, besides the plugin no program links.
    const QString depends = QRegularExpression(QStringLiteral("\nDepends: (.*)\n")).match(fields).captured(1);
    for (const char *package : {"libqt6widgets6", "libqt6dbus6", "libqt6network6", "libplist3", "libxcb1", "libc6",
                                "qt6-qpa-plugins"})
        EXPECT_TRUE(depends.contains(QLatin1String(package))) << package << " in " << depends.toStdString();
    // The licence shipped is the one the about page names.
    EXPECT_TRUE(contentsOf(QStringLiteral(BRIMBLE_SOURCE_DIR "/LICENSE")).contains("GNU GENERAL PUBLIC LICENSE\n                       Version 3"));
    for (const QString &language : {u"English"_qs, u"French"_qs})
        EXPECT_TRUE(loadLanguageTable(language)->value(u"IDS_BR_223"_qs).toString().contains(u"GNU GPL, version 3"_qs));

    // The tree cpack staged the package from is an installation under its
    // own prefix: the rest runs from there.
    const QString staged = QDir(out.path() + u"/_CPack_Packages/Linux/DEB"_qs).entryList(QDir::Dirs | QDir::NoDotAndDotDot).value(0);
    const QDir root(out.path() + u"/_CPack_Packages/Linux/DEB/"_qs + staged + u"/usr"_qs);
    ASSERT_TRUE(QFileInfo(root.filePath(u"bin/brimble"_qs)).isExecutable()) << root.path().toStdString();

    // The network module works from where the installed program looks for
    // it; the program itself does not load Qt Network at start.
    {
        LocalHttpServer server(200, "text/plain", "served");
        ModuleHttpClient client({root.filePath(installedModule)});
        std::optional<HttpResponse> answer;
        HttpRequest request;
        request.url = server.base();
        client.get(request, [&answer](const HttpResponse &response) { answer = response; });
        ASSERT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }, 10000));
        EXPECT_EQ(answer->body, QByteArray("served")) << answer->error.toStdString();
    }
    EXPECT_FALSE(runTool(u"ldd"_qs, {root.filePath(u"bin/brimble"_qs)}).contains(u"libQt6Network"_qs));

    const QString desktopFile = root.filePath(QStringLiteral("share/applications/org.brimble.Brimble.desktop"));
    EXPECT_EQ(runTool(u"desktop-file-validate"_qs, {desktopFile}).trimmed(), QString());
    const QString entry = QString::fromUtf8(contentsOf(desktopFile));
    EXPECT_TRUE(entry.contains(u"\nActions=toggle-popup;\n"_qs) && entry.contains(u"\nExec=brimble --toggle\n"_qs));
    runTool(u"appstreamcli"_qs, {u"validate"_qs, u"--no-net"_qs, root.filePath(u"share/metainfo/org.brimble.Brimble.metainfo.xml"_qs)});

    // Its texts are compiled in, its start at login names the installed
    // helper, and a second start reaches the first.
    TestFolder home;
    PlistPreferencesStore(home.filePath(u"config/brimble/preferences.plist"_qs)).setBool(true, StoreKeys::loginStartStatus);
    const RunOptions installed{.environment = {u"LANGUAGE=fr_FR"_qs}, .program = root.filePath(u"bin/brimble"_qs)};
    BrimbleProcess brimble(home, installed);
    ASSERT_TRUE(brimble.waitForLine("fr")) << brimble.output.toStdString();
    const QString entryPath = home.filePath(u"config/autostart/org.brimble.Brimble.desktop"_qs);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(entryPath); }, 5000)) << "written after the language is chosen";
    const QString autostart = QString::fromUtf8(contentsOf(entryPath));
    EXPECT_TRUE(autostart.contains(u"\nExec=\""_qs + root.filePath(u"libexec/brimble-login-helper"_qs) + u"\"\n"_qs))
        << autostart.toStdString();
    RunOptions toggle = installed;
    toggle.arguments = {u"--toggle"_qs};
    EXPECT_EQ(exitCodeOf(home, toggle), 0);
    EXPECT_EQ(brimble.process.state(), QProcess::Running);
    brimble.terminate();
}

} // namespace
