#include "QuickListFixture.h"

#include "quicklist/QuickListView.h"
#include "store/ColorText.h"
#include "store/TextKeys.h"

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

class PopupWindowTest : public QuickListFixture
{
protected:
    void SetUp() override
    {
        addGroup("Apps", true, {item("older", 1), item("newer", 2)});
        addGroup("Web", false, {bookmark("News site", 3, "news.example.org")});
        addGroup("Colours", true, {colorItem("Brand green", 4, "47CE64")});
        vc = std::make_unique<PopupWindow>(services());
        view = vc->findChild<QuickListView *>();
        ASSERT_TRUE(view);
        vc->showPopover(QRect());
    }
    void TearDown() override
    {
        for (QMenu *menu : vc->findChildren<QMenu *>())
            menu->close();
        vc.reset();
    }

    QStringList rowTitles() const { return rowTitlesOf(*view->model()); }
    QPoint rowCenter(int row) const { return view->visualRect(view->model()->index(row, 0)).center(); }
    void clickPart(int row, RowDelegate::Part part)
    {
        const QModelIndex index = view->model()->index(row, 0);
        view->scrollTo(index);
        const QRect rect = view->rowDelegate()->partRect(view->visualRect(index), index, part);
        ASSERT_FALSE(rect.isEmpty());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    }
    template<typename T>
    T *child(const char *name) const
    {
        return vc->findChild<T *>(QString::fromLatin1(name));
    }
    QMenu *openMenu(const char *name) const
    {
        for (QMenu *menu : vc->findChildren<QMenu *>(QString::fromLatin1(name))) {
            if (menu->isVisible())
                return menu;
        }
        return nullptr;
    }
    QMenu *contextMenu(int row)
    {
        const QPoint at = rowCenter(row);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, view->viewport()->mapToGlobal(at));
        QApplication::sendEvent(view->viewport(), &event);
        return openMenu("tblmenu");
    }
    // The folder menu, listed in the background.
    QMenu *folderMenu() const
    {
        return QTest::qWaitFor([&] { return openMenu("subItemsmenu") != nullptr; }, 5000) ? openMenu("subItemsmenu")
                                                                                          : nullptr;
    }

    std::unique_ptr<PopupWindow> vc;
    QuickListView *view = nullptr;
};

} // namespace

TEST_F(PopupWindowTest, LoadingBuildsSortedRowsAndClicksOpenOnceOrToggle)
{
    EXPECT_TRUE(links.popoverListLoaded);
    // The stored items are sorted newest first; the rows show it at the next rebuild.
    EXPECT_EQ(rowTitles(), QStringList({"Apps", "older", "newer", "Web", "Colours", "Brand green"}));
    links.requestQuickListReload();
    EXPECT_EQ(rowTitles().mid(1, 2), QStringList({"newer", "older"}));

    // A heading click toggles its group; an item click opens and selects nothing.
    clickPart(3, RowDelegate::Part::body);
    EXPECT_EQ(rowTitles().at(4), "News site");
    clickPart(4, RowDelegate::Part::body);
    EXPECT_FALSE(view->selectionModel() && view->selectionModel()->hasSelection());
    const QPoint at = rowCenter(4);
    using E = QEvent;
    // A double click opens once, in both orders a window system may deliver it.
    for (const auto &sequence :
         {QList<E::Type>{E::MouseButtonPress, E::MouseButtonRelease, E::MouseButtonDblClick, E::MouseButtonRelease},
          {E::MouseButtonPress, E::MouseButtonRelease, E::MouseButtonPress, E::MouseButtonDblClick,
           E::MouseButtonRelease}}) {
        desktop.urls.opened.clear();
        for (E::Type type : sequence) {
            QMouseEvent event(type, at, view->viewport()->mapToGlobal(at), Qt::LeftButton,
                              type == E::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(view->viewport(), &event);
        }
        EXPECT_EQ(desktop.urls.opened.size(), 1);
    }
    clickPart(3, RowDelegate::Part::expand);
    EXPECT_FALSE(favorites.groups().at(1).isExpanded());
}

TEST_F(PopupWindowTest, OpeningFromAMenuClosesThePopupCopyingAColourDoesNot)
{
    const QString big = folder.filePath("Big");
    QDir().mkpath(big + "/Folder");
    for (int n = 1; n <= 1008; ++n)
        ASSERT_TRUE(QFile(big + QStringLiteral("/file%1.txt").arg(n)).open(QIODevice::WriteOnly));
    favorites.setItems("Apps", {fileItem("Big", 9, big)});
    preferences.setObject(true, StoreKeys::showFileListInFolder);
    vc->quickListPage().reloadQuickList();
    vc->showPopover(QRect()); // reads the folder-list setting

    QMenu *menu = contextMenu(4); // "Brand green"
    ASSERT_TRUE(menu);
    menu->actions().at(0)->trigger(); // copy the colour code
    QCoreApplication::processEvents();
    EXPECT_TRUE(vc->isPopoverShown());
    menu->close();

    // A large folder is listed in the background, cut short.
    clickPart(1, RowDelegate::Part::folderContents);
    EXPECT_EQ(openMenu("subItemsmenu"), nullptr) << "the click returns before the folder is listed";
    ASSERT_TRUE(menu = folderMenu());
    ASSERT_EQ(menu->actions().size(), 202); // 200 entries, a separator, the folder itself
    menu->actions().at(0)->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(desktop.urls.opened.last(), QUrl::fromLocalFile(big + "/Folder"));
    EXPECT_FALSE(vc->isPopoverShown());
}

TEST_F(PopupWindowTest, TheGroupBoxShowsRefusalsAndAnEmptyPopupOffersItForTheFirstGroup)
{
    auto *add = child<QPushButton>("btnadd_boxaddgroup");
    auto *name = child<QLineEdit>("txtfieldGroupname");
    auto *message = child<QLabel>("lblgroupalreadyexist");
    ASSERT_TRUE(add && name && message);
    child<QToolButton>("btncreateGroup")->click();
    QTest::keyClicks(name, "Web");
    add->click();
    EXPECT_EQ(message->text(), LocalizedText(Text::groupNamesMustBeUnique));
    EXPECT_EQ(name->text(), "Web") << "the name stays as typed";
    child<QPushButton>("btncancel_boxaddGroup")->click();
    EXPECT_EQ(favorites.groupTitles(), QStringList({"Apps", "Web", "Colours"}));

    favorites.setGroups(QList<Group>());
    vc->quickListPage().reloadQuickList();
    EXPECT_TRUE(child<QWidget>("emptyState")->isVisible() && !view->isVisible());
    child<QPushButton>("btncreateFirstGroup")->click();
    ASSERT_TRUE(vc->quickListPage().subViewAdded());
    name->setText("Work ");
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_FALSE(vc->quickListPage().subViewAdded() || child<QWidget>("emptyState")->isVisible());
    EXPECT_EQ(rowTitles(), QStringList({"Work "}));
}

TEST_F(PopupWindowTest, AHeadingsTagAndPlusActOnItsGroupAndItemBoxesCoverTheRows)
{
    const QString third = ColorText::fromColor(ColorTagPicker::swatchColors().at(2));
    clickPart(4, RowDelegate::Part::color); // "Colours"
    EXPECT_TRUE(picker.isVisible());
    picker.btnthirdclicked();
    EXPECT_FALSE(picker.isVisible());
    EXPECT_EQ(favorites.groups().at(2).color(), third);

    // The + of a heading adds to its group.
    int bookmarksAdded = 0;
    vc->quickListPage().setAddItemHandler(AddItemKind::webBookmark, [&] { ++bookmarksAdded; });
    clickPart(4, RowDelegate::Part::add);
    EXPECT_EQ(vc->quickListPage().currentGroupName(), "Colours");
    QMenu *menu = openMenu("itemmenu");
    ASSERT_TRUE(menu && menu->actions().size() == 4);
    menu->actions().at(1)->trigger();
    EXPECT_EQ(bookmarksAdded, 1);
    menu->close();

    // The item boxes open over the list and close through the popup.
    auto *box = new QWidget;
    vc->quickListPage().showInlineBox(box);
    EXPECT_TRUE(box->isVisible());
    clickPart(1, RowDelegate::Part::body);
    EXPECT_TRUE(desktop.urls.opened.isEmpty()) << "rows do nothing under a box";
    QTest::keyClick(vc.get(), Qt::Key_Escape);
    EXPECT_FALSE(vc->quickListPage().subViewAdded() || box->isVisible());
}

TEST_F(PopupWindowTest, KeyboardSearchesMovesTheHighlightOpensAndCloses)
{
    auto *field = child<QLineEdit>("searchtextfield");
    QTest::keyClicks(vc.get(), "NEW");
    EXPECT_EQ(rowTitles(), QStringList({"newer", "News site"}));
    EXPECT_EQ(view->hoverRow(), 0);
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Return}) // the second stops at the end
        QTest::keyClick(field, key);
    EXPECT_EQ(desktop.urls.opened, QList<QUrl>({QUrl("http://news.example.org")}));
    EXPECT_FALSE(vc->isPopoverShown()) << "opening an item closes the popup";
    vc->showPopover(QRect());
    EXPECT_TRUE(field->text().isEmpty() && !field->isVisible()) << "a popup that opens starts with an empty search";
    QTest::keyClicks(vc.get(), "docs");
    // A search that finds nothing says so, in place of the rows.
    EXPECT_TRUE(child<QLabel>("lblnoResults")->isVisible() && !view->isVisible());

    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_TRUE(!field->isVisible() && vc->isPopoverShown());
    EXPECT_EQ(rowTitles().first(), "Apps");
    QTest::keyClick(vc.get(), Qt::Key_Escape);
    EXPECT_FALSE(vc->isPopoverShown());
    vc->togglePopover(QRect());
    EXPECT_FALSE(vc->isPopoverShown()) << "the click that closed it does not reopen it";
}

// (The list, its rows, the highlight and a heading's folding are read over AT-SPI in AtspiPopupTest.)
TEST_F(PopupWindowTest, AScreenReaderReachesEveryControlAndActsOnEveryRow)
{
    for (QAbstractButton *button : vc->findChildren<QAbstractButton *>())
        EXPECT_FALSE(button->accessibleName().isEmpty() && button->text().isEmpty())
            << qPrintable(button->objectName());

    // An item: its menu's entries, and the highlight.
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(view);
    const int green = int(rowTitles().indexOf("Brand green"));
    QAccessibleActionInterface *actions = list->child(green)->actionInterface();
    ASSERT_TRUE(actions);
    actions->doAction(LocalizedText(Text::pinToTop));
    EXPECT_TRUE(favorites.items("Colours").value(0).isPinned());
    list->child(green)->actionInterface()->doAction(QAccessibleActionInterface::setFocusAction());
    EXPECT_EQ(view->hoverRow(), green);
    EXPECT_EQ(list->focusChild(), list->child(green));
}
