#include "ItemsFixture.h"

#include "items/PopupItemBoxes.h"
#include "quicklist/PopupWindow.h"
#include "quicklist/QuickListPage.h"
#include "quicklist/QuickListView.h"

#include <QApplication>
#include <QDropEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

namespace {

class PopupItemBoxesTest : public ItemsFixture
{
protected:
    PopupWindow popup{{favorites, preferences, sortSettings, supportFiles, links, desktop.services(), picker}};
    QuickListPage &page = popup.quickListPage();
    PopupItemBoxes adding{page, services, preferences};
};

TEST_F(PopupItemBoxesTest, TheFourEntriesAddToTheHeadingsGroupAndExpandIt)
{
    const auto collapseHome = [this] {
        QList<Group> groups = favorites.groups();
        groups[1].setExpanded(false);
        favorites.setGroups(groups);
        page.reloadQuickList();
    };
    collapseHome();
    popup.showPopover(QRect());
    auto *view = popup.findChild<QuickListView *>();
    ASSERT_TRUE(view);
    const QModelIndex home = view->model()->index(1, 0);
    const QRect add = view->rowDelegate()->partRect(view->visualRect(home), home, RowDelegate::Part::add);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, add.center());
    ASSERT_EQ(page.currentGroupName(), "Home");

    std::optional<QString> chosen;
    adding.setFileChooser([&chosen](QWidget *) { return chosen; });
    page.AddFileFolders(); // cancelled
    EXPECT_FALSE(favorites.hasItemList("Home"));
    chosen = folder.path();
    page.AddFileFolders();
    EXPECT_TRUE(favorites.groups().at(1).isExpanded());
    EXPECT_EQ(view->model()->rowCount(), 3) << "the group's rows are shown";

    // Each box shows in the popup and goes once it has added or was cancelled.
    collapseHome();
    const auto fill = [this](const char *field, const char *text, const char *button) {
        EXPECT_TRUE(page.subViewAdded());
        auto *edit = popup.findChild<QLineEdit *>(field);
        ASSERT_TRUE(edit && edit->isVisibleTo(&popup)) << field;
        edit->setText(text);
        QTest::mouseClick(popup.findChild<QPushButton *>(button), Qt::LeftButton);
        EXPECT_FALSE(page.subViewAdded()) << button;
    };
    page.AddWebBookmark();
    popup.findChild<QLineEdit *>("txtfieldURL")->setText("example.com");
    fill("txtFieldTitle_webbookmark", "Site", "btnadd_boxaddWebBookmark");
    EXPECT_TRUE(favorites.groups().at(1).isExpanded());
    page.AddTextSnnipet();
    fill("txtFieldTitle_textfile", "Half typed", "btncancel_boxtextnote");

    QStringList titles = storedTitles("Home");
    titles.sort(Qt::CaseInsensitive);
    EXPECT_EQ(titles, QStringList({"Site", QFileInfo(folder.path()).fileName()}));
    EXPECT_EQ(view->model()->rowCount(), 4);
    for (QMenu *menu : popup.findChildren<QMenu *>())
        menu->close();
}

TEST_F(PopupItemBoxesTest, FilesAndWebAddressesDroppedOnARowJoinItsGroup)
{
    popup.showPopover(QRect());
    auto *view = popup.findChild<QuickListView *>();
    ASSERT_TRUE(view);
    // A drag over row, then the drop if it was taken.
    const auto drop = [view](int row, const QList<QUrl> &urls) {
        QMimeData data;
        data.setUrls(urls);
        const QPoint at = view->visualRect(view->model()->index(row, 0)).center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
        enter.ignore();
        QApplication::sendEvent(view->viewport(), &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, {});
        dropped.ignore();
        QApplication::sendEvent(view->viewport(), &dropped);
        return dropped.isAccepted();
    };
    const QString file = folder.filePath("report.pdf");
    QFile(file).open(QIODevice::WriteOnly);

    // On the "Home" heading: a file and a web address; a mail address is not for the popup.
    EXPECT_TRUE(drop(1, {QUrl::fromLocalFile(file), QUrl("https://www.example.org/page"), QUrl("mailto:a@b.org")}));
    QStringList titles = storedTitles("Home");
    titles.sort();
    EXPECT_EQ(titles, QStringList({"example.org", "report.pdf"}));
    for (const Item &added : favorites.items("Home"))
        EXPECT_EQ(added.kind(), added.title() == "example.org" ? ItemKind::bookmark : ItemKind::normalFile);
    EXPECT_TRUE(storedTitles("Work").isEmpty());
    EXPECT_FALSE(drop(0, {QUrl("mailto:a@b.org")})) << "nothing to add";

    // On an item's row: the group it is in.
    // Both were added in the same instant: either may come first under the heading.
    const QModelIndexList bookmarkRows = view->model()->match(view->model()->index(1, 0), Qt::DisplayRole,
                                                              "example.org", 1, Qt::MatchExactly);
    ASSERT_EQ(bookmarkRows.size(), 1);
    EXPECT_TRUE(drop(bookmarkRows.first().row(), {QUrl("http://news.example.com")}));
    EXPECT_EQ(storedTitles("Home").size(), 3);
    EXPECT_TRUE(storedTitles("Work").isEmpty());
}

} // namespace
