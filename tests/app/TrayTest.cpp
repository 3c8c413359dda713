// The tray on every desktop: a tray that says where its icon is, one that
// does not (StatusNotifierItem), and none at all, through the launch.

#include "ShellFixture.h"

#include "app/ManagerWindow.h"
#include "store/Records.h"

#include <QApplication>
#include <QCursor>
#include <QScreen>

namespace {

// After the first run, with one group, so that the manager shows its page
// rather than the first-group box.
LaunchedApp::Options withTray(bool available, const QRect &iconGeometry = {})
{
    return {.store = [](PreferencesStore &stored) {
                stored.setObject(Records::arrayOf({Records::newGroup(u"Work"_qs)}), StoreKeys::allgroups);
            },
            .trayAvailable = available,
            .iconGeometry = iconGeometry};
}

QRect availableArea()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

TEST(Tray, WithAnIconGeometryThePopupOpensUnderTheIcon)
{
    const QRect area = availableArea();
    const QRect icon(area.right() - 60, area.top(), 22, 22);
    LaunchedApp app(withTray(true, icon));
    EXPECT_TRUE(app.statusItem->shown);
    EXPECT_FALSE(app.delegate->existingManagerWindow()->minimizesOnClose());

    app.statusItem->click();
    QWidget *popup = QApplication::activePopupWidget();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->geometry().top(), icon.bottom() + 1);
    EXPECT_TRUE(area.contains(popup->geometry())) << "pushed left to stay on screen";
}

TEST(Tray, WithoutAnIconGeometryThePopupOpensAtThePointerWhollyOnScreen)
{
    LaunchedApp app(withTray(true));
    EXPECT_FALSE(app.delegate->existingManagerWindow()->minimizesOnClose());
    const QRect area = availableArea();

    const QPoint middle = area.topLeft() + QPoint(40, 30);
    QCursor::setPos(middle);
    app.statusItem->click();
    QWidget *popup = QApplication::activePopupWidget();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->pos(), middle);
    popup->close();

    // In a corner, the popup is pushed back onto the screen.
    QCursor::setPos(area.bottomRight() - QPoint(3, 3));
    app.delegate->showPopover();
    popup = QApplication::activePopupWidget();
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(area.contains(popup->geometry()));
    popup->close();
}

TEST(Tray, WithoutATrayTheManagerWindowStaysOpenUntilOneAppears)
{
    LaunchedApp app(withTray(false));
    ManagerWindow *window = app.delegate->existingManagerWindow();
    ASSERT_NE(window, nullptr);
    window->close();
    EXPECT_TRUE(window->isVisible()) << "closing minimises while there is no tray";

    // The shortcut and `brimble --toggle` still open the popup, at the pointer.
    QCursor::setPos(availableArea().topLeft() + QPoint(10, 10));
    app.delegate->togglePopover();
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    QApplication::activePopupWidget()->close();

    app.statusItem->appear();
    window->close();
    EXPECT_FALSE(window->isVisible());
}

} // namespace
