#include "QuickListFixture.h"

#include "quicklist/QuickList.h"
#include "quicklist/QuickListModel.h"
#include "store/LocalizedText.h"
#include "store/StoreKeys.h"
#include "store/TextKeys.h"
#include "support/FifoTrap.h"
#include "support/TestPictures.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QFile>
#include <QSignalSpy>
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
    quickList.endSearch();
    // Outside a search no item row names a group: its heading is above it.
    EXPECT_EQ(rowTitles(), QStringList({"Closed", "Open", "Taxes 2024", "taxi yellow"}));
    EXPECT_EQ(roleAt(2, QuickListModel::Role::foundInGroup).toString(), QString());
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
