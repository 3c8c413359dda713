#include "QuickListFixture.h"

#include "quicklist/PopupGeometry.h"
#include "quicklist/QuickListModel.h"
#include "store/ColorText.h"
#include "quicklist/QuickListView.h"

#include <QAccessible>
#include <QApplication>
#include <QContextMenuEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

namespace {

class ViewControllerTest : public QuickListFixture
{
protected:
    void SetUp() override
    {
        addGroup("Apps", true, {item("older", 1), item("newer", 2)});
        addGroup("Web", false, {bookmark("News site", 3, "news.example.org")});
        addGroup("Colours", true, {colorItem("Brand green", 4, "47CE64")});
        vc = std::make_unique<ViewController>(services());
        view = vc->findChild<QuickListView *>();
        ASSERT_TRUE(view);
    }
    void TearDown() override
    {
        for (QMenu *menu : vc->findChildren<QMenu *>())
            menu->close();
        vc.reset();
    }

    QStringList rowTitles() const
    {
        QStringList titles;
        for (int row = 0; row < view->model()->rowCount(); ++row)
            titles.append(view->model()->index(row, 0).data().toString());
        return titles;
    }
    void clickPart(int row, RowDelegate::Part part)
    {
        const QModelIndex index = view->model()->index(row, 0);
        view->scrollTo(index);
        const QRect rect = view->rowDelegate()->partRect(view->visualRect(index), index, part);
        ASSERT_FALSE(rect.isEmpty());
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, rect.center());
    }
    template <typename T>
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

    std::unique_ptr<ViewController> vc;
    QuickListView *view = nullptr;
};

} // namespace

TEST_F(ViewControllerTest, LoadingBuildsRowsSortsStoredItemsAndLinksToTheManager)
{
    EXPECT_TRUE(links.popoverListLoaded);
    EXPECT_EQ(rowTitles(), QStringList({"Apps", "older", "newer", "Web", "Colours", "Brand green"}))
        << "the rows keep the order they were built in";
    EXPECT_EQ(titlesOf(favorites.items("Apps")), QStringList({"newer", "older"})) << "items sorted newest first";
    links.requestQuickListReload();
    EXPECT_EQ(rowTitles(), QStringList({"Apps", "newer", "older", "Web", "Colours", "Brand green"}));

    // A heading click toggles its group; an item click opens and selects nothing.
    clickPart(3, RowDelegate::Part::body);
    EXPECT_EQ(rowTitles().mid(3, 2), QStringList({"Web", "News site"}));
    EXPECT_TRUE(Records::isExpanded(favorites.groups().at(1)));
    clickPart(4, RowDelegate::Part::body);
    EXPECT_EQ(desktop.urls.opened, QList<QUrl>({QUrl("http://news.example.org")}));
    EXPECT_FALSE(view->selectionModel() && view->selectionModel()->hasSelection());
    clickPart(3, RowDelegate::Part::expand);
    EXPECT_FALSE(Records::isExpanded(favorites.groups().at(1)));
}

TEST_F(ViewControllerTest, ADoubleClickOpensARowOnce)
{
    vc->showPopover(QRect());
    clickPart(3, RowDelegate::Part::body); // expand "Web"
    ASSERT_EQ(rowTitles().at(4), "News site");
    const QPoint at = view->visualRect(view->model()->index(4, 0)).center();
    const auto send = [&](QEvent::Type type) {
        QMouseEvent event(type, at, view->viewport()->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &event);
    };
    // Both orders a window system may deliver a double click in.
    for (const auto &sequence :
         {QList<QEvent::Type>{QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonDblClick,
                              QEvent::MouseButtonRelease},
          QList<QEvent::Type>{QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonPress,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}}) {
        desktop.urls.opened.clear();
        for (QEvent::Type type : sequence)
            send(type);
        EXPECT_EQ(desktop.urls.opened.size(), 1);
    }
}

TEST_F(ViewControllerTest, ALargeFolderMenuIsListedInTheBackgroundAndCutShort)
{
    const QString big = folder.filePath("Big");
    QDir().mkpath(big + "/Folder");
    for (int n = 1; n <= 1008; ++n) {
        QFile file(big + QStringLiteral("/file%1.txt").arg(n));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    favorites.setItems("Apps", {fileItem("Big", 9, big)});
    preferences.setObject(true, StoreKeys::showFileListInFolder);
    vc->reloadQuickList();
    vc->showPopover(QRect());
    clickPart(1, RowDelegate::Part::folderContents);
    EXPECT_EQ(openMenu("subItemsmenu"), nullptr) << "the click returns before the folder is listed";
    ASSERT_TRUE(QTest::qWaitFor([&] { return openMenu("subItemsmenu") != nullptr; }, 5000));
    const QList<QAction *> entries = openMenu("subItemsmenu")->actions();
    ASSERT_EQ(entries.size(), 202); // 200 entries, a separator, the folder itself
    EXPECT_FALSE(entries.at(0)->icon().isNull()) << "a folder has an icon, with or without a theme";
    EXPECT_FALSE(entries.at(1)->icon().isNull());
    entries.last()->trigger();
    EXPECT_EQ(desktop.urls.opened.last(), QUrl::fromLocalFile(big));
}

TEST_F(ViewControllerTest, DuringASearchThePopupIsAsTallAsTheResults)
{
    QList<QVariantMap> many;
    for (int n = 0; n < 20; ++n)
        many.append(item(QStringLiteral("entry %1").arg(n), 100 + n));
    favorites.setItems("Apps", many);
    vc->reloadQuickList();
    vc->showPopover(QRect());
    const int grouped = vc->height();
    QTest::keyClicks(vc.get(), "entry 7");
    ASSERT_EQ(rowTitles(), QStringList({"entry 7"}));
    const int searching = vc->height();
    EXPECT_LT(searching, grouped);
    QTest::keyClick(child<QLineEdit>("searchtextfield"), Qt::Key_Escape);
    EXPECT_EQ(vc->height(), grouped);
}

TEST_F(ViewControllerTest, OnlyThePointerPrintsTheRowItIsOver)
{
    vc->showPopover(QRect());
    testing::internal::CaptureStdout();
    QTest::keyClick(vc.get(), Qt::Key_Down);
    QTest::keyClick(vc.get(), Qt::Key_Down);
    QTest::keyClicks(vc.get(), "new");
    EXPECT_EQ(view->hoverRow(), 0);
    QTest::keyClick(child<QLineEdit>("searchtextfield"), Qt::Key_Escape);
    QTest::mouseMove(view->viewport(), view->visualRect(view->model()->index(2, 0)).center());
    QTest::mouseMove(view->viewport(), view->visualRect(view->model()->index(2, 0)).center() + QPoint(3, 0));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "2\n");
}

TEST_F(ViewControllerTest, OpeningFromAMenuClosesThePopupCopyingAColourDoesNot)
{
    desktop.applications.applications = {{"browser.desktop", "Browser", {}}};
    const QString dir = folder.filePath("Docs");
    QDir().mkpath(dir + "/Inner");
    favorites.setItems("Apps", {fileItem("Docs", 9, dir)});
    vc->reloadQuickList();
    const auto menuAt = [&](int row) {
        const QPoint inRow = view->visualRect(view->model()->index(row, 0)).center();
        QContextMenuEvent event(QContextMenuEvent::Mouse, inRow, view->viewport()->mapToGlobal(inRow));
        QApplication::sendEvent(view->viewport(), &event);
        return openMenu("tblmenu");
    };
    vc->showPopover(QRect());
    QMenu *menu = menuAt(4); // "Brand green"
    ASSERT_TRUE(menu);
    menu->actions().at(0)->trigger(); // copy the colour code
    QCoreApplication::processEvents();
    EXPECT_TRUE(vc->isPopoverShown());
    menu->close();

    menu = menuAt(1); // "Docs": open with
    ASSERT_TRUE(menu);
    QAction *browser = menu->actions().at(0)->menu()->actions().at(0);
    browser->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(desktop.applications.launched.size(), 1);
    EXPECT_FALSE(vc->isPopoverShown());

    vc->showPopover(QRect());
    clickPart(1, RowDelegate::Part::folderContents);
    ASSERT_TRUE(QTest::qWaitFor([&] { return openMenu("subItemsmenu") != nullptr; }, 5000));
    openMenu("subItemsmenu")->actions().at(0)->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(desktop.urls.opened.last(), QUrl::fromLocalFile(dir + "/Inner"));
    EXPECT_FALSE(vc->isPopoverShown());
}

TEST_F(ViewControllerTest, AnEmptyPopupExplainsGroupsAndCreatesTheFirst)
{
    EXPECT_FALSE(child<QWidget>("emptyState")->isVisibleTo(vc.get()));
    favorites.setGroups({});
    vc->reloadQuickList();
    vc->showPopover(QRect());
    EXPECT_TRUE(child<QWidget>("emptyState")->isVisible());
    EXPECT_FALSE(view->isVisible());
    EXPECT_EQ(child<QLabel>("lblemptyList")->text(), LocalizedText("IDS_BR_261"));
    child<QPushButton>("btncreateFirstGroup")->click();
    ASSERT_TRUE(vc->subViewAdded());
    child<QLineEdit>("txtfieldGroupname")->setText("Work");
    child<QPushButton>("btnadd_boxaddgroup")->click();
    EXPECT_FALSE(child<QWidget>("emptyState")->isVisible());
    EXPECT_EQ(rowTitles(), QStringList({"Work"}));
}

TEST_F(ViewControllerTest, TabGoesRoundTheSearchFieldAndTheToolbarButtons)
{
    vc->showPopover(QRect());
    QApplication::setActiveWindow(vc.get());
    QTest::keyClicks(vc.get(), "e");
    auto *field = child<QLineEdit>("searchtextfield");
    field->setFocus();
    const QList<QToolButton *> buttons{child<QToolButton>("btncreateGroup"), child<QToolButton>("btnsort"),
                                       child<QToolButton>("btnsettings")};
    for (QToolButton *button : buttons) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(QApplication::focusWidget(), button);
        EXPECT_FALSE(button->accessibleName().isEmpty());
    }
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), field) << "the ring closes at the search field";
    QTest::keyClick(field, Qt::Key_Backtab);
    EXPECT_EQ(QApplication::focusWidget(), buttons.last());
    EXPECT_EQ(field->text(), "e") << "Tab types nothing into the search";

    // While the group box covers the page, Tab stays among its fields.
    child<QToolButton>("btncreateGroup")->click();
    ASSERT_TRUE(vc->subViewAdded());
    for (int press = 0; press < 4; ++press) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_FALSE(buttons.contains(QApplication::focusWidget()));
    }
}

TEST_F(ViewControllerTest, GroupBoxRefusesEmptyAndDuplicateNames)
{
    vc->showPopover(QRect());
    child<QToolButton>("btncreateGroup")->click();
    auto *box = child<QWidget>("boxAddGroup");
    auto *name = child<QLineEdit>("txtfieldGroupname");
    auto *message = child<QLabel>("lblgroupalreadyexist");
    ASSERT_TRUE(box && name && message);
    EXPECT_TRUE(box->isVisible());

    child<QPushButton>("btnadd_boxaddgroup")->click();
    EXPECT_EQ(message->text(), LocalizedText("IDS_BR_121"));
    QTest::keyClicks(name, "Web");
    child<QPushButton>("btnadd_boxaddgroup")->click();
    EXPECT_EQ(message->text(), LocalizedText("IDS_BR_69"));
    EXPECT_EQ(name->text(), "Web") << "the name stays as typed";
    EXPECT_EQ(favorites.groups().size(), 3);

    name->setText("Web ");
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_FALSE(vc->subViewAdded());
    EXPECT_EQ(favorites.groupTitles().last(), "Web ");
    EXPECT_EQ(rowTitles().last(), "Web ");

    // Cancelling stores nothing.
    child<QToolButton>("btncreateGroup")->setEnabled(true);
    child<QToolButton>("btncreateGroup")->click();
    EXPECT_TRUE(name->text().isEmpty());
    name->setText("Other");
    child<QPushButton>("btncancel_boxaddGroup")->click();
    EXPECT_FALSE(vc->subViewAdded());
    EXPECT_EQ(favorites.groups().size(), 4);
}

TEST_F(ViewControllerTest, PickerRecoloursTheGroupItWasOpenedFor)
{
    vc->showPopover(QRect());
    clickPart(4, RowDelegate::Part::color); // "Colours"
    EXPECT_TRUE(picker.isVisible());
    EXPECT_FALSE(picker.viewOpenFromMainwindow());
    picker.btnthirdclicked();
    EXPECT_FALSE(picker.isVisible());
    const QString third = ColorText::fromColor(SelectTagVc::swatchColors().at(2));
    EXPECT_EQ(favorites.groups().at(2).value(RecordKeys::color).toString(), third);
    EXPECT_EQ(favorites.groups().at(0).value(RecordKeys::color).toString(), "47CE64");
    EXPECT_EQ(view->model()->index(4, 0).data(int(QuickListModel::Role::tagColor)).value<QColor>(),
              SelectTagVc::swatchColors().at(2));

    // Opened from the manager window, a pick is not the popup's to apply.
    picker.openBeside(QRect(0, 0, 10, 10), true);
    picker.btnfirstClicked();
    EXPECT_EQ(favorites.groups().at(2).value(RecordKeys::color).toString(), third);
    EXPECT_EQ(favorites.groups().at(0).value(RecordKeys::color).toString(), "47CE64");
}

TEST_F(ViewControllerTest, AddItemMenuTargetsTheHeadingsGroup)
{
    int bookmarksAdded = 0;
    vc->setAddItemHandler(AddItemKind::webBookmark, [&] { ++bookmarksAdded; });
    vc->showPopover(QRect());
    links.editMode = true;
    clickPart(0, RowDelegate::Part::add);
    EXPECT_EQ(vc->currentGroupName(), "Apps");
    EXPECT_FALSE(links.editMode);
    QMenu *menu = openMenu("itemmenu");
    ASSERT_TRUE(menu);
    ASSERT_EQ(menu->actions().size(), 4);
    EXPECT_EQ(menu->actions().at(1)->text(), LocalizedText("IDS_BR_71"));
    EXPECT_FALSE(menu->actions().at(0)->isEnabled()) << "no handler yet";
    EXPECT_TRUE(menu->actions().at(1)->isEnabled());
    menu->actions().at(1)->trigger();
    EXPECT_EQ(bookmarksAdded, 1);
    menu->close();

    clickPart(4, RowDelegate::Part::add);
    EXPECT_EQ(vc->currentGroupName(), "Colours");
    openMenu("itemmenu")->close();

    // From the keyboard: the menu key on a highlighted heading.
    QTest::keyClick(vc.get(), Qt::Key_Down);
    ASSERT_EQ(view->hoverRow(), 0);
    QTest::keyClick(vc.get(), Qt::Key_Menu);
    EXPECT_EQ(vc->currentGroupName(), "Apps");
    ASSERT_TRUE(openMenu("itemmenu"));
    openMenu("itemmenu")->close();

    // The item boxes open over the list and close through the popup.
    auto *box = new QWidget;
    vc->showInlineBox(box);
    EXPECT_TRUE(box->isVisible());
    clickPart(1, RowDelegate::Part::body);
    EXPECT_TRUE(desktop.urls.opened.isEmpty()) << "rows do nothing under a box";
    QTest::keyClick(vc.get(), Qt::Key_Escape);
    EXPECT_FALSE(vc->subViewAdded());
    EXPECT_FALSE(box->isVisible());
}

TEST_F(ViewControllerTest, KeyboardSearchesMovesTheHighlightOpensAndCloses)
{
    vc->showPopover(QRect());
    auto *field = child<QLineEdit>("searchtextfield");
    QTest::keyClicks(vc.get(), "NEW");
    EXPECT_TRUE(field->isVisible());
    EXPECT_FALSE(child<QToolButton>("btnsearch")->isVisible());
    EXPECT_EQ(field->text(), "NEW");
    EXPECT_EQ(rowTitles(), QStringList({"newer", "News site"}));
    EXPECT_EQ(view->hoverRow(), 0);

    QTest::keyClick(field, Qt::Key_Down);
    QTest::keyClick(field, Qt::Key_Down);
    EXPECT_EQ(view->hoverRow(), 1);
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_EQ(desktop.urls.opened, QList<QUrl>({QUrl("http://news.example.org")}));
    EXPECT_FALSE(vc->isPopoverShown()) << "opening an item closes the popup";
    vc->showPopover(QRect());
    EXPECT_EQ(field->text(), "NEW") << "the search is still there when it opens again";

    // Removing from the results runs the search again. The menu key opens
    // the highlighted row's menu, so the keyboard reaches it too.
    QTest::keyClick(field, Qt::Key_Down);
    ASSERT_EQ(view->hoverRow(), 0);
    QTest::keyClick(field, Qt::Key_Menu);
    QMenu *menu = openMenu("tblmenu");
    ASSERT_TRUE(menu);
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_EQ(menu->actions().at(0)->text(), LocalizedText("IDS_BR_117"));
    menu->actions().at(0)->trigger();
    menu->close();
    EXPECT_EQ(rowTitles(), QStringList({"News site"}));

    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_FALSE(field->isVisible());
    EXPECT_TRUE(vc->isPopoverShown());
    EXPECT_EQ(rowTitles().first(), "Apps");
    QTest::keyClick(vc.get(), Qt::Key_Escape);
    EXPECT_FALSE(vc->isPopoverShown());
    vc->togglePopover(QRect());
    EXPECT_FALSE(vc->isPopoverShown()) << "the click that closed it does not reopen it";
}

TEST_F(ViewControllerTest, AScreenReaderReachesThePopupItsFieldButtonsAndRows)
{
    vc->showPopover(QRect());
    QAccessibleInterface *application = QAccessible::queryAccessibleInterface(qApp);
    ASSERT_TRUE(application);
    QAccessibleInterface *popup = nullptr;
    for (int index = 0; index < application->childCount(); ++index) {
        QAccessibleInterface *window = application->child(index);
        if (window && window->object() == vc.get())
            popup = window;
    }
    ASSERT_TRUE(popup) << "the popup is a window of the application's tree";
    EXPECT_EQ(popup->text(QAccessible::Name), LocalizedText("IDS_BR_264"));

    // Every descendant, with its name.
    QStringList named;
    QAccessibleInterface *list = nullptr;
    std::function<void(QAccessibleInterface *)> walk = [&](QAccessibleInterface *node) {
        for (int index = 0; index < node->childCount(); ++index) {
            QAccessibleInterface *child = node->child(index);
            if (!child)
                continue;
            if (child->object() == view)
                list = child;
            if (!child->text(QAccessible::Name).isEmpty())
                named.append(child->text(QAccessible::Name));
            walk(child);
        }
    };
    walk(popup);
    for (const char *key : {"IDS_BR_26", "IDS_BR_30", "IDS_BR_135", "IDS_BR_37"})
        EXPECT_TRUE(named.contains(LocalizedText(key))) << key;
    ASSERT_TRUE(list);
    QStringList rows;
    for (int index = 0; index < list->childCount(); ++index) {
        if (QAccessibleInterface *cell = list->child(index); cell && cell->role() != QAccessible::ScrollBar)
            rows.append(cell->text(QAccessible::Name));
    }
    EXPECT_TRUE(rows.contains("Apps") && rows.contains("Brand green")) << rows.join('|').toStdString();
}

TEST_F(ViewControllerTest, SettingsMenuAsksTheApplication)
{
    QSignalSpy manage(vc.get(), &ViewController::manageShortcutRequested);
    QSignalSpy preferencesShown(vc.get(), &ViewController::showPreferencesRequested);
    QSignalSpy quit(vc.get(), &ViewController::quitRequested);
    vc->showPopover(QRect());
    child<QToolButton>("btnsettings")->click();
    QMenu *menu = openMenu("settingsMenu");
    ASSERT_TRUE(menu);
    ASSERT_EQ(menu->actions().size(), 3);
    for (QAction *action : menu->actions())
        action->trigger();
    EXPECT_EQ(manage.count() + preferencesShown.count() + quit.count(), 3);
    EXPECT_TRUE(manage.count() && preferencesShown.count() && quit.count());
    EXPECT_FALSE(vc->isPopoverShown());
}

TEST(PopupGeometryTest, ListBoxHeightAndPlacement)
{
    // At least 430, the rows plus 50, at most the screen less 150.
    for (const auto &[rows, screen, height] : {std::tuple{379, std::optional<int>(900), 430}, {0, std::nullopt, 430},
                                               {500, 900, 550}, {800, 900, 750}, {5000, std::nullopt, 5050}})
        EXPECT_EQ(PopupGeometry::listBoxHeight(rows, screen), height) << rows;

    const QRect screen(0, 0, 1920, 1080);
    const QSize size(360, 500);
    // Under a tray icon in a top panel, centred on it.
    EXPECT_EQ(PopupGeometry::popupPosition(QRect(1000, 0, 24, 24), {}, screen, size), QPoint(832, 24));
    // Above an icon in a bottom panel.
    EXPECT_EQ(PopupGeometry::popupPosition(QRect(1000, 1056, 24, 24), {}, screen, size), QPoint(832, 556));
    // Near the right edge: kept on screen.
    EXPECT_EQ(PopupGeometry::popupPosition(QRect(1900, 0, 20, 20), {}, screen, size), QPoint(1560, 20));
    // No tray geometry: at the cursor, clamped.
    EXPECT_EQ(PopupGeometry::popupPosition(QRect(), QPoint(100, 200), screen, size), QPoint(100, 200));
    // Near the bottom the window opens above the cursor, as a menu does.
    EXPECT_EQ(PopupGeometry::popupPosition(QRect(), QPoint(1900, 1000), screen, size), QPoint(1560, 500));
    EXPECT_EQ(PopupGeometry::popupPosition(QRect(), QPoint(1900, 1000), QRect(1920, 0, 1280, 1024), size),
              QPoint(1920, 500));
}

TEST(PopupGeometryTest, EveryWindowStaysWhollyOnTheScreenOfItsAnchor)
{
    using PopupGeometry::Side;
    const QRect screen(0, 0, 1280, 800);
    struct Case
    {
        QRect anchor;
        QSize size;
        Side side;
        QPoint expected;
    };
    const Case cases[] = {
        // The palette under a button near the right edge: moved left, not cut.
        {QRect(894, 300, 24, 24), QSize(484, 400), Side::below, QPoint(796, 324)},
        // Near the bottom: above its button.
        {QRect(100, 700, 24, 24), QSize(300, 200), Side::below, QPoint(100, 500)},
        // Taller than the room on either side: on the side with more room, pushed on screen.
        {QRect(100, 400, 24, 24), QSize(300, 700), Side::below, QPoint(100, 0)},
        // The tag picker beside a heading, flipped to the left at the right edge.
        {QRect(1250, 100, 20, 20), QSize(200, 40), Side::right, QPoint(1050, 90)},
        {QRect(100, 5, 20, 20), QSize(200, 40), Side::right, QPoint(120, 0)},
        // Larger than the screen: its top-left corner stays visible.
        {QRect(10, 10, 10, 10), QSize(2000, 900), Side::below, QPoint(0, 0)},
    };
    for (const Case &c : cases) {
        const QPoint at = PopupGeometry::place(c.anchor, c.size, screen, c.side);
        EXPECT_EQ(at, c.expected) << c.anchor.x() << "," << c.anchor.y();
        if (c.size.width() <= screen.width() && c.size.height() <= screen.height()) {
            EXPECT_TRUE(screen.contains(QRect(at, c.size)));
        }
    }
    // A second screen to the right: kept on the anchor's screen.
    const QRect second(1280, 0, 1920, 1080);
    EXPECT_EQ(PopupGeometry::place(QPoint(1290, 1070), QSize(300, 300), second), QPoint(1290, 770));
    EXPECT_EQ(PopupGeometry::place(QPoint(5, 5), QSize(30, 30), QRect()), QPoint(5, 5)) << "no screen known";
}
