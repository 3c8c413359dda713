// A real first run on an X display, from an empty home: onboarding, Get
// started, the popup, the first group, then a language change that starts
// the real brimble again.

#include "app/AppContext.h"
#include "app/AppDelegate.h"
#include "app/FirstGroupBox.h"
#include "app/ManagerWindow.h"
#include "app/ManagerWindowPages.h"
#include "app/OnboardingPage.h"
#include "app/SingleInstance.h"
#include "platform/FakeDesktopServices.h"
#include "platform/Paths.h"
#include "platform/PlistPreferencesStore.h"
#include "platform/XdgLoginItems.h"
#include "prefs/PreferencesPage.h"
#include "quicklist/PopupWindow.h"
#include "store/StoreKeys.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QLockFile>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

namespace {

TEST(FirstRun, FromAnEmptyHomeToThePopupAndARelaunch)
{
    ASSERT_FALSE(QFile::exists(Paths::preferencesFile()));
    FakeDesktopServices desktop;
    AppContext context(
        std::make_unique<PlistPreferencesStore>(Paths::preferencesFile()), Paths::supportFolder(),
        {std::make_unique<XdgLoginItems>(XdgLoginItems::userAutostartFolder(), QStringLiteral(BRIMBLE_LOGIN_HELPER)),
         createHotKeyService(), desktop.services()});
    AppDelegate delegate(context);
    delegate.setRelaunchProgram(QStringLiteral(BRIMBLE_EXECUTABLE));
    delegate.applicationDidFinishLaunching();

    ManagerWindow *window = delegate.existingManagerWindow();
    ASSERT_TRUE(window && QTest::qWaitForWindowExposed(window) && window->isShowingOnboarding());
    OnboardingPage *onboarding = window->onboardingPage();
    onboarding->findChild<QCheckBox *>(QStringLiteral("checkboxAddLogicitem"))->setChecked(true);
    QTest::mouseClick(onboarding->findChild<QPushButton *>(QStringLiteral("btngetstarted")), Qt::LeftButton);

    ASSERT_TRUE(
        QTest::qWaitFor([&] { return delegate.existingPopover() && delegate.existingPopover()->isPopoverShown(); }));
    delegate.existingPopover()->closePopover();

    // The first group, typed into the box over the groups page.
    ManagerWindowPages *container = window->pages();
    ASSERT_TRUE(container->isFirstGroupBoxShowing());
    QTest::mouseClick(container->findChild<QPushButton *>(QStringLiteral("btncreateGroup_infobox")), Qt::LeftButton);
    QTest::keyClicks(container->firstGroupBox()->txtfieldGroupname(), QStringLiteral("Travel"));
    QTest::keyClick(container->firstGroupBox()->txtfieldGroupname(), Qt::Key_Return);
    EXPECT_FALSE(container->isFirstGroupBoxShowing());

    // French, confirmed: the real brimble starts again and takes the lock.
    delegate.openManagerPage(ManagerWindowPages::preferencesPage);
    auto *preferences = static_cast<PreferencesPage *>(container->currentview());
    preferences->findChild<QComboBox *>()->setCurrentIndex(1);
    preferences->btnselectLanguage(1);
    ASSERT_NE(preferences->alertappQuit(), nullptr);
    preferences->alertappQuit()->buttons().first()->click();

    const SingleInstance instance(Paths::preferencesFile(), Paths::runtimeFolder());
    ASSERT_TRUE(QTest::qWaitFor([&] { return instance.sendToPrimary(SingleInstance::showRequest); }, 15000))
        << "brimble did not start again";
    qint64 relaunched = 0;
    ASSERT_TRUE(QLockFile(Paths::lockFileFor(Paths::preferencesFile())).getLockInfo(&relaunched, nullptr, nullptr));
    ::kill(pid_t(relaunched), SIGTERM);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ::kill(pid_t(relaunched), 0) != 0; }, 10000));
    // What this run stored is what the relaunched one found and kept.
    const PlistPreferencesStore stored(Paths::preferencesFile());
    EXPECT_EQ(stored.integerForKey(StoreKeys::first), 1);
    EXPECT_EQ(stored.boolForKey(StoreKeys::loginStartStatus), true);
    EXPECT_EQ(stored.integerForKey(StoreKeys::selectedLanguage), 1);
    EXPECT_EQ(stored.objectForKey(StoreKeys::allgroups).toList().size(), 1);
}

} // namespace
