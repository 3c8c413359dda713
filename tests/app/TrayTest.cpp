// The tray on every desktop: a tray that says where its icon is, one that
// does not (StatusNotifierItem), and none at all, through the launch.

#include "ShellFixture.h"

#include "app/ManagerWindow.h"
#include "app/SingleInstance.h"

#include <QApplication>
#include <QCursor>
#include <QScreen>

namespace {

// After the first run, with one group, so that the manager shows its page
// rather than the first-group box.
LaunchedApp::Options withTray(bool available, const QRect &iconGeometry = {}, bool atLogin = false)
{
    return {.atLogin = atLogin,
            .store = [](PreferencesStore &stored) { FavoritesStore(stored).setGroups({Group(u"Work"_qs)}); },
            .trayAvailable = available,
            .iconGeometry = iconGeometry};
}

// Where the popup goes is PopupGeometry's own test; here, that the tray's
// icon geometry or, without one, the pointer reaches it.
TEST(Tray, ThePopupOpensUnderTheIconOrWithoutItsGeometryAtThePointer)
{
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect icon(area.right() - 60, area.top(), 22, 22);
    LaunchedApp withIcon(withTray(true, icon));
    EXPECT_TRUE(withIcon.statusItem->shown);
    EXPECT_FALSE(withIcon.delegate->existingManagerWindow()->minimizesOnClose());
    withIcon.statusItem->click();
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(QApplication::activePopupWidget()->geometry().top(), icon.bottom() + 1);
    withIcon.statusItem->click();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr) << "a second click closes it";

    LaunchedApp withoutIcon(withTray(true));
    const QPoint middle = area.topLeft() + QPoint(40, 30);
    QCursor::setPos(middle);
    withoutIcon.statusItem->click();
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(QApplication::activePopupWidget()->pos(), middle);
    QApplication::activePopupWidget()->close();
}

TEST(Tray, WithoutATrayTheManagerWindowStaysOpenUntilOneAppears)
{
    LaunchedApp app(withTray(false));
    ManagerWindow *window = app.delegate->existingManagerWindow();
    ASSERT_NE(window, nullptr);
    window->close();
    EXPECT_TRUE(window->isVisible()) << "closing minimises while there is no tray";

    // The shortcut and `brimble --toggle` still open the popup, at the pointer.
    QCursor::setPos(QGuiApplication::primaryScreen()->availableGeometry().topLeft() + QPoint(10, 10));
    app.delegate->togglePopover();
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    QApplication::activePopupWidget()->close();

    app.statusItem->appear();
    EXPECT_TRUE(window->isVisible()) << "opened by hand, it stays";
    window->close();
    EXPECT_FALSE(window->isVisible());
}

TEST(Tray, AStartAtLoginWithoutATrayShowsTheWindowUntilTheIconIsInOne)
{
    LaunchedApp trayThere(withTray(true, {}, true));
    EXPECT_EQ(trayThere.delegate->existingManagerWindow(), nullptr);

    LaunchedApp app(withTray(false, {}, true));
    ManagerWindow *window = app.delegate->existingManagerWindow();
    ASSERT_TRUE(window && window->isVisible());
    EXPECT_TRUE(window->minimizesOnClose());
    app.statusItem->appear();
    EXPECT_FALSE(window->isVisible());
    EXPECT_FALSE(window->minimizesOnClose());

    // Asked for in the meantime (a second start, the popup's settings), it stays.
    LaunchedApp asked(withTray(false, {}, true));
    asked.delegate->handleInstanceRequest(SingleInstance::showRequest);
    asked.statusItem->appear();
    EXPECT_TRUE(asked.delegate->existingManagerWindow()->isVisible());
}

} // namespace
