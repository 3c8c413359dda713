#include "BrimbleProcess.h"
#include "ShellFixture.h"

#include "app/GroupChooserDialog.h"
#include "app/ManagerWindow.h"
#include "app/ManagerWindowPages.h"
#include "manager/ManagerGroups.h"
#include "manager/ManagerPage.h"
#include "platform/AtomicFile.h"
#include "platform/Paths.h"
#include "platform/PlistCodec.h"
#include "platform/PlistPreferencesStore.h"
#include "quicklist/PopupWindow.h"
#include "quicklist/QuickListView.h"
#include "store/StoredRecords.h"

#include "store/TextKeys.h"
#include "support/ProcessUntil.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QLocale>
#include <QLockFile>
#include <QPushButton>
#include <QSplitter>
#include <QTest>

#include <sys/stat.h>

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

TEST(BrimbleProcess, StartedThroughALinkItFindsItsFilesWhereTheLinkLeads)
{
    // The build folder's old place of the program is such a link.
    const QFileInfo link(QStringLiteral(BRIMBLE_EXECUTABLE_LINK));
    ASSERT_TRUE(link.isSymLink());
    ASSERT_EQ(link.canonicalFilePath(), QFileInfo(QStringLiteral(BRIMBLE_EXECUTABLE)).canonicalFilePath());
    TestFolder home;
    PlistPreferencesStore(preferencesPath(home)).setBool(true, StoreKeys::loginStartStatus);
    BrimbleProcess brimble(home, {.program = link.filePath()});
    ASSERT_TRUE(brimble.waitForLine("en")) << brimble.process.readAllStandardError().toStdString();
    // The login helper is found relative to the program, as the network
    // module and the icons are: the start-at-login entry names the real one.
    const QString entry = home.filePath(u"config/autostart/org.brimble.Brimble.desktop"_qs);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(entry); }, 10000));
    const QByteArray helper = QFile::encodeName(QFileInfo(QStringLiteral(BRIMBLE_LOGIN_HELPER)).canonicalFilePath());
    EXPECT_TRUE(contentsOf(entry).contains(QByteArray("\nExec=\"" + helper + "\"\n")))
        << contentsOf(entry).toStdString();
    brimble.terminate();
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
    QLockFile lock(Paths::lockFileFor(preferencesPath(home)));
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            qint64 pid = 0;
            return lock.getLockInfo(&pid, nullptr, nullptr) && pid == relaunched.process.processId();
        },
        10000));
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
    // Every option, the commands for scripts too, in either language.
    const struct
    {
        const char *language;
        QStringList environment;
    } languages[] = {{"English", {u"LANGUAGE=en_GB"_qs}}, {"French", inFrench}};
    QProcessEnvironment frenchHelpEnvironment; // the last one asked
    for (const auto &[language, environment] : languages) {
        BrimbleProcess help(home, {.arguments = {u"--help"_qs}, .environment = environment});
        ASSERT_TRUE(help.finish());
        EXPECT_EQ(help.process.exitCode(), 0);
        frenchHelpEnvironment = help.process.processEnvironment();
        for (const char *key :
             {"IDS_BR_343", "IDS_BR_345", "IDS_BR_346", "IDS_BR_347", "IDS_BR_600", "IDS_BR_601", "IDS_BR_602",
              "IDS_BR_603", "IDS_BR_604", "IDS_BR_605", "IDS_BR_606", "IDS_BR_607", "IDS_BR_608"})
            EXPECT_TRUE(help.output.contains(keyedText(language, key))) << language << " " << key << "\n"
                                                                        << help.output.constData();
    }
    EXPECT_FALSE(QFile::exists(preferencesPath(home))) << "asking for help stores nothing";

    const struct
    {
        const char *argument, *key, *named;
    } mistakes[] = {{"--bogus", "IDS_BR_348", "--bogus"}, {"--toggle=yes", "IDS_BR_349", "--toggle"}};
    for (const auto &mistake : mistakes) {
        BrimbleProcess wrong(home, {.arguments = {QString::fromLatin1(mistake.argument)}, .environment = inFrench});
        ASSERT_TRUE(wrong.finish());
        EXPECT_EQ(wrong.process.exitCode(), 1);
        EXPECT_EQ(wrong.process.readAllStandardError(),
                  "brimble: " + keyedText("French", mistake.key).replace("%1", mistake.named) + '\n');
    }

    // Without a display the help still answers; starting says why it cannot.
    QProcess console;
    QProcessEnvironment environment = frenchHelpEnvironment;
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

TEST(BrimbleProcess, QuittingWithoutChangesLosesNothingWhateverTheStore)
{
    // Stores that cannot be read, left alone; one that cannot be written
    // (room for the lock file, none for the store), where launch's own
    // changes fail. Nothing the session did is lost, so nothing is said.
    const auto writeFile = [](const QString &path, const QByteArray &bytes) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    const QByteArray padded = PlistCodec::toBinary(QVariantMap{{u"padding"_qs, QString(5000, u'x')}});
    const struct
    {
        const char *store;
        RunOptions options;
    } cases[] = {
        {"pipe", {}},
        {"folder", {}},
        {"unreadable", {.unprivileged = true}},
        {"too large to write", {.fileSizeLimit = rlim_t(2048)}},
    };
    for (const auto &run : cases) {
        TestFolder home;
        const QString path = preferencesPath(home);
        const QByteArray kind(run.store);
        QDir().mkpath(QFileInfo(path).path());
        ASSERT_TRUE(kind == "pipe"     ? ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0
                    : kind == "folder" ? QDir().mkpath(path)
                                       : writeFile(path, padded));
        if (kind == "unreadable")
            QFile::setPermissions(path, QFileDevice::WriteOwner);
        BrimbleProcess brimble(home, run.options);
        ASSERT_TRUE(brimble.waitForLine("en")) << run.store << brimble.process.readAllStandardError().toStdString();
        brimble.terminate(0);
        const QByteArray errors = brimble.process.readAllStandardError();
        EXPECT_FALSE(errors.contains(keyedText("English", "IDS_BR_350").left(20))) << run.store << errors.toStdString();
        const QFileInfo left(path);
        EXPECT_TRUE(kind == "pipe"     ? !left.isFile() && left.exists()
                    : kind == "folder" ? left.isDir()
                                       : left.isFile())
            << run.store;
        if (kind == "unreadable") {
            QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            EXPECT_EQ(contentsOf(path), padded) << "never written";
        }
    }
}

TEST(BrimbleProcess, OpeningThePopupWritesNothingAndAChangeMadeElsewhereIsNeverLost)
{
    TestFolder home;
    // The store lives in a synced folder; the configuration holds a link to it.
    const QString synced = home.filePath(u"Sync/preferences.plist"_qs);
    QDir().mkpath(home.filePath(u"Sync"_qs));
    QDir().mkpath(home.filePath(u"config/brimble"_qs));
    ASSERT_TRUE(QFile::link(synced, preferencesPath(home)));
    {
        PlistPreferencesStore seed(synced);
        seed.setInteger(1, StoreKeys::first);
        seed.setObject(StoredRecords::array({Group(u"Work"_qs)}), StoreKeys::allgroups);
    }
    BrimbleProcess brimble(home);
    ASSERT_TRUE(brimble.waitForLine("en")) << brimble.output.toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(synced + u".lock"_qs); }, 10000))
        << "the lock is taken for the file the link leads to";

    // Another computer's version arrives through the sync tool.
    QThread::msleep(800); // past the writes launch holds back
    QVariantMap theirs = PlistCodec::parse(contentsOf(synced)).value_or(QVariant()).toMap();
    theirs.insert(StoreKeys::allgroups, StoredRecords::array({Group(u"Work"_qs), Group(u"Elsewhere"_qs)}));
    QFile incoming(synced + u".incoming"_qs);
    ASSERT_TRUE(incoming.open(QIODevice::WriteOnly));
    incoming.write(PlistCodec::toBinary(theirs));
    incoming.close();
    ASSERT_EQ(::rename(QFile::encodeName(incoming.fileName()).constData(), QFile::encodeName(synced).constData()), 0);

    EXPECT_EQ(exitCodeOf(home, {.arguments = {u"--toggle"_qs}}), 0);
    EXPECT_EQ(exitCodeOf(home, {.arguments = {u"--toggle"_qs}}), 0);
    // Another home whose store leads to the same file cannot run beside it.
    TestFolder otherHome;
    QDir().mkpath(otherHome.filePath(u"config/brimble"_qs));
    ASSERT_TRUE(QFile::link(synced, preferencesPath(otherHome)));
    BrimbleProcess second(otherHome);
    ASSERT_TRUE(second.finish());
    EXPECT_NE(second.process.exitCode(), 0);
    brimble.terminate();
    EXPECT_TRUE(QFileInfo(preferencesPath(home)).isSymLink());
    const PlistPreferencesStore saved(synced);
    EXPECT_EQ(saved.arrayForKey(StoreKeys::allgroups)->size(), 2) << "the other computer's group is kept";
    EXPECT_FALSE(saved.hasObjectForKey(StoreKeys::tasks)) << "opening the popup stores nothing";
}

TEST(AppDelegate, ChangesMadeElsewhereShowInBothViewsAndDoubledItemsAreToldInTheWindow)
{
    TestFolder folder;
    const QString path = folder.filePath(u"preferences.plist"_qs);
    const auto record = [](qint64 uid, const QString &title) {
        return QVariantMap{{RecordKeys::title, title},
                           {RecordKeys::uid, uid},
                           {RecordKeys::isnormalFile, true},
                           {RecordKeys::url, u"/tmp/%1"_qs.arg(uid)}};
    };
    LaunchedApp app({.store =
                         [&](PreferencesStore &stored) {
                             FavoritesStore favorites(stored);
                             favorites.setGroups({Group(u"Work"_qs)});
                             favorites.setItems(u"Work"_qs, {StoredRecords::item(record(1, u"Report"_qs))});
                             stored.setInteger(1, StoreKeys::uniqueid);
                         },
                     .preferencesFile = path});
    AppDelegate &delegate = *app.delegate;
    PreferencesStore &store = *app.context->preferences;
    ASSERT_TRUE(store.flush());
    const auto identity = [&] {
        const QFileInfo info(path);
        return std::pair(info.fileTime(QFileDevice::FileModificationTime), info.size());
    };
    const auto before = identity();
    delegate.showPopover();
    delegate.togglePopover();
    ASSERT_TRUE(store.flush());
    EXPECT_EQ(identity(), before) << "opening the popup writes nothing";
    delegate.showPopover();

    const auto writeElsewhere = [&](const std::function<void(QVariantMap &)> &change) {
        QVariantMap values = PlistCodec::parse(contentsOf(path)).value_or(QVariant()).toMap();
        change(values);
        QFile file(path + u".new"_qs);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(PlistCodec::toBinary(values));
        file.close();
        ASSERT_EQ(::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(path).constData()), 0);
    };
    writeElsewhere([&](QVariantMap &values) {
        values.insert(StoreKeys::allgroups, StoredRecords::array({Group(u"Work"_qs), Group(u"Elsewhere"_qs)}));
        values.insert(u"items:Work"_qs, QVariantList{record(1, u"Summary"_qs)});
    });
    const auto titles = [](const auto &records) {
        QStringList found;
        for (const auto &one : records)
            found.append(one.title());
        return found;
    };
    ManagerWindow *window = delegate.existingManagerWindow();
    ASSERT_TRUE(window);
    auto *page = window->findChild<ManagerPage *>();
    ASSERT_TRUE(page);
    QAbstractItemView *popupRows = delegate.existingPopover()->findChild<QuickListView *>();
    ASSERT_TRUE(popupRows);
    const auto popupShows = [&](const QString &text) {
        for (int row = 0; row < popupRows->model()->rowCount(); ++row) {
            if (popupRows->model()->index(row, 0).data().toString() == text)
                return true;
        }
        return false;
    };
    EXPECT_TRUE(processUntil([&] {
        return titles(page->groups().grouparr()).contains(u"Elsewhere"_qs) && popupShows(u"Elsewhere"_qs)
               && popupShows(u"Summary"_qs);
    }));

    // Renamed here and there at once: both kept, the user told in the window.
    writeElsewhere(
        [&](QVariantMap &values) { values.insert(u"items:Work"_qs, QVariantList{record(1, u"Theirs"_qs)}); });
    FavoritesStore(store).setItems(u"Work"_qs, {StoredRecords::item(record(1, u"Ours"_qs))});
    EXPECT_TRUE(processUntil([&] { return !window->notice().isEmpty(); }));
    EXPECT_TRUE(window->notice().contains(LocalizedText(Text::changedOnBothSidesOne)))
        << "one item, told in the singular: " << window->notice().toStdString();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "no dialog to answer";
    ASSERT_TRUE(store.flush());
    EXPECT_EQ(titles(FavoritesStore(*app.context->preferences).items(u"Work"_qs)),
              QStringList({u"Theirs"_qs, u"Ours"_qs}));
}

TEST(AppDelegate, TheManagerWindowComesBackAsItWasLeftWithoutTouchingThePreferences)
{
    TestFolder folder;
    const QString path = folder.filePath(u"preferences.plist"_qs);
    const auto groups = [](PreferencesStore &stored) {
        FavoritesStore(stored).setGroups({Group(u"Home"_qs), Group(u"Work"_qs)});
    };
    QList<int> split;
    QByteArray preferencesLeft;
    {
        LaunchedApp app({.store = groups, .preferencesFile = path});
        ASSERT_TRUE(app.context->preferences->flush());
        preferencesLeft = contentsOf(path);
        ManagerWindow *window = app.delegate->existingManagerWindow();
        ASSERT_TRUE(window);
        auto *page = window->findChild<ManagerPage *>();
        ASSERT_TRUE(page);
        window->resize(1040, 720);
        page->selectGroupTitled(u"Work"_qs);
        auto *splitter = page->findChild<QSplitter *>();
        splitter->setSizes({260, 780});
        split = splitter->sizes();
        window->close();
        ASSERT_TRUE(app.context->preferences->flush());
    }
    EXPECT_TRUE(QFileInfo(WindowState::defaultFile()).isFile());
    EXPECT_EQ(contentsOf(path), preferencesLeft) << "the window's state is not a preference";

    LaunchedApp again({.store = groups, .preferencesFile = path, .keepWindowState = true});
    ManagerWindow *window = again.delegate->existingManagerWindow();
    ASSERT_TRUE(window);
    auto *page = window->findChild<ManagerPage *>();
    ASSERT_TRUE(page);
    EXPECT_EQ(window->size(), QSize(1040, 720));
    EXPECT_EQ(page->groups().selectedGroupTitle(), u"Work"_qs);
    EXPECT_EQ(page->findChild<QSplitter *>()->sizes(), split);
}

TEST(AppDelegate, QuittingReportsOnlyTheSessionsChangesThatCannotBeSaved)
{
    TestFolder folder;
    const QString path = folder.filePath(u"preferences.plist"_qs);
    // Every write fails: a folder holds the temporary file's place.
    ASSERT_TRUE(QDir().mkpath(AtomicFile::temporaryPathFor(path, QCoreApplication::applicationPid()) + u"/inside"_qs));
    LaunchedApp app({.preferencesFile = path});
    PreferencesStore &store = *app.context->preferences;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(store.flush()) << "launch's own changes cannot be saved";
    EXPECT_TRUE(app.delegate->applicationWillTerminate()) << "the next launch makes them again";

    FavoritesStore(store).setGroups({Group(u"Work"_qs)});
    EXPECT_FALSE(app.delegate->applicationWillTerminate()) << "a group made in the session is lost";
    testing::internal::GetCapturedStdout();
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
    EXPECT_EQ(LaunchedApp({}).delegate->existingManagerWindow()->containerPage(), ManagerWindowPages::managerPage);

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

TEST(AppDelegate, StartedForTheDesktopsSearchItOpensNothingAndItsMoreResultsOpenThePopupSearching)
{
    for (const bool tray : {true, false}) {
        LaunchedApp app({.trayAvailable = tray, .opening = AppDelegate::Opening::nothing});
        EXPECT_EQ(app.delegate->existingManagerWindow(), nullptr) << "with a tray: " << tray;
        EXPECT_EQ(app.delegate->existingPopover(), nullptr);
    }

    LaunchedApp app({.store =
                         [](PreferencesStore &stored) {
                             FavoritesStore favorites(stored);
                             favorites.setGroups({Group(u"Work"_qs)});
                             favorites.appendItemToGroup(u"Work"_qs, favorites.makeFileItem(u"/docs/report.pdf"_qs));
                         },
                     .opening = AppDelegate::Opening::nothing});
    app.delegate->showPopoverSearching(u"report"_qs);
    PopupWindow *popup = app.delegate->existingPopover();
    ASSERT_TRUE(popup && popup->isPopoverShown());
    const auto *field = popup->findChild<QLineEdit *>(u"searchtextfield"_qs);
    EXPECT_TRUE(field->isVisible() && field->text() == u"report"_qs);
    EXPECT_EQ(popup->findChild<QuickListView *>()->model()->rowCount(), 1) << "the search runs";

    LaunchedApp firstRun({.firstRunOver = false, .opening = AppDelegate::Opening::nothing});
    firstRun.delegate->showPopoverSearching(u"report"_qs);
    EXPECT_EQ(firstRun.delegate->existingPopover(), nullptr);
    EXPECT_TRUE(firstRun.delegate->existingManagerWindow()->isShowingOnboarding());
}

TEST(AppDelegate, ACommandWithoutAGroupAsksInASmallWindowAndAnswersOnceTheUserChose)
{
    TestFolder files;
    QFile file(files.filePath(u"plan.txt"_qs));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    LaunchedApp app({.store = [](PreferencesStore &stored) { FavoritesStore(stored).setGroups({Group(u"Work"_qs)}); }});
    Localization::setTable(loadLanguageTable(u"English"_qs));
    InstanceRequest add{InstanceRequest::Kind::add};
    add.targets = {file.fileName()};
    const auto chooser = [] {
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (auto *dialog = qobject_cast<GroupChooserDialog *>(window); dialog && dialog->isVisible())
                return dialog;
        }
        return static_cast<GroupChooserDialog *>(nullptr);
    };

    QList<InstanceReply> replies;
    const auto ask = [&] {
        app.delegate->handleCommand(add, [&](const InstanceReply &reply) { replies.append(reply); });
    };
    ask();
    GroupChooserDialog *dialog = chooser();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), LocalizedText(Text::addToBrimbleTitle));
    EXPECT_TRUE(replies.isEmpty());
    // A new group: Add waits for its name.
    auto *groups = dialog->findChild<QComboBox *>(u"groups"_qs);
    auto *name = dialog->findChild<QLineEdit *>(u"newGroupName"_qs);
    auto *addButton = dialog->findChild<QPushButton *>(u"add"_qs);
    EXPECT_EQ(groups->accessibleName(), LocalizedText(Text::groupLabel));
    EXPECT_FALSE(name->isVisible());
    groups->setCurrentIndex(groups->count() - 1);
    EXPECT_TRUE(name->isVisible());
    EXPECT_FALSE(addButton->isEnabled());
    name->setText(u"  Plans "_qs);
    addButton->click();
    ASSERT_EQ(replies.size(), 1);
    EXPECT_EQ(replies.at(0).status, 0);
    EXPECT_EQ(app.context->favorites.groupTitles(), QStringList({u"Work"_qs, u"Plans"_qs}));
    EXPECT_EQ(app.context->favorites.itemCount(u"Plans"_qs), 1);

    // Cancelled, or still open when Brimble ends: nothing added, and said.
    ask();
    chooser()->reject();
    ask();
    ASSERT_NE(chooser(), nullptr);
    app.delegate.reset();
    ASSERT_EQ(replies.size(), 3);
    for (const InstanceReply &reply : replies.mid(1))
        EXPECT_EQ(reply, InstanceReply::failure(LocalizedText(Text::nothingAdded)));
    EXPECT_EQ(app.context->favorites.itemCount(u"Work"_qs), 0);
    Localization::setTable(std::nullopt);
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
    EXPECT_EQ(window->containerPage(), ManagerWindowPages::preferencesPage);
    EXPECT_FALSE(window->pages()->isFirstGroupBoxShowing());

    Q_EMIT delegate.existingPopover()->manageShortcutRequested();
    EXPECT_EQ(window->containerPage(), ManagerWindowPages::managerPage);
    EXPECT_TRUE(window->pages()->isFirstGroupBoxShowing()) << "no group stored yet";
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
