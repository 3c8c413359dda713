// The tray on every desktop: a tray that says where its icon is, one that
// does not (StatusNotifierItem), and none at all, through the launch.

#include "app/AppContext.h"
#include "app/AppDelegate.h"
#include "app/ManagerWindow.h"
#include "platform/FakeDesktopServices.h"
#include "platform/FakeHotKeyService.h"
#include "platform/FakePreferencesStore.h"
#include "platform/FakeStatusItem.h"
#include "store/StoreKeys.h"

#include "support/TestFolders.h"

#include <QApplication>
#include <QCursor>
#include <QScreen>

#include <gtest/gtest.h>

namespace {

struct TrayApp
{
    explicit TrayApp(bool trayAvailable, const QRect &iconGeometry = {})
    {
        auto preferences = std::make_unique<FakePreferencesStore>();
        preferences->setInteger(1, StoreKeys::first);
        // One group, so that the manager shows its page rather than the
        // first-group box.
        preferences->setObject(QVariantList{QVariantMap{{QString(RecordKeys::title), QStringLiteral("Work")},
                                                        {QString(RecordKeys::isHeader), true}}},
                               StoreKeys::allgroups);
        auto tray = std::make_unique<FakeStatusItem>();
        tray->available = trayAvailable;
        tray->iconGeometry = iconGeometry;
        statusItem = tray.get();
        AppContext::Platform platform{std::make_unique<FakeLoginItems>(), std::make_unique<FakeHotKeyService>(),
                                      desktop.services(), std::move(tray)};
        context = std::make_unique<AppContext>(std::move(preferences), supportFolder.path(), std::move(platform));
        delegate = std::make_unique<AppDelegate>(*context);
        delegate->applicationDidFinishLaunching();
    }

    ManagerWindow *managerWindow() const
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (auto *window = qobject_cast<ManagerWindow *>(widget))
                return window;
        }
        return nullptr;
    }

    TestFolder supportFolder;
    FakeDesktopServices desktop;
    FakeStatusItem *statusItem = nullptr;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<AppDelegate> delegate;
};

QRect availableArea()
{
    return QGuiApplication::primaryScreen()->availableGeometry();
}

TEST(Tray, WithAnIconGeometryThePopupOpensUnderTheIcon)
{
    const QRect area = availableArea();
    const QRect icon(area.right() - 60, area.top(), 22, 22);
    TrayApp app(true, icon);
    EXPECT_TRUE(app.statusItem->shown);
    EXPECT_FALSE(app.managerWindow()->minimizesOnClose());

    app.statusItem->click();
    QWidget *popup = QApplication::activePopupWidget();
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->geometry().top(), icon.bottom() + 1);
    EXPECT_TRUE(area.contains(popup->geometry())) << "pushed left to stay on screen";
    app.statusItem->click();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
}

TEST(Tray, WithoutAnIconGeometryThePopupOpensAtThePointerWhollyOnScreen)
{
    TrayApp app(true);
    EXPECT_FALSE(app.managerWindow()->minimizesOnClose());
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
    EXPECT_TRUE(area.contains(popup->geometry()))
        << popup->geometry().x() << "," << popup->geometry().y() << " " << popup->width() << "x" << popup->height();
    popup->close();
}

TEST(Tray, WithoutATrayTheManagerWindowStaysOpenUntilOneAppears)
{
    TrayApp app(false);
    ManagerWindow *window = app.managerWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->minimizesOnClose());
    window->close();
    EXPECT_TRUE(window->isVisible()) << "closing minimises while there is no tray";

    // The shortcut and `brimble --toggle` still open the popup, at the pointer.
    QCursor::setPos(availableArea().topLeft() + QPoint(10, 10));
    app.delegate->togglePopover();
    ASSERT_NE(QApplication::activePopupWidget(), nullptr);
    QApplication::activePopupWidget()->close();

    app.statusItem->appear();
    EXPECT_FALSE(window->minimizesOnClose());
    window->close();
    EXPECT_FALSE(window->isVisible());
}

} // namespace
