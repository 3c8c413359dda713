#include "QuickListFixture.h"

#include "quicklist/QuickList.h"
#include "quicklist/QuickListModel.h"
#include "quicklist/RowDelegate.h"
#include "store/LocalizedText.h"
#include "store/StoreKeys.h"
#include "store/StoredRecords.h"
#include "store/TextKeys.h"
#include "support/FifoTrap.h"
#include "support/TestPictures.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QFile>
#include <QPainter>
#include <QSignalSpy>
#include <QStyleOptionViewItem>
#include <QtMath>

namespace {

class QuickListTest : public QuickListFixture
{
protected:
    QuickList quickList{favorites};
    QuickListModel model{quickList, supportFiles};
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};

    QStringList rowTitles() const { return rowTitlesOf(model); }
    QVariant roleAt(int row, QuickListModel::Role role) const { return model.index(row, 0).data(int(role)); }
};

} // namespace

TEST_F(QuickListTest, BuildsHeadingsAndTheItemsOfExpandedGroupsAndStoresToggles)
{
    addGroup("Collapsed", false, {item("c1", 1), item("c2", 2), item("c3", 3)});
    addGroup("Open", true, {item("o1", 4), item("o2", 5)});
    addGroup("Single", true, {item("s1", 6)});
    addGroup("Empty", true, {});
    addGroup("Unstored", true, {}, false);
    quickList.reloadQuickList();

    EXPECT_EQ(rowTitles(), QStringList({"Collapsed", "Open", "o1", "o2", "Single", "s1", "Empty", "Unstored"}));
    for (const auto &[row, count] : {std::pair{0, "3 items"}, {4, "1 item"}, {6, "0 items"}, {7, "0 items"}})
        EXPECT_EQ(roleAt(row, QuickListModel::Role::itemCountText).toString(), count) << row;
    EXPECT_FALSE(roleAt(0, QuickListModel::Role::isExpanded).toBool());
    EXPECT_TRUE(roleAt(1, QuickListModel::Role::isExpanded).toBool());

    EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsSelectable);
    EXPECT_TRUE(model.flags(model.index(2, 0)) & Qt::ItemIsSelectable);

    // A toggled group is stored at once; an item row is no heading.
    EXPECT_TRUE(quickList.toggleExpansion(0));
    EXPECT_TRUE(quickList.toggleExpansion(4));
    EXPECT_EQ(rowTitles().mid(0, 6), QStringList({"Collapsed", "c1", "c2", "c3", "Open", "Single"}));
    EXPECT_TRUE(favorites.groups().at(0).isExpanded());
    EXPECT_FALSE(favorites.groups().at(1).isExpanded());
    EXPECT_FALSE(quickList.toggleExpansion(1));

    // Two groups of one title (another program's file): each heading is its
    // own group's, whatever its record holds.
    QList<Group> groups = favorites.groups();
    groups.append(Group("Open"));
    favorites.setGroups(groups);
    QVariantList stored = *preferences.arrayForKey(StoreKeys::allgroups);
    stored.append(QVariantMap{{RecordKeys::title, "Odd"}, {RecordKeys::isExpanded, true}}); // no "isHeader"
    preferences.setObject(stored, StoreKeys::allgroups);
    quickList.reloadQuickList();
    const int secondOpen = rowTitles().lastIndexOf("Open");
    EXPECT_TRUE(quickList.isHeadingRow(rowTitles().indexOf("Odd")));
    EXPECT_TRUE(quickList.toggleExpansion(secondOpen));
    EXPECT_EQ(QList<bool>({favorites.groups().at(1).isExpanded(), favorites.groups().at(5).isExpanded()}),
              QList<bool>({false, false}));
    EXPECT_TRUE(quickList.toggleExpansion(rowTitles().indexOf("Open")));
    EXPECT_EQ(QList<bool>({favorites.groups().at(1).isExpanded(), favorites.groups().at(5).isExpanded()}),
              QList<bool>({true, false}));

    // A group list that is not an array keeps the previous rows.
    const int rows = model.rowCount();
    preferences.setObject("broken", StoreKeys::allgroups);
    quickList.reloadQuickList();
    EXPECT_EQ(model.rowCount(), rows);
}

TEST_F(QuickListTest, ItemRowsCarryPinsColoursAndFolderControls)
{
    const QString dir = folder.filePath("Projects");
    QDir().mkpath(dir);
    QDir().mkpath(folder.filePath("Tool.app"));
    addGroup("G", true,
             {pinned(fileItem("Projects", 1, dir)), fileItem("Tool", 2, folder.filePath("Tool.app")),
              fileItem("Gone", 3, "/no/such/folder"), colorItem("Red", 4, "FF0000")});
    quickList.reloadQuickList();

    EXPECT_TRUE(roleAt(1, QuickListModel::Role::isPinned).toBool());
    // Only a real folder opens a menu: not an .app folder, not a missing one.
    for (const auto &[row, opens] : {std::pair{1, true}, {2, false}, {3, false}})
        EXPECT_EQ(roleAt(row, QuickListModel::Role::opensFolderMenu).toBool(), opens) << row;
    EXPECT_EQ(roleAt(4, QuickListModel::Role::tagColor).value<QColor>(), QColor(Qt::red));
    // A file or folder that is gone says so, to the eye and to screen readers.
    for (const auto &[row, missing] : {std::pair{1, false}, {3, true}, {4, false}}) {
        EXPECT_EQ(roleAt(row, QuickListModel::Role::isMissing).toBool(), missing) << row;
        EXPECT_EQ(roleAt(row, QuickListModel::Role(Qt::AccessibleDescriptionRole)).toString(),
                  missing ? LocalizedText(Text::fileMissingLine).arg("/no/such/folder") : QString())
            << row;
    }
}

TEST_F(QuickListTest, SearchShowsMatchingItemsOfEveryGroupInGroupAndStoredOrderNamingTheirGroup)
{
    addGroup("Closed", false, {bookmark("News", 2, "https://example.org/TAXES"), colorItem("Brand", 4, "47CE64")});
    addGroup("Open", true, {note("Taxes 2024", 5, "/support/2.txt"), colorItem("taxi yellow", 6, "FFCC00")});
    quickList.reloadQuickList();

    // Collapsed groups too; what matches is the store's rule (PopupSearch).
    quickList.beginSearch("tax");
    EXPECT_EQ(rowTitles(), QStringList({"News", "Taxes 2024", "taxi yellow"}));
    // Each result names its group, to be seen and to be heard.
    for (int row = 0; row < model.rowCount(); ++row)
        EXPECT_EQ(roleAt(row, QuickListModel::Role::foundInGroup).toString(), row == 0 ? "Closed" : "Open");
    EXPECT_EQ(model.index(0, 0).data(Qt::AccessibleDescriptionRole).toString(), "In the group “Closed”");
    quickList.endSearch();
    // Outside a search no item row names a group: its heading is above it.
    EXPECT_EQ(rowTitles(), QStringList({"Closed", "Open", "Taxes 2024", "taxi yellow"}));
    EXPECT_EQ(roleAt(2, QuickListModel::Role::foundInGroup).toString(), QString());
}

TEST_F(QuickListTest, AGroupsTagStaysVisibleOnTheHighlightedRow)
{
    Group blue("Blue");
    blue.setColor("2C76E9"); // the highlight's own blue
    storeGroup(blue, {});
    quickList.reloadQuickList();
    RowDelegate delegate;
    delegate.setHoverRow(0);
    QStyleOptionViewItem option;
    option.rect = QRect(0, 0, 320, RowDelegate::rowHeight);
    option.palette = QApplication::palette();
    QImage image(option.rect.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    delegate.paint(&painter, option, model.index(0, 0));
    painter.end();
    const QRect strip = RowDelegate::tagStripRect(option.rect);
    EXPECT_EQ(image.pixelColor(strip.center()).name(), QColor(0x2C, 0x76, 0xE9).name());
    // Left of the tag and below it: light, set off from the highlight.
    for (const QPoint edge :
         {QPoint(strip.left() - 1, strip.center().y()), QPoint(strip.center().x(), strip.bottom() + 1)})
        EXPECT_GT(image.pixelColor(edge).lightness(), 220) << edge.x() << "," << edge.y();
}

TEST_F(QuickListTest, BookmarksShowOurOwnWebIconUntilTheirIconFileArrives)
{
    // Without an icon theme too.
    const QStringList searchPaths = QIcon::themeSearchPaths();
    const QString theme = QIcon::themeName();
    QIcon::setThemeSearchPaths({});
    QIcon::setThemeName("none");
    const QString iconPath = folder.filePath("icon.png");
    // Also a bookmark whose record names no icon file, as other programs write it.
    addGroup("Web", true, {}, false);
    storeRecords("Web", {StoredRecords::record(bookmark("site", 1, "example.org", iconPath)),
                         QVariantMap{{RecordKeys::title, "no icon"},
                                     {RecordKeys::Weburl, "example.net"},
                                     {RecordKeys::isbookmark, true}}});
    quickList.reloadQuickList();
    const auto shown = [&](int row) {
        return roleAt(row, QuickListModel::Role(Qt::DecorationRole)).value<QIcon>().pixmap(32, 32).toImage();
    };
    const QImage generic = shown(1), withoutIconFile = shown(2);
    QIcon::setThemeSearchPaths(searchPaths);
    QIcon::setThemeName(theme);
    const QImage own(":/icons/web.png");
    ASSERT_FALSE(own.isNull());
    for (const QPoint at : {QPoint(16, 16), QPoint(4, 16)})
        EXPECT_TRUE(generic.pixelColor(at) == own.pixelColor(at)
                    && withoutIconFile.pixelColor(at) == own.pixelColor(at));

    QPixmap red(16, 16);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(iconPath));
    quickList.reloadQuickList();
    EXPECT_EQ(shown(1).pixelColor(8, 8), QColor(Qt::red)) << "the arrived icon replaces ours";
}

TEST_F(QuickListTest, BookmarkIconsAreDecodedAtRowSizeAndNeverReadFromAFifo)
{
    FifoTrap fifo(folder.filePath("pipe.png"));
    ASSERT_TRUE(fifo.made());
    const QString large = folder.filePath("large.png");
    QFile file(large);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(TestPictures::largePng(5000, 5000)) > 0);
    file.close();
    // A FIFO dropped as a file item is shown by its kind, never read either.
    addGroup("Web", true,
             {bookmark("pipe", 1, "example.org", folder.filePath("pipe.png")),
              bookmark("large", 2, "example.com", large), fileItem("dropped", 3, folder.filePath("pipe.png"))});
    quickList.reloadQuickList();

    EXPECT_FALSE(roleAt(1, QuickListModel::Role(Qt::DecorationRole)).value<QIcon>().isNull()) << "the generic web icon";
    roleAt(3, QuickListModel::Role(Qt::DecorationRole)).value<QIcon>().pixmap(20, 20);
    EXPECT_FALSE(fifo.sprung()) << "the FIFO was opened for reading";
    // Decoded aside, so the generic icon shows until it is there.
    QSignalSpy decoded(&model, &QAbstractItemModel::dataChanged);
    roleAt(2, QuickListModel::Role(Qt::DecorationRole));
    ASSERT_TRUE(decoded.wait(30'000));
    const QIcon icon = roleAt(2, QuickListModel::Role(Qt::DecorationRole)).value<QIcon>();
    const int drawn = qCeil(QuickListModel::iconSize * qApp->devicePixelRatio());
    ASSERT_EQ(icon.availableSizes().size(), 1);
    const QSize size = icon.availableSizes().constFirst();
    EXPECT_TRUE(size.width() <= drawn && size.height() <= drawn) << size.width() << "x" << size.height();
}
