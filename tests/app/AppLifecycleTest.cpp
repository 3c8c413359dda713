#include "BrimbleProcess.h"
#include "ShellFixture.h"

#include "app/ContainerVc.h"
#include "app/ManagerWindow.h"
#include "app/SingleInstance.h"
#include "platform/PlistPreferencesStore.h"
#include "quicklist/ViewController.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLocale>
#include <QLockFile>
#include <QTest>

namespace {

TEST(BrimbleProcess, EndsCleanlyOnSignalsAndKeepsToOneInstance)
{
    for (int signalNumber : {SIGTERM, SIGINT}) {
        TestFolder home;
        // Past the first run, so that launch builds every page of the window.
        PlistPreferencesStore(preferencesPath(home)).setInteger(1, StoreKeys::first);
        BrimbleProcess first(home);
        ASSERT_TRUE(first.waitForLine("en")) << first.output.toStdString();
        EXPECT_EQ(exitCodeOf(home, {}), 0);
        EXPECT_EQ(exitCodeOf(home, {.arguments = {u"--toggle"_qs}}), 0);
        EXPECT_EQ(first.process.state(), QProcess::Running);

        // Launched and its popup shown, it has still not gone online nor
        // asked the desktop for applications: neither library is mapped.
        QFile maps(u"/proc/%1/maps"_qs.arg(first.process.processId()));
        ASSERT_TRUE(maps.open(QIODevice::ReadOnly));
        const QByteArray mapped = maps.readAll();
        EXPECT_FALSE(mapped.contains("libQt6Network") || mapped.contains("libgio-2.0"));

        ::kill(pid_t(first.process.processId()), signalNumber);
        first.terminate();
        // What the first start decided is on disk after the signal.
        EXPECT_EQ(PlistPreferencesStore(preferencesPath(home)).boolForKey(StoreKeys::checkUniquiidAdded), true);
    }
}

TEST(BrimbleProcess, ARelaunchedProcessWaitsForTheOldOneToLetGo)
{
    TestFolder home;
    BrimbleProcess old(home);
    ASSERT_TRUE(old.waitForLine("en"));
    BrimbleProcess relaunched(home, {.environment = {u"BRIMBLE_RELAUNCHED=1"_qs}});
    EXPECT_FALSE(relaunched.process.waitForFinished(700)) << "it must not hand its start to the old process";
    old.terminate();

    // The relaunched process now takes the lock and answers later starts.
    QLockFile lock(SingleInstance::lockFilePath(preferencesPath(home)));
    ASSERT_TRUE(QTest::qWaitFor([&] {
        qint64 pid = 0;
        return lock.getLockInfo(&pid, nullptr, nullptr) && pid == relaunched.process.processId();
    }, 10000));
    EXPECT_EQ(exitCodeOf(home, {}), 0);
    EXPECT_EQ(relaunched.process.state(), QProcess::Running);
    relaunched.terminate();
}

TEST(BrimbleProcess, KeepsAnUnreadablePreferencesFileAside)
{
    TestFolder home;
    const QByteArray damaged("<plist><dict><key>allgroups</key>");
    const QDir folder(home.filePath(u"config/brimble"_qs));
    QFile file(preferencesPath(home));
    ASSERT_TRUE(folder.mkpath(u"."_qs) && file.open(QIODevice::WriteOnly) && file.write(damaged) == damaged.size());
    file.close();

    BrimbleProcess brimble(home);
    ASSERT_TRUE(brimble.waitForLine("en"));
    brimble.terminate();
    const QStringList aside = folder.entryList({u"preferences.plist.corrupt-*"_qs});
    ASSERT_EQ(aside.size(), 1);
    EXPECT_EQ(contentsOf(folder.filePath(aside.first())), damaged);
    EXPECT_TRUE(PlistPreferencesStore(preferencesPath(home)).boolForKey(StoreKeys::checkUniquiidAdded));
}

TEST(BrimbleProcess, HelpAndCommandLineErrorsSpeakTheSystemsLanguage)
{
    const QStringList inFrench{u"LANGUAGE=fr_FR"_qs};
    TestFolder home;
    BrimbleProcess help(home, {.arguments = {u"--help"_qs}, .environment = inFrench});
    ASSERT_TRUE(help.finish());
    EXPECT_EQ(help.process.exitCode(), 0);
    for (const char *key : {"IDS_BR_343", "IDS_BR_345", "IDS_BR_346", "IDS_BR_347"})
        EXPECT_TRUE(help.output.contains(keyedText("French", key))) << key << "\n" << help.output.constData();
    EXPECT_FALSE(QFile::exists(preferencesPath(home))) << "asking for help stores nothing";

    const struct { const char *argument, *key, *named; } mistakes[] = {
        {"--bogus", "IDS_BR_348", "--bogus"}, {"--toggle=yes", "IDS_BR_349", "--toggle"}};
    for (const auto &mistake : mistakes) {
        BrimbleProcess wrong(home, {.arguments = {QString::fromLatin1(mistake.argument)}, .environment = inFrench});
        ASSERT_TRUE(wrong.finish());
        EXPECT_EQ(wrong.process.exitCode(), 1);
        EXPECT_EQ(wrong.process.readAllStandardError(),
                  "brimble: " + keyedText("French", mistake.key).replace("%1", mistake.named) + '\n');
    }

    // Without a display the help still answers; starting says why it cannot.
    QProcess console;
    QProcessEnvironment environment = help.process.processEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    console.setProcessEnvironment(environment);
    for (const QString &argument : {u"--help"_qs, u"--toggle"_qs}) {
        console.start(QStringLiteral(BRIMBLE_EXECUTABLE), {argument});
        ASSERT_TRUE(console.waitForFinished(10000));
        const bool helps = argument == u"--help"_qs;
        EXPECT_EQ(console.exitCode(), helps ? 0 : 1);
        EXPECT_TRUE(helps ? console.readAllStandardOutput().contains(keyedText("French", "IDS_BR_345"))
                          : console.readAllStandardError() == "brimble: " + keyedText("French", "IDS_BR_340") + '\n');
    }
}

TEST(BrimbleProcess, OneStoreIsNeverWrittenByTwoProcessesYetACrashBlocksNoStart)
{
    TestFolder home;
    BrimbleProcess crashed(home, {.runtimeFolder = u"runtime-a"_qs});
    ASSERT_TRUE(crashed.waitForLine("en")) << crashed.output.toStdString();
    crashed.process.kill();
    crashed.finish();
    BrimbleProcess first(home, {.runtimeFolder = u"runtime-a"_qs});
    ASSERT_TRUE(first.waitForLine("en")) << "the lock and socket left behind must not block the next start";

    BrimbleProcess second(home, {.runtimeFolder = u"runtime-b"_qs});
    ASSERT_TRUE(second.finish());
    EXPECT_NE(second.process.exitCode(), 0) << "it cannot reach the first one, and must not start";
    EXPECT_EQ(first.process.state(), QProcess::Running);
    first.terminate();
}

TEST(BrimbleProcess, AStoreThatCannotBeSavedIsReportedAtQuit)
{
    TestFolder home;
    PlistPreferencesStore(preferencesPath(home)).setObject(QString(5000, u'x'), u"padding"_qs);
    // Room for the lock file, none for the store.
    BrimbleProcess brimble(home, {.fileSizeLimit = rlim_t(2048)});
    ASSERT_TRUE(brimble.waitForLine("en")) << brimble.process.readAllStandardError().toStdString();
    brimble.terminate(1);
    const QByteArray errors = brimble.process.readAllStandardError();
    const QString notSaved = QString::fromUtf8(keyedText("English", "IDS_BR_350")).arg(preferencesPath(home));
    EXPECT_TRUE(errors.contains(QByteArray("brimble: " + notSaved.toUtf8() + '\n'))) << errors.toStdString();
}

TEST(AppDelegate, AStartAtLoginOpensNoWindowAndQtSpeaksTheChosenLanguage)
{
    LaunchedApp atLogin({.firstRunOver = false, .atLogin = true});
    EXPECT_EQ(atLogin.loginItems->killLauncherSent, 1);
    EXPECT_EQ(atLogin.delegate->existingManagerWindow(), nullptr);

    LaunchedApp byHand({.firstRunOver = false});
    EXPECT_EQ(byHand.loginItems->killLauncherSent, 0);
    const ManagerWindow *window = byHand.delegate->existingManagerWindow();
    EXPECT_TRUE(window && window->isVisible() && window->isShowingOnboarding());
    EXPECT_EQ(LaunchedApp({}).delegate->existingManagerWindow()->containerPage(), ContainerVc::managerPage);

    // Qt formats dates and file types in the chosen language.
    for (const int language : {1, 0}) {
        LaunchedApp app({.atLogin = true, .store = [language](PreferencesStore &stored) {
                             stored.setInteger(language, StoreKeys::selectedLanguage);
                         }});
        EXPECT_EQ(QLocale().language(), language == 1 ? QLocale::French : QLocale::English);
    }
}

TEST(AppDelegate, AToggleLaunchOpensThePopupOnceTheFirstRunIsOver)
{
    {
        LaunchedApp toggled({.opening = AppDelegate::Opening::popover});
        EXPECT_TRUE(toggled.delegate->existingPopover() && toggled.delegate->existingPopover()->isPopoverShown());
        EXPECT_EQ(toggled.delegate->existingManagerWindow(), nullptr);
    }
    LaunchedApp firstRun({.firstRunOver = false, .opening = AppDelegate::Opening::popover});
    EXPECT_TRUE(firstRun.delegate->existingManagerWindow()->isShowingOnboarding());
    EXPECT_EQ(firstRun.delegate->existingPopover(), nullptr);
}

TEST(AppDelegate, PopupSettingsOpenTheWindowOnTheirPage)
{
    LaunchedApp app({.atLogin = true});
    AppDelegate &delegate = *app.delegate;
    delegate.showPopover(); // the popup is built when it first opens
    // Straight to the preferences: no first-group box on the way.
    Q_EMIT delegate.existingPopover()->showPreferencesRequested();
    ManagerWindow *window = delegate.existingManagerWindow();
    ASSERT_TRUE(window && window->isVisible());
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
        EXPECT_TRUE(app.hotKeys->registrations.isEmpty());
        app.delegate->togglePopover();
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "no popup before the first run ends";
    }

    LaunchedApp app({.store = [](PreferencesStore &stored) {
        stored.setBool(false, StoreKeys::loginStartStatus);
        stored.setObject(u"k"_qs, StoreKeys::shortcutKey);
        stored.setObject(QVariantList{qint64(11), qint64(13)}, StoreKeys::shortcutflag);
    }});
    AppDelegate &delegate = *app.delegate;
    EXPECT_TRUE(app.loginItems->calls == 1 && !app.loginItems->lastEnabled);

    delegate.togglePopover();
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    delegate.showPopover();
    EXPECT_NE(QApplication::activePopupWidget(), nullptr) << "showing never closes";
    delegate.togglePopover();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);

    // The stored shortcut is registered at launch, and its press opens the popup.
    ASSERT_EQ(app.hotKeys->registrations.size(), 1);
    const FakeHotKeyService::Registration registration = app.hotKeys->registrations.first();
    testing::internal::CaptureStdout();
    app.hotKeys->press(registration.id.signature, registration.id.id);
    testing::internal::GetCapturedStdout();
    EXPECT_NE(QApplication::activePopupWidget(), nullptr);
}

} // namespace
