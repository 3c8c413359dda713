#include "BrimbleProcess.h"
#include "ShellFixture.h"

#include "app/GroupChooserDialog.h"
#include "app/ManagerWindow.h"
#include "app/ManagerWindowPages.h"
#include "app/SingleInstance.h"
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
#include <QLockFile>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTest>

namespace {

QVariantMap valuesIn(const QString &path)
{
    return PlistCodec::parse(contentsOf(path)).value_or(QVariant()).toMap();
}

// Puts values in place of the file at path as a sync tool does: a new file
// renamed over the old one.
void replaceFile(const QString &path, const QVariantMap &values)
{
    QFile file(path + u".incoming"_qs);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(PlistCodec::toBinary(values));
    file.close();
    ASSERT_EQ(::rename(QFile::encodeName(file.fileName()).constData(), QFile::encodeName(path).constData()), 0);
}

TEST(BrimbleProcess, EndsCleanlyOnSignalsKeepsToOneInstanceAndFindsItsFilesThroughALink)
{
    // The build folder's old place of the program is a link to it.
    const QFileInfo link(QStringLiteral(BRIMBLE_EXECUTABLE_LINK));
    ASSERT_TRUE(link.isSymLink()
                && link.canonicalFilePath() == QFileInfo(QStringLiteral(BRIMBLE_EXECUTABLE)).canonicalFilePath());
    for (int signalNumber : {SIGTERM, SIGINT}) {
        TestFolder home;
        {
            PlistPreferencesStore stored(preferencesPath(home));
            stored.setInteger(1, StoreKeys::first); // past the first run: launch builds every page of the window
            stored.setBool(true, StoreKeys::loginStartStatus);
        }
        BrimbleProcess first(
            home, {.program = signalNumber == SIGINT ? link.filePath() : QStringLiteral(BRIMBLE_EXECUTABLE)});
        ASSERT_TRUE(first.waitForLine("en")) << first.output.toStdString();
        EXPECT_EQ(exitCodeOf(home, {}), 0);
        EXPECT_EQ(exitCodeOf(home, {.arguments = {u"--toggle"_qs}}), 0);
        EXPECT_EQ(first.process.state(), QProcess::Running);

        // Launched and its popup shown, it has still not gone online nor
        // asked the desktop for applications: neither library is mapped.
        const QByteArray mapped = contentsOf(u"/proc/%1/maps"_qs.arg(first.process.processId()));
        EXPECT_TRUE(mapped.contains("libQt6Core") && !mapped.contains("libQt6Network")
                    && !mapped.contains("libgio-2.0"));
        // The login helper is found relative to the program, as the network
        // module and the icons are: the start-at-login entry names the real one.
        const QString entry = home.filePath(u"config/autostart/org.brimble.Brimble.desktop"_qs);
        ASSERT_TRUE(QTest::qWaitFor([&] { return QFile::exists(entry); }, 10000));
        const QByteArray helper = QFile::encodeName(
            QFileInfo(QStringLiteral(BRIMBLE_LOGIN_HELPER)).canonicalFilePath());
        EXPECT_TRUE(contentsOf(entry).contains(QByteArray("\nExec=\"" + helper + "\"\n")))
            << contentsOf(entry).toStdString();

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

TEST(BrimbleProcess, QuittingWithoutChangesLosesNothingWhateverTheStore)
{
    // A store that cannot be read, left alone; one that cannot be written
    // (room for the lock file, none for the store), where launch's own
    // changes fail. Nothing the session did is lost, so nothing is said.
    // (A pipe or a folder in the store's place is the store's own test.)
    const QByteArray padded = PlistCodec::toBinary(QVariantMap{{u"padding"_qs, QString(5000, u'x')}});
    for (const RunOptions &options : {RunOptions{.unprivileged = true}, RunOptions{.fileSizeLimit = rlim_t(2048)}}) {
        SCOPED_TRACE(options.unprivileged ? "unreadable" : "too large to write");
        TestFolder home;
        const QString path = preferencesPath(home);
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(padded) == padded.size());
        file.close();
        file.setPermissions(options.unprivileged ? QFileDevice::WriteOwner : file.permissions());
        BrimbleProcess brimble(home, options);
        ASSERT_TRUE(brimble.waitForLine("en")) << brimble.process.readAllStandardError().toStdString();
        brimble.terminate(0);
        const QByteArray errors = brimble.process.readAllStandardError();
        EXPECT_FALSE(errors.contains(keyedText("English", "IDS_BR_350").left(20))) << errors.toStdString();
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        EXPECT_EQ(contentsOf(path), padded) << "never written";
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
    QVariantMap theirs = valuesIn(synced);
    theirs.insert(StoreKeys::allgroups, StoredRecords::array({Group(u"Work"_qs), Group(u"Elsewhere"_qs)}));
    replaceFile(synced, theirs);

    EXPECT_EQ(exitCodeOf(home, {.arguments = {u"--toggle"_qs}}), 0);
    EXPECT_EQ(exitCodeOf(home, {.arguments = {u"--toggle"_qs}}), 0);
    brimble.terminate();
    const PlistPreferencesStore saved(synced);
    EXPECT_EQ(saved.arrayForKey(StoreKeys::allgroups)->size(), 2) << "the other computer's group is kept";
    EXPECT_FALSE(saved.hasObjectForKey(StoreKeys::tasks)) << "opening the popup stores nothing";
}

TEST(AppDelegate, ChangesMadeElsewhereShowInBothViewsAndDoubledItemsAreToldInTheWindow)
{
    TestFolder folder;
    const QString path = folder.filePath(u"preferences.plist"_qs);
    const auto record = [](const QString &title) {
        return QVariantMap{{RecordKeys::title, title},
                           {RecordKeys::uid, qint64(1)},
                           {RecordKeys::isnormalFile, true},
                           {RecordKeys::url, u"/tmp/1"_qs}};
    };
    LaunchedApp app({.store =
                         [&](PreferencesStore &stored) {
                             FavoritesStore favorites(stored);
                             favorites.setGroups({Group(u"Work"_qs)});
                             favorites.setItems(u"Work"_qs, {StoredRecords::item(record(u"Report"_qs))});
                             stored.setInteger(1, StoreKeys::uniqueid);
                         },
                     .preferencesFile = path});
    PreferencesStore &store = *app.context->preferences;
    ASSERT_TRUE(store.flush());
    app.delegate->showPopover();

    // A group added elsewhere, and an item renamed here and there at once.
    QVariantMap theirs = valuesIn(path);
    theirs.insert(StoreKeys::allgroups, StoredRecords::array({Group(u"Work"_qs), Group(u"Elsewhere"_qs)}));
    theirs.insert(u"items:Work"_qs, QVariantList{record(u"Theirs"_qs)});
    replaceFile(path, theirs);
    FavoritesStore(store).setItems(u"Work"_qs, {StoredRecords::item(record(u"Ours"_qs))});

    const auto titles = [](const auto &records) {
        QStringList found;
        for (const auto &one : records)
            found.append(one.title());
        return found;
    };
    ManagerWindow *window = app.delegate->existingManagerWindow();
    auto *page = window->findChild<ManagerPage *>();
    const QAbstractItemModel *popupRows = app.delegate->existingPopover()->findChild<QuickListView *>()->model();
    const auto popupShows = [&](const QString &text) {
        return !popupRows->match(popupRows->index(0, 0), Qt::DisplayRole, text, 1, Qt::MatchExactly).isEmpty();
    };
    EXPECT_TRUE(processUntil([&] {
        return titles(page->groups().grouparr()).contains(u"Elsewhere"_qs) && popupShows(u"Elsewhere"_qs)
               && popupShows(u"Theirs"_qs) && !window->notice().isEmpty();
    }));
    // Both kept, the user told in the window.
    EXPECT_TRUE(window->notice().contains(LocalizedText(Text::changedOnBothSidesOne)))
        << "one item, told in the singular: " << window->notice().toStdString();
    ASSERT_TRUE(store.flush());
    EXPECT_EQ(titles(FavoritesStore(store).items(u"Work"_qs)), QStringList({u"Theirs"_qs, u"Ours"_qs}));
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
        auto *page = window->findChild<ManagerPage *>();
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
    auto *page = window->findChild<ManagerPage *>();
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

TEST(AppDelegate, ACommandWithoutAGroupAsksInASmallWindowAndAnswersOnceTheUserChose)
{
    TestFolder files;
    QFile file(files.filePath(u"plan.txt"_qs));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    LaunchedApp app({.store = [](PreferencesStore &stored) { FavoritesStore(stored).setGroups({Group(u"Work"_qs)}); }});
    Localization::setTable(loadLanguageTable(u"English"_qs));
    InstanceRequest add{InstanceRequest::Kind::add};
    add.targets = {file.fileName()};
    QList<InstanceReply> replies;
    const auto ask = [&] {
        app.delegate->handleCommand(add, [&](const InstanceReply &reply) { replies.append(reply); });
        for (QWidget *window : QApplication::topLevelWidgets()) {
            if (auto *dialog = qobject_cast<GroupChooserDialog *>(window); dialog && dialog->isVisible())
                return dialog;
        }
        return static_cast<GroupChooserDialog *>(nullptr);
    };
    GroupChooserDialog *dialog = ask();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(replies.isEmpty());
    // A new group: Add waits for its name.
    auto *groups = dialog->findChild<QComboBox *>(u"groups"_qs);
    auto *name = dialog->findChild<QLineEdit *>(u"newGroupName"_qs);
    auto *addButton = dialog->findChild<QPushButton *>(u"add"_qs);
    EXPECT_FALSE(name->isVisible());
    groups->setCurrentIndex(groups->count() - 1);
    EXPECT_TRUE(name->isVisible() && !addButton->isEnabled());
    name->setText(u"  Plans "_qs);
    addButton->click();
    ASSERT_EQ(replies.size(), 1);
    EXPECT_EQ(replies.at(0).status, 0);
    EXPECT_EQ(app.context->favorites.groupTitles(), QStringList({u"Work"_qs, u"Plans"_qs}));
    EXPECT_EQ(app.context->favorites.itemCount(u"Plans"_qs), 1);

    // What cannot be added is refused before anyone is asked.
    add.targets = {files.filePath(u"gone"_qs)};
    EXPECT_EQ(ask(), nullptr);
    ASSERT_EQ(replies.size(), 2);
    EXPECT_EQ(replies.at(1).status, 1);

    // Cancelled, or still open when Brimble ends: nothing added, and said.
    add.targets = {file.fileName()};
    dialog = ask();
    ASSERT_NE(dialog, nullptr);
    dialog->reject();
    ASSERT_NE(ask(), nullptr);
    app.delegate.reset();
    ASSERT_EQ(replies.size(), 4);
    for (const InstanceReply &reply : replies.mid(2))
        EXPECT_EQ(reply, InstanceReply::failure(LocalizedText(Text::nothingAdded)));
    EXPECT_EQ(app.context->favorites.itemCount(u"Work"_qs), 0);
    Localization::setTable(std::nullopt);
}

// After the first run, with one group, so that the manager shows its page
// rather than the first-group box.
LaunchedApp::Options withTray(bool available, const QRect &iconGeometry = {}, bool atLogin = false)
{
    return {.atLogin = atLogin,
            .store = [](PreferencesStore &stored) { FavoritesStore(stored).setGroups({Group(u"Work"_qs)}); },
            .trayAvailable = available,
            .iconGeometry = iconGeometry};
}

TEST(AppDelegate, LaunchOpensWhatItWasStartedForAndNoPopupBeforeTheFirstRunEnds)
{
    using Opening = AppDelegate::Opening;
    enum Shown { nothing, onboarding, managerPage, popup };
    const struct
    {
        LaunchedApp::Options options;
        Shown shown;
    } launches[] = {
        {{.firstRunOver = false, .atLogin = true}, nothing},
        {withTray(true, {}, true), nothing},
        {{.firstRunOver = false}, onboarding},
        {{}, managerPage},
        {{.opening = Opening::popover}, popup},
        {{.firstRunOver = false, .opening = Opening::popover}, onboarding},
        {{.opening = Opening::nothing}, nothing},
        {{.trayAvailable = false, .opening = Opening::nothing}, nothing},
    };
    for (const auto &launch : launches) {
        SCOPED_TRACE(int(&launch - launches));
        LaunchedApp app(launch.options);
        EXPECT_EQ(app.loginItems->killLauncherSent, launch.options.atLogin ? 1 : 0);
        const ManagerWindow *window = app.delegate->existingManagerWindow();
        const PopupWindow *popover = app.delegate->existingPopover();
        EXPECT_EQ(window != nullptr, launch.shown == onboarding || launch.shown == managerPage);
        EXPECT_EQ(popover != nullptr, launch.shown == popup);
        if (window) {
            EXPECT_TRUE(window->isVisible());
            EXPECT_EQ(window->isShowingOnboarding(), launch.shown == onboarding);
            EXPECT_EQ(window->containerPage() == ManagerWindowPages::managerPage, launch.shown == managerPage);
        }
        EXPECT_TRUE(!popover || popover->isPopoverShown());
    }

    // Neither the shortcut, `brimble --toggle` nor the desktop's search open
    // the popup before the first run ends; nothing stored is applied yet.
    LaunchedApp firstRun({.firstRunOver = false, .opening = Opening::nothing});
    firstRun.delegate->showPopoverSearching(u"report"_qs);
    EXPECT_EQ(firstRun.delegate->existingPopover(), nullptr);
    firstRun.delegate->togglePopover();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_TRUE(firstRun.delegate->existingManagerWindow()->isShowingOnboarding());
    EXPECT_EQ(firstRun.loginItems->calls, 0);
    EXPECT_TRUE(firstRun.hotKeys->registrations.isEmpty());
}

TEST(AppDelegate, LaunchAppliesStoredSettingsAndThePopupOpensByTrayShortcutToggleOrSearch)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect icon(area.right() - 60, area.top(), 22, 22);
    LaunchedApp app({.store =
                         [](PreferencesStore &stored) {
                             stored.setBool(false, StoreKeys::loginStartStatus);
                             stored.setObject(u"k"_qs, StoreKeys::shortcutKey);
                             stored.setObject(QVariantList{qint64(11), qint64(13)}, StoreKeys::shortcutflag);
                             FavoritesStore favorites(stored);
                             favorites.setGroups({Group(u"Work"_qs)});
                             favorites.appendItemToGroup(u"Work"_qs, favorites.makeFileItem(u"/docs/report.pdf"_qs));
                         },
                     .iconGeometry = icon,
                     .opening = AppDelegate::Opening::nothing});
    AppDelegate &delegate = *app.delegate;
    EXPECT_TRUE(app.loginItems->calls == 1 && !app.loginItems->lastEnabled);

    // Where the popup goes is PopupGeometry's own test; here, that the
    // tray's icon geometry reaches it.
    EXPECT_TRUE(app.statusItem->shown);
    app.statusItem->click();
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(QApplication::activePopupWidget()->geometry().top(), icon.bottom() + 1);
    delegate.showPopover();
    EXPECT_NE(QApplication::activePopupWidget(), nullptr) << "showing never closes";
    app.statusItem->click();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "a second click closes it";

    // The stored shortcut is registered at launch, and its press opens the popup.
    ASSERT_EQ(app.hotKeys->registrations.size(), 1);
    const FakeHotKeyService::Registration registration = app.hotKeys->registrations.first();
    testing::internal::CaptureStdout();
    app.hotKeys->press(registration.id.signature, registration.id.id);
    testing::internal::GetCapturedStdout();
    EXPECT_NE(QApplication::activePopupWidget(), nullptr);

    // The desktop search's "more results" opens it searching.
    delegate.showPopoverSearching(u"report"_qs);
    PopupWindow *popup = delegate.existingPopover();
    ASSERT_TRUE(popup->isPopoverShown());
    const auto *field = popup->findChild<QLineEdit *>(u"searchtextfield"_qs);
    EXPECT_TRUE(field->isVisible() && field->text() == u"report"_qs);
    EXPECT_EQ(popup->findChild<QuickListView *>()->model()->rowCount(), 1) << "the search runs";

    // Its settings open the window on their page.
    Q_EMIT popup->showPreferencesRequested();
    ASSERT_NE(delegate.existingManagerWindow(), nullptr);
    EXPECT_EQ(delegate.existingManagerWindow()->containerPage(), ManagerWindowPages::preferencesPage);
}

TEST(Tray, WithoutATrayTheManagerWindowStaysOpenUntilOneAppears)
{
    LaunchedApp app(withTray(false));
    ManagerWindow *window = app.delegate->existingManagerWindow();
    window->close();
    EXPECT_TRUE(window->isVisible()) << "closing minimises while there is no tray";
    app.delegate->togglePopover();
    ASSERT_NE(QApplication::activePopupWidget(), nullptr) << "the shortcut and `brimble --toggle` still open it";
    QApplication::activePopupWidget()->close();
    app.statusItem->appear();
    EXPECT_TRUE(window->isVisible()) << "opened by hand, it stays";
    window->close();
    EXPECT_FALSE(window->isVisible());

    // Started at login, it shows until the icon is in a tray, unless asked
    // for in the meantime (a second start, the popup's settings).
    for (const bool asked : {false, true}) {
        LaunchedApp atLogin(withTray(false, {}, true));
        ManagerWindow *shown = atLogin.delegate->existingManagerWindow();
        ASSERT_TRUE(shown && shown->isVisible() && shown->minimizesOnClose());
        if (asked)
            atLogin.delegate->handleInstanceRequest(SingleInstance::showRequest);
        atLogin.statusItem->appear();
        EXPECT_EQ(shown->isVisible(), asked);
        EXPECT_FALSE(shown->minimizesOnClose());
    }
}

} // namespace
