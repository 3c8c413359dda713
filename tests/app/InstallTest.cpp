// The installed application: the Debian package cpack makes of this build
// (made once, shared by the tests), what a distribution's review checks of
// it, the desktop validators on the files it holds, and the installed
// program started on the display from the tree the package was staged from.

#include "app/DesktopSearchService.h"
#include "platform/ModuleHttpClient.h"
#include "platform/PlistPreferencesStore.h"
#include "store/LocalizedText.h"
#include "store/StoreKeys.h"

#include "BrimbleProcess.h"
#include "support/LocalHttpServer.h"

#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <memory>

#include <sys/stat.h>

namespace {

// What an installation holds, relative to its prefix.
const QStringList installedFiles =
    QStringLiteral("bin/brimble libexec/brimble-login-helper share/applications/org.brimble.Brimble.desktop "
                   "share/metainfo/org.brimble.Brimble.metainfo.xml "
                   "share/icons/hicolor/scalable/apps/org.brimble.Brimble.svg "
                   "share/icons/hicolor/48x48/apps/org.brimble.Brimble.png "
                   "share/icons/hicolor/256x256/apps/org.brimble.Brimble.png "
                   "share/icons/hicolor/symbolic/apps/org.brimble.Brimble-symbolic.svg "
                   "share/gnome-shell/search-providers/org.brimble.Brimble.search-provider.ini "
                   "share/krunner/dbusplugins/org.brimble.Brimble.desktop "
                   "share/dbus-1/services/org.brimble.Brimble.SearchProvider.service "
                   "share/kio/servicemenus/org.brimble.Brimble.add.desktop "
                   "share/nemo/actions/org.brimble.Brimble.add.nemo_action share/man/man1/brimble.1.gz "
                   "share/man/fr/man1/brimble.1.gz share/doc/brimble/copyright share/doc/brimble/changelog.gz "
                   "share/lintian/overrides/brimble")
        .split(u' ');

// Where the installed program looks for its network module, relative to the prefix.
const QString installedModule = ModuleHttpClient::installedPath(QStringLiteral("bin"));

// What a tool printed (standard error merged in), run to its end under a
// fixed umask, as the files cpack writes take their modes from it; a failed
// run fails the test.
QString runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setChildProcessModifier([] { ::umask(022); });
    process.start(program, arguments);
    const bool ended = process.waitForFinished(300000) && process.exitStatus() == QProcess::NormalExit;
    const QString output = QString::fromUtf8(process.readAll());
    EXPECT_TRUE(ended && process.exitCode() == 0)
        << program.toStdString() << " " << arguments.join(u' ').toStdString() << "\n"
        << output.toStdString();
    return output;
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

// Whether a window of the "instance" and "class" names is shown on the X display.
bool showsWindowOfClass(const QByteArray &instance, const QByteArray &windowClass)
{
    bool shows = false;
    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    const xcb_window_t root = xcb_connection_has_error(c) ? 0 : xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_query_tree_reply_t *tree = root ? xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr) : nullptr;
    for (int i = 0; tree && i < xcb_query_tree_children_length(tree); ++i) {
        const xcb_window_t window = xcb_query_tree_children(tree)[i];
        auto *attributes = xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr);
        auto *property = xcb_get_property_reply(
            c, xcb_get_property(c, 0, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256), nullptr);
        shows = shows
                || (attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE && property
                    && QByteArray(static_cast<const char *>(xcb_get_property_value(property)),
                                  xcb_get_property_value_length(property))
                               .split('\0')
                               .mid(0, 2)
                           == QList<QByteArray>{instance, windowClass});
        free(attributes);
        free(property);
    }
    free(tree);
    xcb_disconnect(c);
    return shows;
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

TEST(Install, TheDebianPackageHoldsAValidDesktopApplicationThatStartsFromWhereItIsInstalled)
{
    ASSERT_FALSE(package().deb.isEmpty());
    const QString contents = runTool(u"dpkg-deb"_qs, {u"--contents"_qs, package().deb});
    for (const QString &file : installedFiles + QStringList{installedModule})
        EXPECT_TRUE(contents.contains(QStringLiteral(" ./usr/") + file + u'\n')) << file.toStdString();
    // Nothing to run at installation or removal, so nothing left behind in
    // the "rc" state once removed.
    const QString control = runTool(u"dpkg-deb"_qs, {u"--info"_qs, package().deb});
    for (const char *script : {"preinst", "postinst", "prerm", "postrm"})
        EXPECT_FALSE(control.contains(QLatin1String(script))) << control.toStdString();

    // Besides the libraries read off the programs: plugins no program links.
    const QString fields = runTool(u"dpkg-deb"_qs, {u"--field"_qs, package().deb});
    for (const char *field : {"\nDepends: .*\\bqt6-qpa-plugins\\b", "\nRecommends: .*\\bqt6-wayland\\b"})
        EXPECT_TRUE(fields.contains(QRegularExpression(QString::fromLatin1(field)))) << field << fields.toStdString();

    // The rest runs from the installation the package was staged from.
    const QDir root = package().stagedRoot();
    ASSERT_TRUE(QFileInfo(root.filePath(u"bin/brimble"_qs)).isExecutable()) << root.path().toStdString();

    // The network module works from where the installed program looks for it.
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

    const QString desktopFile = root.filePath(QStringLiteral("share/applications/org.brimble.Brimble.desktop"));
    EXPECT_EQ(runTool(u"desktop-file-validate"_qs, {desktopFile}).trimmed(), QString());
    const QString entry = QString::fromUtf8(contentsOf(desktopFile));
    EXPECT_EQ(metainfoProblems(root.filePath(u"share/metainfo/org.brimble.Brimble.metainfo.xml"_qs)), QStringList());

    // Its texts are compiled in, its start at login names the installed
    // helper, and its windows carry the class the desktop entry names.
    TestFolder home;
    PlistPreferencesStore(home.filePath(u"config/brimble/preferences.plist"_qs))
        .setBool(true, StoreKeys::loginStartStatus);
    BrimbleProcess brimble(home, {.environment = {u"LANGUAGE=fr_FR"_qs, u"QT_QPA_PLATFORM=xcb"_qs},
                                  .program = root.filePath(u"bin/brimble"_qs)});
    ASSERT_TRUE(brimble.waitForLine("fr")) << brimble.output.toStdString();
    const QString entryPath = home.filePath(u"config/autostart/org.brimble.Brimble.desktop"_qs);
    EXPECT_TRUE(QTest::qWaitFor([&] { return QFile::exists(entryPath); }, 5000))
        << "written after the language is chosen";
    const QString autostart = QString::fromUtf8(contentsOf(entryPath));
    const QString helper = root.filePath(u"libexec/brimble-login-helper"_qs);
    const QString group = u"Desktop Entry"_qs;
    EXPECT_EQ(keyIn(autostart, group, u"Exec"_qs), u'"' + helper + u'"');
    EXPECT_EQ(keyIn(autostart, group, u"Comment[fr]"_qs),
              loadLanguageTable(u"French"_qs)->value(u"IDS_BR_520"_qs).toString());

    const QByteArray windowClass = keyIn(entry, group, u"StartupWMClass"_qs).toUtf8();
    EXPECT_FALSE(windowClass.isEmpty());
    EXPECT_TRUE(QTest::qWaitFor([&] { return showsWindowOfClass("brimble", windowClass); }, 10000))
        << "StartupWMClass=" << windowClass.toStdString();
    brimble.terminate();
}

TEST(Install, TheDesktopsSearchFindsBrimbleWhereItServes)
{
    ASSERT_FALSE(package().deb.isEmpty());
    const QDir root = package().stagedRoot();
    const QString service = QString::fromLatin1(DesktopSearchService::serviceName);
    const char *provider = "share/gnome-shell/search-providers/org.brimble.Brimble.search-provider.ini";
    const char *activation = "share/dbus-1/services/org.brimble.Brimble.SearchProvider.service";
    const char *runner = "share/krunner/dbusplugins/org.brimble.Brimble.desktop";
    // GNOME Shell, KRunner and the bus find the objects Brimble serves.
    const struct
    {
        const char *file, *group, *key;
        QString value;
    } keys[] = {
        {provider, "Shell Search Provider", "BusName", service},
        {provider, "Shell Search Provider", "ObjectPath", QLatin1String(DesktopSearchService::shellObjectPath)},
        {activation, "D-BUS Service", "Name", service},
        {runner, "Desktop Entry", "X-Plasma-DBusRunner-Service", service},
        {runner, "Desktop Entry", "X-Plasma-DBusRunner-Path", QLatin1String(DesktopSearchService::runnerObjectPath)},
    };
    for (const auto &k : keys)
        EXPECT_EQ(keyIn(QString::fromUtf8(contentsOf(root.filePath(QLatin1String(k.file)))), QLatin1String(k.group),
                        QLatin1String(k.key)),
                  k.value)
            << k.file << " " << k.key;
    EXPECT_EQ(runTool(u"desktop-file-validate"_qs, {root.filePath(QLatin1String(runner))}).trimmed(), QString());
}

TEST(Install, LintianFindsNothingInThePackage)
{
    const QString lintian = QStandardPaths::findExecutable(u"lintian"_qs);
    if (lintian.isEmpty())
        GTEST_SKIP() << "lintian is not installed";
    ASSERT_FALSE(package().deb.isEmpty());
    // Every tag at every level; the overrides the package ships say why
    // each of theirs holds.
    const QString output = runTool(lintian,
                                   {u"--pedantic"_qs, u"--display-info"_qs, u"--display-experimental"_qs,
                                    u"--fail-on"_qs, u"error,warning,info,pedantic,experimental"_qs, package().deb});
    EXPECT_FALSE(output.contains(QRegularExpression(u"^[EWIPX]: "_qs, QRegularExpression::MultilineOption)))
        << output.toStdString();
}

} // namespace
