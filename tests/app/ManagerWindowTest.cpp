// Opens the real manager window on an X display with a stored preferences
// file, as the application does at start.

#include "app/ManagerWindow.h"
#include "app/AppContext.h"
#include "app/AppDelegate.h"
#include "platform/FakeDesktopServices.h"
#include "platform/FakeHotKeyService.h"
#include "platform/PlistPreferencesStore.h"
#include "store/StoreKeys.h"
#include "support/TestFolders.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

namespace {

TEST(ManagerWindow, ShowsTheStoredGroupsAndTheFirstGroupsItems)
{
    TestFolder folder;
    const QString path = folder.filePath(QStringLiteral("preferences.plist"));
    {
        PlistPreferencesStore stored(path);
        FavoritesStore favorites(stored);
        favorites.setGroups({Group(QStringLiteral("Work")), Group(QStringLiteral("Home"))});
        favorites.setItems(QStringLiteral("Work"), {favorites.makeFileItem(QStringLiteral("/etc/hostname"))});
        stored.setInteger(1, StoreKeys::first);
        stored.flush();
    }
    FakeDesktopServices desktop;
    AppContext context(std::make_unique<PlistPreferencesStore>(path), folder.filePath(QStringLiteral("support")),
                       AppContext::Platform{std::make_unique<FakeLoginItems>(), std::make_unique<FakeHotKeyService>(),
                                            desktop.services()});
    AppDelegate delegate(context);
    delegate.applicationDidFinishLaunching();

    QWidget *window = delegate.existingManagerWindow();
    ASSERT_TRUE(window);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    auto *groups = window->findChild<QAbstractItemView *>(QStringLiteral("tblviewgroup"));
    auto *items = window->findChild<QAbstractItemView *>(QStringLiteral("tblviewItems"));
    ASSERT_TRUE(groups && items && items->isVisible());
    EXPECT_FALSE(groups->visualRect(groups->model()->index(1, 0)).isEmpty());
    EXPECT_EQ(groups->currentIndex().row(), 0);
    EXPECT_EQ(items->model()->index(0, 0).data().toString(), QStringLiteral("hostname"));
    delegate.applicationWillTerminate();
}

} // namespace
