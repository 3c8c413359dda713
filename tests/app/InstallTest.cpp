// The installed application: the Debian package cpack makes of this build
// (made once, shared by the tests), what a distribution's review checks of
// it, its reproducibility, the desktop validators on the files it holds, and
// the installed program started on the display from the tree the package
// was staged from.

#include "app/DesktopSearchService.h"
#include "platform/ModuleHttpClient.h"
#include "platform/PlistPreferencesStore.h"
#include "store/LocalizedText.h"
#include "store/StoreKeys.h"

#include "BrimbleProcess.h"
#include "support/LocalHttpServer.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTest>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <memory>
#include <optional>

#include <sys/stat.h>

namespace {

// What an installation holds, relative to its prefix.
const QStringList installedFiles = {
    QStringLiteral("bin/brimble"),
    QStringLiteral("libexec/brimble-login-helper"),
    QStringLiteral("share/applications/org.brimble.Brimble.desktop"),
    QStringLiteral("share/metainfo/org.brimble.Brimble.metainfo.xml"),
    QStringLiteral("share/icons/hicolor/scalable/apps/org.brimble.Brimble.svg"),
    QStringLiteral("share/icons/hicolor/48x48/apps/org.brimble.Brimble.png"),
    QStringLiteral("share/icons/hicolor/256x256/apps/org.brimble.Brimble.png"),
    QStringLiteral("share/icons/hicolor/symbolic/apps/org.brimble.Brimble-symbolic.svg"),
    QStringLiteral("share/gnome-shell/search-providers/org.brimble.Brimble.search-provider.ini"),
    QStringLiteral("share/krunner/dbusplugins/org.brimble.Brimble.desktop"),
    QStringLiteral("share/dbus-1/services/org.brimble.Brimble.SearchProvider.service"),
    QStringLiteral("share/kio/servicemenus/org.brimble.Brimble.add.desktop"),
    QStringLiteral("share/nemo/actions/org.brimble.Brimble.add.nemo_action"),
    QStringLiteral("share/man/man1/brimble.1.gz"),
    QStringLiteral("share/man/fr/man1/brimble.1.gz"),
    QStringLiteral("share/doc/brimble/copyright"),
    QStringLiteral("share/doc/brimble/changelog.gz"),
    QStringLiteral("share/lintian/overrides/brimble"),
};

// Where the installed program looks for its network module, relative to the prefix.
const QString installedModule = ModuleHttpClient::installedPath(QStringLiteral("bin"));

struct ToolRun
{
    int exitCode = -1;
    QString output;
};

// Runs a tool to its end (standard error merged in); started under a
// fixed umask, as the files cpack writes take their modes from it.
ToolRun run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setChildProcessModifier([] { ::umask(022); });
    process.start(program, arguments);
    const bool finished = process.waitForFinished(300000);
    const bool normal = finished && process.exitStatus() == QProcess::NormalExit;
    return {normal ? process.exitCode() : -1, QString::fromUtf8(process.readAll())};
}

// What the tool printed; a failed run fails the test.
QString runTool(const QString &program, const QStringList &arguments)
{
    const ToolRun result = run(program, arguments);
    EXPECT_EQ(result.exitCode, 0) << program.toStdString() << " " << arguments.join(u' ').toStdString() << "\n"
                                  << result.output.toStdString();
    return result.output;
}

// A package cpack made of this build, in a folder of its own.
struct BuiltPackage
{
    TestFolder folder;
    QString deb;

    BuiltPackage()
    {
        runTool(QStringLiteral(CPACK_COMMAND), {u"--config"_qs, QStringLiteral(BRIMBLE_BUILD_DIR "/CPackConfig.cmake"),
                                                u"-G"_qs, u"DEB"_qs, u"-B"_qs, folder.path()});
        const QStringList debs = QDir(folder.path()).entryList({u"*.deb"_qs}, QDir::Files);
        if (debs.size() == 1)
            deb = QDir(folder.path()).filePath(debs.constFirst());
    }
    // The installation cpack staged the package from.
    QDir stagedRoot() const
    {
        const QDir packages(folder.path() + u"/_CPack_Packages/Linux/DEB"_qs);
        return QDir(packages.filePath(packages.entryList(QDir::Dirs | QDir::NoDotAndDotDot).value(0) + u"/usr"_qs));
    }
};

// Made at the first test that needs it, kept for the others.
const BuiltPackage &package()
{
    static const auto built = std::make_unique<BuiltPackage>();
    return *built;
}

// The "instance" and "class" names of the windows shown on the X display.
QList<QPair<QByteArray, QByteArray>> shownWindowClasses()
{
    QList<QPair<QByteArray, QByteArray>> classes;
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return classes;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_query_tree_reply_t *tree = xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr);
    const xcb_window_t *children = tree ? xcb_query_tree_children(tree) : nullptr;
    for (int i = 0; tree && i < xcb_query_tree_children_length(tree); ++i) {
        auto *attributes = xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, children[i]), nullptr);
        const bool shown = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        free(attributes);
        auto *property = xcb_get_property_reply(
            c, xcb_get_property(c, 0, children[i], XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256), nullptr);
        if (shown && property) {
            const QList<QByteArray> names = QByteArray(static_cast<const char *>(xcb_get_property_value(property)),
                                                       xcb_get_property_value_length(property))
                                                .split('\0');
            classes.append({names.value(0), names.value(1)});
        }
        free(property);
    }
    free(tree);
    xcb_disconnect(c);
    return classes;
}

// What appstreamcli's pedantic validation finds in metainfo, but the capitals
// of the application id, which the desktop entry, the D-Bus names and the
// autostart entry share.
QStringList metainfoProblems(const QString &metainfo)
{
    const QString output = runTool(u"appstreamcli"_qs, {u"validate"_qs, u"--pedantic"_qs, u"--no-net"_qs, metainfo});
    QStringList problems;
    for (const QString &line : output.split(u'\n')) {
        if (line.contains(QRegularExpression(u"^[EWIP]: "_qs)) && !line.contains(u"cid-contains-uppercase-letter"_qs))
            problems.append(line);
    }
    return problems;
}

// The colours an SVG picture paints with (a gradient, pattern or embedded
// image counts as one more); none when it is no well-formed SVG with a view box.
std::optional<QSet<QString>> paintedColors(const QByteArray &svg)
{
    QXmlStreamReader xml(svg);
    QSet<QString> colors;
    const QRegularExpression literal(u"#[0-9a-fA-F]{3,8}\\b|rgba?\\([^)]*\\)"_qs);
    const auto addColorsIn = [&](QStringView text) {
        for (const QRegularExpressionMatch &match : literal.globalMatch(text))
            colors.insert(match.captured().toLower());
    };
    bool atRoot = true;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isCharacters()) {
            addColorsIn(xml.text());
        } else if (xml.isStartElement()) {
            if (std::exchange(atRoot, false) && (xml.name() != u"svg" || !xml.attributes().hasAttribute(u"viewBox"_qs)))
                return std::nullopt;
            const QStringList painters{u"linearGradient"_qs, u"radialGradient"_qs, u"pattern"_qs, u"image"_qs};
            if (painters.contains(xml.name()))
                colors.insert(xml.name().toString());
            for (const QXmlStreamAttribute &attribute : xml.attributes()) {
                addColorsIn(attribute.value());
                const bool paint = attribute.name() == u"fill" || attribute.name() == u"stroke";
                if (paint && !attribute.value().startsWith(u'#') && attribute.value() != u"none"
                    && attribute.value() != u"currentColor")
                    colors.insert(attribute.value().toString()); // a named colour
            }
        }
    }
    if (xml.hasError() || atRoot)
        return std::nullopt;
    return colors;
}

// The value of key in the [Desktop Entry] group of a desktop file's text.
QString desktopValue(const QString &entry, const QString &key)
{
    return QRegularExpression(u"\n"_qs + QRegularExpression::escape(key) + u"=(.*)\n"_qs).match(entry).captured(1);
}

TEST(Install, TheDebianPackageHoldsAValidDesktopApplicationThatStartsFromWhereItIsInstalled)
{
    ASSERT_FALSE(package().deb.isEmpty());
    const QString contents = runTool(u"dpkg-deb"_qs, {u"--contents"_qs, package().deb});
    ASSERT_FALSE(installedModule.startsWith(QLatin1String("..")));
    for (const QString &file : installedFiles + QStringList{installedModule})
        EXPECT_TRUE(contents.contains(QStringLiteral(" ./usr/") + file + u'\n')) << file.toStdString();
    EXPECT_FALSE(contents.contains(u"LICENSE"_qs)) << "Debian has the licence; the copyright file names it";
    // Nothing to run at installation or removal, so nothing left behind in
    // the "rc" state once removed.
    const QString control = runTool(u"dpkg-deb"_qs, {u"--info"_qs, package().deb});
    for (const char *script : {"preinst", "postinst", "prerm", "postrm"})
        EXPECT_FALSE(control.contains(QLatin1String(script))) << control.toStdString();

    const QString fields = runTool(u"dpkg-deb"_qs, {u"--field"_qs, package().deb});
    for (const char *field : {"\nPackage: brimble\n", "\nMaintainer: .+<.+@.+>\n", "\nDescription: \\S.*\n \\S",
                              "\nRecommends: .*\\bqt6-wayland\\b"})
        EXPECT_TRUE(fields.contains(QRegularExpression(QString::fromLatin1(field)))) << field << fields.toStdString();
    EXPECT_FALSE(fields.contains(u"\nHomepage:"_qs)) << "no address until a real one exists";
    // Read off the linked libraries, besides the plugin no program links.
    const QString depends = QRegularExpression(QStringLiteral("\nDepends: (.*)\n")).match(fields).captured(1);
    for (const char *package :
         {"libqt6widgets6", "libqt6dbus6", "libqt6network6", "libplist3", "libxcb1", "libc6", "qt6-qpa-plugins"})
        EXPECT_TRUE(depends.contains(QLatin1String(package))) << package << " in " << depends.toStdString();
    // The licence shipped is the one the about page names.
    EXPECT_TRUE(contentsOf(QStringLiteral(BRIMBLE_SOURCE_DIR "/LICENSE"))
                    .contains("GNU GENERAL PUBLIC LICENSE\n                       Version 3"));
    for (const QString &language : {u"English"_qs, u"French"_qs})
        EXPECT_TRUE(loadLanguageTable(language)->value(u"IDS_BR_223"_qs).toString().contains(u"GNU GPL, version 3"_qs));

    // The rest runs from the installation the package was staged from.
    const QDir root = package().stagedRoot();
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
    EXPECT_EQ(metainfoProblems(root.filePath(u"share/metainfo/org.brimble.Brimble.metainfo.xml"_qs)), QStringList());

    // The tray's symbolic icon is one shape in one colour, which the panels
    // replace; the application icon has its colours.
    const auto symbolic = paintedColors(
        contentsOf(root.filePath(u"share/icons/hicolor/symbolic/apps/org.brimble.Brimble-symbolic.svg"_qs)));
    ASSERT_TRUE(symbolic.has_value());
    EXPECT_EQ(symbolic->size(), 1) << QStringList(symbolic->begin(), symbolic->end()).join(u' ').toStdString();
    const auto coloured = paintedColors(
        contentsOf(root.filePath(u"share/icons/hicolor/scalable/apps/org.brimble.Brimble.svg"_qs)));
    EXPECT_TRUE(coloured && coloured->size() > 1);

    // Its texts are compiled in, its start at login names the installed
    // helper in an entry in both languages, its windows carry the class the
    // desktop entry names, and a second start reaches the first.
    TestFolder home;
    PlistPreferencesStore(home.filePath(u"config/brimble/preferences.plist"_qs))
        .setBool(true, StoreKeys::loginStartStatus);
    const RunOptions installed{.environment = {u"LANGUAGE=fr_FR"_qs, u"QT_QPA_PLATFORM=xcb"_qs},
                               .program = root.filePath(u"bin/brimble"_qs)};
    BrimbleProcess brimble(home, installed);
    ASSERT_TRUE(brimble.waitForLine("fr")) << brimble.output.toStdString();
    const QString entryPath = home.filePath(u"config/autostart/org.brimble.Brimble.desktop"_qs);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(entryPath); }, 5000))
        << "written after the language is chosen";
    const QString autostart = QString::fromUtf8(contentsOf(entryPath));
    const QString helper = root.filePath(u"libexec/brimble-login-helper"_qs);
    EXPECT_EQ(desktopValue(autostart, u"Exec"_qs), u'"' + helper + u'"');
    EXPECT_EQ(desktopValue(autostart, u"TryExec"_qs), helper)
        << "an entry left behind by a removed package starts nothing";
    EXPECT_EQ(desktopValue(autostart, u"Comment"_qs),
              loadLanguageTable(u"English"_qs)->value(u"IDS_BR_520"_qs).toString());
    EXPECT_EQ(desktopValue(autostart, u"Comment[fr]"_qs),
              loadLanguageTable(u"French"_qs)->value(u"IDS_BR_520"_qs).toString());

    const QByteArray windowClass = desktopValue(entry, u"StartupWMClass"_qs).toUtf8();
    EXPECT_FALSE(windowClass.isEmpty());
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return shownWindowClasses().contains(QPair<QByteArray, QByteArray>("brimble", windowClass)); }, 10000))
        << "StartupWMClass=" << windowClass.toStdString();

    RunOptions toggle = installed;
    toggle.arguments = {u"--toggle"_qs};
    EXPECT_EQ(exitCodeOf(home, toggle), 0);
    EXPECT_EQ(brimble.process.state(), QProcess::Running);
    brimble.terminate();
}

// The value of key in group of a desktop-style file's text.
QString keyIn(const QString &text, const QString &group, const QString &key)
{
    const qsizetype start = text.indexOf(u'[' + group + u"]\n");
    if (start < 0)
        return {};
    const QString section = text.mid(start).section(u"\n["_qs, 0, 0);
    return QRegularExpression(u"(?:^|\n)"_qs + QRegularExpression::escape(key) + u"=(.*)(?:\n|$)"_qs)
        .match(section)
        .captured(1);
}

TEST(Install, TheDesktopsSearchAndTheFileManagersFindBrimbleWhereItServes)
{
    ASSERT_FALSE(package().deb.isEmpty());
    const QDir root = package().stagedRoot();
    const auto installed = [&](const char *path) {
        return QString::fromUtf8(contentsOf(root.filePath(QLatin1String(path))));
    };
    const QString service = QString::fromLatin1(DesktopSearchService::serviceName);

    // GNOME Shell names the application and calls the objects Brimble serves.
    const QString provider = installed("share/gnome-shell/search-providers/org.brimble.Brimble.search-provider.ini");
    const QString shell = u"Shell Search Provider"_qs;
    EXPECT_EQ(keyIn(provider, shell, u"BusName"_qs), service);
    EXPECT_EQ(keyIn(provider, shell, u"ObjectPath"_qs), QLatin1String(DesktopSearchService::shellObjectPath));
    EXPECT_TRUE(QFile::exists(root.filePath(u"share/applications/"_qs + keyIn(provider, shell, u"DesktopId"_qs))));
    EXPECT_EQ(keyIn(provider, shell, u"Version"_qs), u"2"_qs);
    // The bus starts the installed program for it, without a window.
    const QString activation = installed("share/dbus-1/services/org.brimble.Brimble.SearchProvider.service");
    EXPECT_EQ(keyIn(activation, u"D-BUS Service"_qs, u"Name"_qs), service);
    EXPECT_EQ(keyIn(activation, u"D-BUS Service"_qs, u"Exec"_qs), u"/usr/bin/brimble --background"_qs);

    const QString runnerFile = root.filePath(u"share/krunner/dbusplugins/org.brimble.Brimble.desktop"_qs);
    const QString menuFile = root.filePath(u"share/kio/servicemenus/org.brimble.Brimble.add.desktop"_qs);
    for (const QString &file : {runnerFile, menuFile})
        EXPECT_EQ(runTool(u"desktop-file-validate"_qs, {file}).trimmed(), QString()) << file.toStdString();
    const QString runner = QString::fromUtf8(contentsOf(runnerFile));
    const QString entry = u"Desktop Entry"_qs;
    EXPECT_EQ(keyIn(runner, entry, u"X-Plasma-API"_qs), u"DBus"_qs);
    EXPECT_EQ(keyIn(runner, entry, u"X-Plasma-DBusRunner-Service"_qs), service);
    EXPECT_EQ(keyIn(runner, entry, u"X-Plasma-DBusRunner-Path"_qs),
              QLatin1String(DesktopSearchService::runnerObjectPath));
    EXPECT_EQ(keyIn(runner, entry, u"X-KDE-PluginInfo-Version"_qs), QStringLiteral(BRIMBLE_VERSION));

    // Both file managers add what is selected, files and folders alike.
    const QString menu = QString::fromUtf8(contentsOf(menuFile));
    const QString action = keyIn(menu, entry, u"Actions"_qs).section(u';', 0, 0);
    EXPECT_EQ(keyIn(menu, u"Desktop Action "_qs + action, u"Exec"_qs), u"brimble --add %F"_qs);
    EXPECT_EQ(keyIn(menu, entry, u"MimeType"_qs), u"application/octet-stream;inode/directory;"_qs);
    const QString nemo = installed("share/nemo/actions/org.brimble.Brimble.add.nemo_action");
    EXPECT_EQ(keyIn(nemo, u"Nemo Action"_qs, u"Exec"_qs), u"brimble --add %F"_qs);
    EXPECT_EQ(keyIn(nemo, u"Nemo Action"_qs, u"Extensions"_qs), u"any;"_qs);
    for (const QString &text : {menu, nemo})
        EXPECT_FALSE(
            keyIn(text, text == nemo ? u"Nemo Action"_qs : u"Desktop Action "_qs + action, u"Name[fr]"_qs).isEmpty());
}

TEST(Install, LintianFindsNothingInThePackage)
{
    const QString lintian = QStandardPaths::findExecutable(u"lintian"_qs);
    if (lintian.isEmpty())
        GTEST_SKIP() << "lintian is not installed";
    ASSERT_FALSE(package().deb.isEmpty());
    // Every tag at every level; the overrides the package ships say why
    // each of theirs holds.
    const ToolRun result = run(lintian,
                               {u"--pedantic"_qs, u"--display-info"_qs, u"--display-experimental"_qs, u"--fail-on"_qs,
                                u"error,warning,info,pedantic,experimental"_qs, package().deb});
    EXPECT_EQ(result.exitCode, 0) << result.output.toStdString();
    EXPECT_FALSE(result.output.contains(QRegularExpression(u"^[EWIPX]: "_qs, QRegularExpression::MultilineOption)))
        << result.output.toStdString();
}

TEST(Install, TheSameBuildMakesTheSamePackageLaterAndElsewhereWithNoBuildPathInside)
{
    ASSERT_FALSE(package().deb.isEmpty());
    QTest::qWait(1100); // a later second: file times differ unless the package fixes them
    const BuiltPackage again;
    ASSERT_FALSE(again.deb.isEmpty());
    EXPECT_EQ(contentsOf(package().deb), contentsOf(again.deb))
        << "cmp " << package().deb.toStdString() << " " << again.deb.toStdString();

    // Neither the source nor the build folder is written into an installed
    // file, and the programs carry no run path for the installation to blank.
    const QDir root = package().stagedRoot();
    ASSERT_TRUE(root.exists());
    int files = 0;
    for (QDirIterator it(root.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext(); ++files) {
        const QString path = it.next();
        const QByteArray bytes = contentsOf(path);
        for (const QByteArray &folder : {QByteArray(BRIMBLE_SOURCE_DIR), QByteArray(BRIMBLE_BUILD_DIR)})
            EXPECT_FALSE(bytes.contains(folder)) << folder.toStdString() << " in " << path.toStdString();
    }
    EXPECT_GT(files, int(installedFiles.size()));
    for (const QString &built : {QStringLiteral(BRIMBLE_EXECUTABLE), QStringLiteral(BRIMBLE_LOGIN_HELPER),
                                 QStringLiteral(BRIMBLE_HTTP_MODULE)}) {
        const QString dynamic = runTool(u"readelf"_qs, {u"--dynamic"_qs, built});
        EXPECT_TRUE(dynamic.contains(u"(NEEDED)"_qs)) << built.toStdString();
        EXPECT_FALSE(dynamic.contains(u"PATH)"_qs)) << built.toStdString() << dynamic.toStdString();
    }
}

TEST(Install, TheScreenshotsAreListedOnceTheyHaveAnHttpsAddress)
{
    TestFolder folder;
    const QString metainfo = folder.filePath(u"org.brimble.Brimble.metainfo.xml"_qs);
    const auto generate = [&](const QString &base) {
        return run(QStringLiteral(CMAKE_COMMAND),
                   {u"-DPROJECT_VERSION=1.0.0"_qs, u"-DBRIMBLE_METAINFO_OUTPUT="_qs + metainfo,
                    u"-DBRIMBLE_SCREENSHOT_BASE_URL="_qs + base, u"-P"_qs,
                    QStringLiteral(BRIMBLE_SOURCE_DIR "/cmake/BrimbleMetainfo.cmake")});
    };
    EXPECT_NE(generate(u"http://screenshots.example.org"_qs).exitCode, 0) << "software centres want https";

    ASSERT_EQ(generate(u"https://screenshots.example.org/brimble/"_qs).exitCode, 0);
    EXPECT_EQ(metainfoProblems(metainfo), QStringList());
    // Each picture listed is one of the tree, in each language.
    const QString xml = QString::fromUtf8(contentsOf(metainfo));
    const QRegularExpression image(u"<image[^>]*>https://screenshots\\.example\\.org/brimble/([^<]+)</image>"_qs);
    QStringList listed;
    for (const auto &match : image.globalMatch(xml))
        listed.append(match.captured(1));
    EXPECT_EQ(listed.size(), 4) << xml.toStdString();
    for (const QString &name : listed)
        EXPECT_TRUE(QFile::exists(QStringLiteral(BRIMBLE_SOURCE_DIR "/resources/screenshots/") + name))
            << name.toStdString();
    EXPECT_EQ(xml.count(u"<caption>"_qs), xml.count(u"<caption xml:lang=\"fr\">"_qs));
}

} // namespace
