#include "ShellFixture.h"

#include "app/ContainerVc.h"
#include "app/ManagerWindow.h"
#include "platform/PlistPreferencesStore.h"
#include "quicklist/ViewController.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QLockFile>
#include <QProcess>
#include <QTest>
#include <QWidget>

#include <csignal>
#include <optional>

#include <sys/resource.h>

namespace {

// The brimble executable, run with private XDG folders of its own.
class BrimbleProcess
{
public:
    // fileSizeLimit: files the process writes may not grow beyond this many bytes.
    explicit BrimbleProcess(const TestFolder &home, const QStringList &arguments = {},
                            const QStringList &extraEnvironment = {},
                            const QString &runtimeFolder = QStringLiteral("runtime"),
                            std::optional<rlim_t> fileSizeLimit = std::nullopt)
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("HOME"), home.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), home.filePath(runtimeFolder));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("LANGUAGE"), QStringLiteral("en_US"));
        for (const QString &setting : extraEnvironment)
            environment.insert(setting.section(u'=', 0, 0), setting.section(u'=', 1));
        QDir().mkpath(home.filePath(runtimeFolder));
        QFile::setPermissions(home.filePath(runtimeFolder),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        process.setProcessEnvironment(environment);
        if (const auto limit = fileSizeLimit) {
            process.setChildProcessModifier([limit] {
                const rlimit size{*limit, *limit};
                ::setrlimit(RLIMIT_FSIZE, &size);
                ::signal(SIGXFSZ, SIG_IGN); // a write beyond the limit then fails instead of killing
            });
        }
        process.start(QStringLiteral(BRIMBLE_EXECUTABLE), arguments);
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

    QProcess process;
    QByteArray output;
};

QString preferencesPath(const TestFolder &home)
{
    return home.filePath(QStringLiteral("config/brimble/preferences.plist"));
}

TEST(BrimbleProcess, EndsCleanlyOnSignalsAndKeepsToOneInstance)
{
    for (int signalNumber : {SIGTERM, SIGINT}) {
        TestFolder home;
        // Past the first run, so that launch builds every page of the window.
        PlistPreferencesStore(preferencesPath(home)).setInteger(1, StoreKeys::first);
        BrimbleProcess first(home);
        ASSERT_TRUE(first.waitForLine("en")) << first.output.toStdString();

        BrimbleProcess second(home);
        ASSERT_TRUE(second.finish());
        EXPECT_EQ(second.process.exitCode(), 0);
        BrimbleProcess toggle(home, {QStringLiteral("--toggle")});
        ASSERT_TRUE(toggle.finish());
        EXPECT_EQ(toggle.process.exitCode(), 0);
        EXPECT_EQ(first.process.state(), QProcess::Running);

        // Launched and its popup shown, it has still not gone online nor
        // asked the desktop for applications: neither library is mapped.
        QFile maps(QStringLiteral("/proc/%1/maps").arg(first.process.processId()));
        ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
        const QByteArray mapped = maps.readAll();
        EXPECT_FALSE(mapped.contains("libQt6Network"));
        EXPECT_FALSE(mapped.contains("libgio-2.0"));

        ::kill(pid_t(first.process.processId()), signalNumber);
        ASSERT_TRUE(first.finish());
        EXPECT_EQ(first.process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(first.process.exitCode(), 0);
        EXPECT_TRUE(first.output.endsWith("terminate\n")) << first.output.toStdString();

        // What the first start decided is on disk after the signal.
        PlistPreferencesStore stored(preferencesPath(home));
        EXPECT_EQ(stored.boolForKey(StoreKeys::checkUniquiidAdded), true);
        EXPECT_EQ(stored.boolForKey(StoreKeys::showFileListInFolder), false);
        EXPECT_EQ(stored.integerForKey(StoreKeys::selectedLanguage), 0);
    }
}

TEST(BrimbleProcess, StartsAfterACrashLeftItsLockAndSocketBehind)
{
    TestFolder home;
    BrimbleProcess crashed(home);
    ASSERT_TRUE(crashed.waitForLine("en"));
    crashed.process.kill();
    crashed.finish();

    BrimbleProcess next(home);
    ASSERT_TRUE(next.waitForLine("en")) << "a stale lock must not block the next start";
    next.process.terminate();
    ASSERT_TRUE(next.finish());
    EXPECT_TRUE(next.output.endsWith("terminate\n"));
}

TEST(BrimbleProcess, ARelaunchedProcessWaitsForTheOldOneToLetGo)
{
    TestFolder home;
    BrimbleProcess old(home);
    ASSERT_TRUE(old.waitForLine("en"));

    BrimbleProcess relaunched(home, {}, {QStringLiteral("BRIMBLE_RELAUNCHED=1")});
    EXPECT_FALSE(relaunched.process.waitForFinished(700)) << "it must not hand its start to the old process";
    old.process.terminate();
    ASSERT_TRUE(old.finish());

    // The relaunched process now takes the lock and answers later starts.
    QLockFile lock(preferencesPath(home) + QStringLiteral(".lock"));
    const auto lockHolder = [&lock] {
        qint64 pid = 0;
        return lock.getLockInfo(&pid, nullptr, nullptr) ? pid : 0;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return lockHolder() == relaunched.process.processId(); }, 10000));
    BrimbleProcess later(home);
    ASSERT_TRUE(later.finish());
    EXPECT_EQ(later.process.exitCode(), 0);
    EXPECT_EQ(relaunched.process.state(), QProcess::Running);
    relaunched.process.terminate();
    ASSERT_TRUE(relaunched.finish());
    EXPECT_TRUE(relaunched.output.endsWith("terminate\n")) << relaunched.output.toStdString();
}

TEST(BrimbleProcess, KeepsAnUnreadablePreferencesFileAside)
{
    TestFolder home;
    QDir().mkpath(home.filePath(QStringLiteral("config/brimble")));
    QFile damaged(preferencesPath(home));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("<plist><dict><key>allgroups</key>");
    damaged.close();

    BrimbleProcess brimble(home);
    ASSERT_TRUE(brimble.waitForLine("en"));
    brimble.process.terminate();
    ASSERT_TRUE(brimble.finish());

    const QStringList aside = QDir(home.filePath(QStringLiteral("config/brimble")))
                                  .entryList({QStringLiteral("preferences.plist.corrupt-*")});
    ASSERT_EQ(aside.size(), 1);
    QFile kept(home.filePath(QStringLiteral("config/brimble/")) + aside.first());
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), QByteArray("<plist><dict><key>allgroups</key>"));
    EXPECT_TRUE(PlistPreferencesStore(preferencesPath(home)).boolForKey(StoreKeys::checkUniquiidAdded));
}

TEST(BrimbleProcess, HelpAndCommandLineErrorsSpeakTheInterfacesLanguage)
{
    const auto french = loadLanguageTable(QStringLiteral("French"));
    const auto english = loadLanguageTable(QStringLiteral("English"));
    ASSERT_TRUE(french && english);
    const auto text = [](const std::optional<QVariantMap> &table, const char *key) {
        return table->value(QString::fromLatin1(key)).toString().toUtf8();
    };
    const QStringList inFrench{QStringLiteral("LANGUAGE=fr_FR")};

    TestFolder home;
    BrimbleProcess help(home, {QStringLiteral("--help")}, inFrench);
    ASSERT_TRUE(help.finish());
    EXPECT_EQ(help.process.exitCode(), 0);
    for (const char *key : {"IDS_BR_343", "IDS_BR_345", "IDS_BR_346", "IDS_BR_347"})
        EXPECT_TRUE(help.output.contains(text(french, key))) << key << "\n" << help.output.constData();
    EXPECT_TRUE(help.output.contains("--toggle"));
    EXPECT_FALSE(QFile::exists(preferencesPath(home))) << "asking for help stores nothing";

    const struct { const char *argument, *key, *named; } mistakes[] = {
        {"--bogus", "IDS_BR_348", "--bogus"}, {"--toggle=yes", "IDS_BR_349", "--toggle"}};
    for (const auto &mistake : mistakes) {
        BrimbleProcess wrong(home, {QString::fromLatin1(mistake.argument)}, inFrench);
        ASSERT_TRUE(wrong.finish());
        EXPECT_EQ(wrong.process.exitCode(), 1);
        EXPECT_EQ(wrong.process.readAllStandardError(),
                  "brimble: " + text(french, mistake.key).replace("%1", mistake.named) + '\n');
    }

    // Without a display the help still answers; starting says why it cannot.
    QProcess console;
    QProcessEnvironment environment = help.process.processEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    console.setProcessEnvironment(environment);
    console.start(QStringLiteral(BRIMBLE_EXECUTABLE), {QStringLiteral("--help")});
    ASSERT_TRUE(console.waitForFinished(10000));
    EXPECT_EQ(console.exitCode(), 0);
    EXPECT_TRUE(console.readAllStandardOutput().contains(text(french, "IDS_BR_345")));
    console.start(QStringLiteral(BRIMBLE_EXECUTABLE), {QStringLiteral("--toggle")});
    ASSERT_TRUE(console.waitForFinished(10000));
    EXPECT_EQ(console.exitCode(), 1);
    EXPECT_EQ(console.readAllStandardError(), "brimble: " + text(french, "IDS_BR_340") + '\n');

    // The language chosen in the preferences wins over the system's.
    QDir().mkpath(home.filePath(QStringLiteral("config/brimble")));
    PlistPreferencesStore(preferencesPath(home)).setInteger(0, StoreKeys::selectedLanguage);
    BrimbleProcess chosen(home, {QStringLiteral("-h")}, inFrench);
    ASSERT_TRUE(chosen.finish());
    EXPECT_TRUE(chosen.output.contains(text(english, "IDS_BR_345"))) << chosen.output.constData();
}

TEST(BrimbleProcess, OneStoreIsNeverWrittenByTwoProcessesWhateverTheRuntimeFolder)
{
    TestFolder home;
    BrimbleProcess first(home, {}, {}, QStringLiteral("runtime-a"));
    ASSERT_TRUE(first.waitForLine("en")) << first.output.toStdString();

    BrimbleProcess second(home, {}, {}, QStringLiteral("runtime-b"));
    ASSERT_TRUE(second.finish());
    EXPECT_NE(second.process.exitCode(), 0) << "it cannot reach the first one, and must not start";
    EXPECT_FALSE(second.output.contains("en\n"));
    EXPECT_EQ(first.process.state(), QProcess::Running);
    EXPECT_TRUE(QFileInfo::exists(preferencesPath(home) + QStringLiteral(".lock")));

    first.process.terminate();
    ASSERT_TRUE(first.finish());
    EXPECT_EQ(first.process.exitCode(), 0);
}

TEST(BrimbleProcess, AStoreThatCannotBeSavedIsReportedAtQuit)
{
    TestFolder home;
    PlistPreferencesStore(preferencesPath(home)).setObject(QString(5000, QLatin1Char('x')), QStringLiteral("padding"));
    // Room for the lock file, none for the store.
    BrimbleProcess brimble(home, {}, {}, QStringLiteral("runtime"), rlim_t(2048));
    ASSERT_TRUE(brimble.waitForLine("en")) << brimble.output.toStdString()
                                           << brimble.process.readAllStandardError().toStdString();
    brimble.process.terminate();
    ASSERT_TRUE(brimble.finish());
    EXPECT_EQ(brimble.process.exitStatus(), QProcess::NormalExit);
    EXPECT_NE(brimble.process.exitCode(), 0);
    EXPECT_TRUE(brimble.output.endsWith("terminate\n"));
    const QByteArray errors = brimble.process.readAllStandardError();
    const auto english = loadLanguageTable(QStringLiteral("English"));
    ASSERT_TRUE(english);
    const QString notSaved = english->value(QStringLiteral("IDS_BR_350")).toString().arg(preferencesPath(home));
    EXPECT_TRUE(errors.contains(QByteArray("brimble: " + notSaved.toUtf8() + '\n'))) << errors.toStdString();
}

TEST(AppDelegate, AStartAtLoginOpensNoWindowAndQtSpeaksTheChosenLanguage)
{
    LaunchedApp atLogin({.firstRunOver = false, .atLogin = true});
    EXPECT_EQ(atLogin.loginItems->killLauncherSent, 1);
    EXPECT_EQ(atLogin.delegate->existingManagerWindow(), nullptr);

    LaunchedApp byHand({.firstRunOver = false});
    EXPECT_EQ(byHand.loginItems->killLauncherSent, 0);
    ASSERT_NE(byHand.delegate->existingManagerWindow(), nullptr);
    EXPECT_TRUE(byHand.delegate->existingManagerWindow()->isVisible());
    EXPECT_TRUE(byHand.delegate->existingManagerWindow()->isShowingOnboarding());

    LaunchedApp later({});
    EXPECT_EQ(later.delegate->existingManagerWindow()->containerPage(), ContainerVc::managerPage);

    // Qt formats dates and file types in the chosen language.
    for (const int language : {1, 0}) {
        LaunchedApp app({.atLogin = true, .store = [language](PreferencesStore &stored) {
                             stored.setInteger(language, StoreKeys::selectedLanguage);
                         }});
        EXPECT_EQ(QLocale().language(), language == 1 ? QLocale::French : QLocale::English);
    }
}

TEST(AppDelegate, PopupSettingsOpenTheWindowOnTheirPage)
{
    LaunchedApp app({.atLogin = true});
    AppDelegate &delegate = *app.delegate;
    ASSERT_EQ(delegate.existingManagerWindow(), nullptr);

    // Straight to the preferences: no first-group box on the way.
    delegate.showPopover(); // the popup is built when it first opens
    Q_EMIT delegate.existingPopover()->showPreferencesRequested();
    ManagerWindow *window = delegate.existingManagerWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->containerPage(), ContainerVc::preferencesPage);
    EXPECT_FALSE(window->containerVc()->isFirstGroupBoxShowing());

    Q_EMIT delegate.existingPopover()->manageShortcutRequested();
    EXPECT_EQ(window->containerPage(), ContainerVc::managerPage);
    EXPECT_TRUE(window->containerVc()->isFirstGroupBoxShowing()) << "no group stored yet";
}

TEST(AppDelegate, LaunchAppliesStoredSettingsAndGuardsThePopupUntilTheFirstRunEnds)
{
    {
        LaunchedApp app({.firstRunOver = false});
        EXPECT_EQ(app.loginItems->calls, 0);
        EXPECT_EQ(app.context->preferences->boolForKey(StoreKeys::showFileListInFolder), false);
        EXPECT_TRUE(app.hotKeys->registrations.isEmpty());
        app.delegate->togglePopover();
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "no popup before the first run ends";
    }

    LaunchedApp app({.store = [](PreferencesStore &stored) {
        stored.setBool(false, StoreKeys::loginStartStatus);
        stored.setBool(true, StoreKeys::showFileListInFolder);
        stored.setObject(QStringLiteral("k"), StoreKeys::shortcutKey);
        stored.setObject(QVariantList{qint64(11), qint64(13)}, StoreKeys::shortcutflag);
    }});
    AppDelegate &delegate = *app.delegate;
    EXPECT_EQ(app.loginItems->calls, 1);
    EXPECT_FALSE(app.loginItems->lastEnabled);
    EXPECT_EQ(app.context->preferences->boolForKey(StoreKeys::showFileListInFolder), true);

    delegate.togglePopover();
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    delegate.showPopover();
    EXPECT_NE(QApplication::activePopupWidget(), nullptr) << "showing never closes";
    delegate.togglePopover();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

    // The stored Ctrl+Alt+K is registered at launch, and its press opens the popup.
    ASSERT_EQ(app.hotKeys->registrations.size(), 1);
    const FakeHotKeyService::Registration registration = app.hotKeys->registrations.first();
    EXPECT_EQ(registration.keyCode, 0x28u);
    EXPECT_EQ(registration.modifiers, 0x900u);
    testing::internal::CaptureStdout();
    app.hotKeys->press(registration.id.signature, registration.id.id);
    EXPECT_EQ(testing::internal::GetCapturedStdout().rfind("Pressed at ", 0), 0u);
    EXPECT_NE(QApplication::activePopupWidget(), nullptr);
}

} // namespace
