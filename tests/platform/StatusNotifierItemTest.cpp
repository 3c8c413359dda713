// The tray icon as a StatusNotifierItem, against a watcher and host of our
// own (fake_tray) on a private bus run by dbus-daemon for each test.

#include "platform/StatusNotifierItem.h"
#include "platform/DesktopStatusItem.h"
#include "platform/TrayIconTheme.h"

#include "support/StandInProcess.h"
#include "support/TestFolders.h"

#include <QCoreApplication>
#include <QFile>
#include <QMenu>
#include <QPixmap>
#include <QStandardPaths>

#include <gtest/gtest.h>

namespace {

// A panel that starts after the item must show it within this time.
constexpr int registrationLimitMs = 3000;

QIcon halfTransparentRed()
{
    QIcon icon;
    for (int side : {16, 32}) {
        QPixmap pixmap(side, side);
        pixmap.fill(QColor(255, 0, 0, 128));
        icon.addPixmap(pixmap);
    }
    return icon;
}

class StatusNotifierItemTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_FALSE(bus.address.isEmpty()) << "dbus-daemon did not start";
        show = menu.addAction(QStringLiteral("&Show Window"));
        menu.addAction(QStringLiteral("Fish && Chips_1"));
        menu.addSeparator();
        off = menu.addAction(QStringLiteral("Off"));
        off->setEnabled(false);
        quit = menu.addAction(QStringLiteral("Quit"));
        QObject::connect(quit, &QAction::triggered, [this] { ++quits; });
        QObject::connect(off, &QAction::triggered, [this] { ++quits; });
    }

    std::unique_ptr<StandInProcess> startTray(const QStringList &options = {})
    {
        auto tray = std::make_unique<StandInProcess>(bus, QStringLiteral(BRIMBLE_FAKE_TRAY),
                                                     u"org.kde.StatusNotifierWatcher"_qs, "/StatusNotifierWatcher",
                                                     options);
        EXPECT_TRUE(tray->ready);
        return tray;
    }

    void makeItem()
    {
        item = std::make_unique<StatusNotifierItem>(bus.client());
        item->setTriggerHandler([this] { ++clicks; });
        item->setAppearedHandler([this] { ++appearances; });
        item->show(halfTransparentRed(), QStringLiteral("Favourites"), &menu);
    }

    // The host's reading of the item: properties, icon sizes, the first
    // pixel of the smallest (ARGB, not premultiplied, most significant byte first).
    QString expectedItemLine() const
    {
        const QString name = QCoreApplication::applicationName();
        return QStringLiteral("item Id=%1 Category=ApplicationStatus Status=Active Title=%1 ItemIsMenu=false"
                              " Menu=/MenuBar icons=16x16,22x22,24x24,32x32 pixel=80ff0000 tooltip=Favourites"
                              " iconname= themepath=")
            .arg(name);
    }

    PrivateBus bus;
    QMenu menu;
    QAction *show = nullptr, *off = nullptr, *quit = nullptr;
    std::unique_ptr<StatusNotifierItem> item;
    int clicks = 0, appearances = 0, quits = 0;
};

TEST_F(StatusNotifierItemTest, RegistersWithAWatcherThatComesLateOrComesBackOnceAHostShowsIt)
{
    // The panel starts after Brimble.
    makeItem();
    EXPECT_FALSE(item->isAvailable());
    auto tray = startTray();
    const QString registered = u"registered "_qs + item->serviceName();
    EXPECT_EQ(tray->waitForLine(QStringLiteral("registered "), registrationLimitMs), registered);
    EXPECT_EQ(tray->waitForLine(QStringLiteral("item ")), expectedItemLine());
    EXPECT_TRUE(processUntil([&] { return item->isInTray(); }));
    EXPECT_EQ(appearances, 1);

    // The panel crashes and starts again, its host later: no tray until the host comes.
    tray.reset();
    EXPECT_TRUE(processUntil([&] { return !item->isAvailable() && !item->isInTray(); }));
    tray = startTray({QStringLiteral("--without-host")});
    EXPECT_EQ(tray->waitForLine(QStringLiteral("registered "), registrationLimitMs), registered);
    processUntil([] { return false; }, 200);
    EXPECT_FALSE(item->isAvailable() || item->isInTray());
    tray->send(QStringLiteral("host"));
    EXPECT_EQ(tray->waitForLine(QStringLiteral("item ")), expectedItemLine());
    EXPECT_TRUE(processUntil([&] { return item->isInTray(); }));
    EXPECT_EQ(appearances, 1) << "the application hears of the first tray only";
    tray->send(QStringLiteral("nohost"));
    EXPECT_TRUE(processUntil([&] { return !item->isAvailable(); }));
}

TEST_F(StatusNotifierItemTest, ActivationOpensThePopupAndTheMenuIsTheHostsToShow)
{
    auto tray = startTray();
    makeItem();
    EXPECT_TRUE(item->isAvailable()) << "a panel already there is known at once";
    ASSERT_FALSE(tray->waitForLine(QStringLiteral("item ")).isEmpty());

    // A click: the popup opens at the point the host names, or where it last did.
    EXPECT_TRUE(item->geometry().isEmpty());
    tray->send(QStringLiteral("activate 300 200"));
    EXPECT_TRUE(processUntil([&] { return clicks == 1; }));
    EXPECT_EQ(item->geometry(), QRect(300, 200, 1, 1));
    tray->send(QStringLiteral("activate 0 0"));
    EXPECT_TRUE(processUntil([&] { return clicks == 2; }));
    EXPECT_EQ(item->geometry(), QRect(300, 200, 1, 1));

    // The menu's entries, mnemonics written the dbusmenu way.
    tray->send(QStringLiteral("layout"));
    EXPECT_EQ(tray->waitForLine(QStringLiteral("layout ")),
              u"layout 1 _Show Window|Fish & Chips__1|-|Off(off)|Quit"_qs);
    tray->send(QStringLiteral("click Off"));
    tray->send(QStringLiteral("click Quit"));
    // Both events arrive in order: a wrong trigger of the first would come first.
    EXPECT_TRUE(processUntil([&] { return quits > 0; }));
    EXPECT_EQ(quits, 1) << "a disabled entry does nothing";
    tray->send(QStringLiteral("event 999"));
    EXPECT_EQ(tray->waitForLine(QStringLiteral("error ")), u"error org.freedesktop.DBus.Error.InvalidArgs"_qs);

    // Changes reach the host: a new label, a new entry, a new icon.
    show->setText(QStringLiteral("&Montrer la fenêtre"));
    EXPECT_FALSE(tray->waitForLine(QStringLiteral("signal ItemsPropertiesUpdated")).isEmpty());
    menu.addAction(QStringLiteral("New"));
    EXPECT_FALSE(tray->waitForLine(QStringLiteral("signal LayoutUpdated")).isEmpty());
    tray->send(QStringLiteral("layout"));
    EXPECT_EQ(tray->waitForLine(QStringLiteral("layout ")),
              u"layout 2 _Montrer la fenêtre|Fish & Chips__1|-|Off(off)|Quit|New"_qs);
    item->show(halfTransparentRed(), QStringLiteral("Other"), &menu);
    EXPECT_FALSE(tray->waitForLine(QStringLiteral("signal NewIcon")).isEmpty());
    EXPECT_FALSE(tray->waitForLine(QStringLiteral("signal NewToolTip")).isEmpty());

    // The other button: the menu at the point.
    tray->send(QStringLiteral("contextmenu 40 50"));
    EXPECT_TRUE(processUntil([&] { return menu.isVisible(); }));
    EXPECT_EQ(menu.pos(), QPoint(40, 50));
    menu.close();
}

TEST_F(StatusNotifierItemTest, NamesTheSymbolicIconWhereTheDesktopPrefersOneAndKeepsThePixmaps)
{
    const auto installIcon = [](const QString &themes, const QString &name) {
        QDir().mkpath(themes + u"/hicolor/symbolic/apps"_qs);
        QFile icon(themes + u"/hicolor/symbolic/apps/"_qs + name + u".svg"_qs);
        return icon.open(QIODevice::WriteOnly) && icon.write("<svg/>") > 0;
    };
    // Installations whose program lies in bin/, with the icon beside it or
    // without; and an icon in the desktop's own data folders, which hosts
    // find without help.
    TestFolder installed, bare;
    const QString themes = installed.filePath(u"share/icons"_qs);
    const QString ribbon = u"org.example.Ribbon-symbolic"_qs, shared = u"org.example.Shared-symbolic"_qs;
    ASSERT_TRUE(installIcon(themes, ribbon));
    ASSERT_TRUE(
        installIcon(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u"/icons"_qs, shared));
    const struct
    {
        QString desktops;
        const TestFolder &installation;
        QString icon, name, path;
    } cases[] = {
        {u"GNOME"_qs, installed, ribbon, ribbon, themes},
        {u"KDE"_qs, bare, shared, shared, QString()},
        // Panels in colour: the pixmaps alone.
        {u"XFCE"_qs, installed, ribbon, QString(), QString()},
        {u"GNOME-Flashback-like"_qs, installed, ribbon, QString(), QString()},
        // No such icon installed: a name the host cannot find would show nothing.
        {u"GNOME"_qs, bare, ribbon, QString(), QString()},
    };
    for (const auto &c : cases) {
        const TrayIconTheme theme = TrayIconTheme::forDesktop(c.icon, c.desktops, c.installation.filePath(u"bin"_qs));
        EXPECT_EQ(QStringList({theme.iconName, theme.themePath}), QStringList({c.name, c.path}))
            << c.desktops.toStdString();
    }

    // The host reads the name beside the pixmaps.
    auto tray = startTray();
    DesktopStatusItem desktopItem(bus.client(), false, u"GNOME"_qs, installed.filePath(u"bin"_qs));
    desktopItem.setSymbolicIconName(ribbon);
    desktopItem.show(halfTransparentRed(), QStringLiteral("Favourites"), &menu);
    const QString line = tray->waitForLine(QStringLiteral("item "));
    EXPECT_TRUE(line.endsWith(u" iconname="_qs + ribbon + u" themepath="_qs + themes)) << line.toStdString();
    EXPECT_TRUE(line.contains(u" icons=16x16,22x22,24x24,32x32 "_qs)) << line.toStdString();
}

TEST(StatusNotifierItemWithoutBus, NoSessionBusIsNoTrayAndNoFault)
{
    QMenu menu;
    menu.addAction(QStringLiteral("Quit"));
    DesktopStatusItem item(
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("no bus")), false);
    EXPECT_FALSE(item.isAvailable());
    item.show(halfTransparentRed(), QStringLiteral("Favourites"), &menu);
    EXPECT_FALSE(item.isAvailable());
    EXPECT_TRUE(item.geometry().isEmpty());
}

} // namespace
