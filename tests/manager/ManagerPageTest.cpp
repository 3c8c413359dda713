#include "ManagerFixture.h"

#include "items/AddItemPanel.h"
#include "items/ItemEditor.h"
#include "manager/GroupRowDelegate.h"
#include "manager/GroupsModel.h"
#include "manager/GroupsPane.h"
#include "manager/ItemsModel.h"
#include "manager/ItemsPane.h"
#include "manager/PreviewWindow.h"
#include "store/TextKeys.h"
#include "support/FifoTrap.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

class ManagerPageTest : public ManagerFixture
{
protected:
    void open()
    {
        openPage();
        ASSERT_TRUE(groups && items);
        new QAbstractItemModelTester(groups->model(), QAbstractItemModelTester::FailureReportingMode::Fatal, page);
        new QAbstractItemModelTester(items->model(), QAbstractItemModelTester::FailureReportingMode::Fatal, page);
    }
    void TearDown() override
    {
        for (QMenu *menu : page ? page->findChildren<QMenu *>() : QList<QMenu *>())
            menu->close();
        window.reset();
    }

    QStringList column(QAbstractItemView *view, int role = Qt::DisplayRole) const
    {
        QStringList texts;
        for (int row = 0; row < view->model()->rowCount(); ++row)
            texts.append(view->model()->index(row, 0).data(role).toString());
        return texts;
    }
    template<typename T>
    T *child(const char *name) const
    {
        return page->findChild<T *>(QString::fromLatin1(name));
    }
    QMessageBox *alert() const { return child<QMessageBox>("managerAlert"); }
    void answer(QMessageBox *box, TextKey key)
    {
        ASSERT_TRUE(box);
        for (QAbstractButton *button : box->buttons()) {
            if (button->text() == LocalizedText(key)) {
                button->click();
                QCoreApplication::processEvents();
                return;
            }
        }
        FAIL() << "no button " << key.key();
    }
    void press(QWidget *widget, int key, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::keyClick(widget, Qt::Key(key), modifiers);
        QCoreApplication::processEvents();
    }
    static QRect rowRect(QAbstractItemView *view, int row) { return view->visualRect(view->model()->index(row, 0)); }
    QMenu *popUpMenu(QAbstractItemView *view, int row, const char *name)
    {
        Q_EMIT view->customContextMenuRequested(rowRect(view, row).center());
        return child<QMenu>(name);
    }
    // The group name editor once it shows (with name typed in it), else null.
    QLineEdit *nameEditor(const QString &name = {}) const
    {
        const auto *delegate = qobject_cast<GroupRowDelegate *>(groups->itemDelegate());
        if (!QTest::qWaitFor([delegate] { return delegate->editor() && delegate->editor()->isVisible(); }))
            return nullptr;
        if (!name.isNull())
            delegate->editor()->setText(name);
        return delegate->editor();
    }
};

TEST_F(ManagerPageTest, PanesShowTheStoreWithAccessibleRowsAndSearchTheSelectedGroup)
{
    addGroup("Work", {item("report", 1), colorItem("Brand", 2, "47CE64")});
    addGroup("Home", {item("plant", 3)});
    addGroup("Empty");
    open();
    EXPECT_EQ(column(groups, Qt::AccessibleTextRole), (QStringList{"Work", "Home", "Empty"}));
    EXPECT_EQ(column(groups, int(GroupsModel::Role::countText)), (QStringList{"2 items", "1 item", "0 items"}));
    EXPECT_EQ(column(items, Qt::AccessibleTextRole), (QStringList{"Brand", "report"}));
    for (QAbstractButton *button : page->findChildren<QAbstractButton *>()) // but the search field's own clear button
        EXPECT_TRUE(qobject_cast<QLineEdit *>(button->parentWidget()) || !button->accessibleName().isEmpty()
                    || !button->text().isEmpty())
            << button->objectName().toStdString();

    // An empty group shows a note in place of the list.
    groups->setCurrentIndex(groups->model()->index(2, 0));
    EXPECT_TRUE(child<QWidget>("boxNoItem")->isVisible());

    // The search filters the selected group (what matches is ManagerItems' test).
    groups->setCurrentIndex(groups->model()->index(0, 0));
    auto *search = child<QLineEdit>("searchtextfield");
    search->setText("REP");
    // Down goes on to the first result; it stays chosen when the search ends.
    press(search, Qt::Key_Down);
    EXPECT_TRUE(items->hasFocus());
    search->clear();
    EXPECT_EQ(items->currentIndex().data().toString(), "report");

    // A group change ends a search.
    search->setText("plant");
    page->groups().selectGroup(1);
    EXPECT_TRUE(search->text().isEmpty());
}

TEST_F(ManagerPageTest, AddingAndRenamingAGroupThroughItsRow)
{
    addGroup("Work");
    open();
    auto *add = child<QToolButton>("btnAddRemoveGroup_add");
    add->click();
    EXPECT_EQ(column(groups), (QStringList{"Work", "Group"}));

    // A taken name: the alert over the dimmed window, nothing stored.
    QLineEdit *field = nameEditor("Work");
    ASSERT_TRUE(field);
    press(field, Qt::Key_Return);
    QTRY_VERIFY(alert());
    EXPECT_TRUE(layer->isHeld());
    EXPECT_EQ(storedGroupTitles(), (QStringList{"Work", "Group"}));
    answer(alert(), "IDS_BR_2");
    EXPECT_FALSE(layer->isHeld());
    ASSERT_TRUE((field = nameEditor("Music")));
    press(field, Qt::Key_Return);
    QTRY_COMPARE(storedGroupTitles(), (QStringList{"Work", "Music"}));

    // Adding while a name is being edited commits the edit first.
    page->groupsPane().makeLabelStartEditing();
    ASSERT_TRUE(nameEditor("Group"));
    QTRY_VERIFY_WITH_TIMEOUT(add->isEnabled(), 2000);
    add->click();
    EXPECT_EQ(storedGroupTitles(), (QStringList{"Work", "Group", "Group1"}));
    ASSERT_TRUE((field = nameEditor()));
    press(field, Qt::Key_Escape);

    // An edit that ends while another page of the window shows is dropped.
    const QStringList before = storedGroupTitles();
    groups->setCurrentIndex(groups->model()->index(1, 0));
    page->groupsPane().makeLabelStartEditing();
    ASSERT_TRUE(nameEditor("Lost"));
    page->hide();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(storedGroupTitles(), before);
}

TEST_F(ManagerPageTest, DeletingAsksNamingWhatGoesAndReturnKeepsIt)
{
    addGroup("Work", {item("memo", 1), item("old", 2)});
    addGroup("Home");
    addGroup("Work");
    open();
    const QStringList groupsBefore = storedGroupTitles();
    const QStringList itemsBefore = storedItemTitles("Work");
    ASSERT_EQ(column(items), (QStringList{"old", "memo"}));
    items->setCurrentIndex(items->model()->index(0, 0));

    // Cancel is the default button: Return removes nothing.
    for (const auto &[list, detail] :
         {std::pair<QAbstractItemView *, QString>{groups, LocalizedText(Text::sharedItemsKept).arg("Work")},
          {items, "old"}}) {
        list->setFocus();
        press(list, Qt::Key_Delete);
        ASSERT_TRUE(alert());
        EXPECT_EQ(alert()->informativeText(), detail);
        ASSERT_TRUE(alert()->defaultButton());
        EXPECT_EQ(alert()->defaultButton()->text(), LocalizedText(Text::cancelAlert));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCoreApplication::processEvents();
        EXPECT_FALSE(alert() && alert()->isVisible());
    }
    EXPECT_EQ(storedGroupTitles(), groupsBefore);
    EXPECT_EQ(storedItemTitles("Work"), itemsBefore);

    // Continue removes; the next row takes the removed one's place.
    items->setFocus();
    press(items, Qt::Key_Delete);
    answer(alert(), "IDS_BR_77");
    EXPECT_EQ(items->currentIndex().data().toString(), "memo");

    // Shift+F10 opens the row's menu; its Delete asks too, and no menu opens meanwhile.
    groups->setFocus();
    press(groups, Qt::Key_F10, Qt::ShiftModifier);
    QMenu *menu = child<QMenu>("groupsMenu");
    ASSERT_TRUE(menu);
    menu->actions().at(1)->trigger();
    menu->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QTRY_VERIFY(alert());
    EXPECT_EQ(popUpMenu(groups, 0, "groupsMenu"), nullptr);
    answer(alert(), "IDS_BR_77");
    EXPECT_EQ(storedGroupTitles(), (QStringList{"Home", "Work"}));
    // The last group of the title keeps its items till it goes too.
    EXPECT_EQ(storedItemTitles("Work"), QStringList{"memo"});
}

TEST_F(ManagerPageTest, KeysActOnTheRowWithTheFocusAndThePageKeysWorkAnywhere)
{
    addGroup("Work", {colorItem("a", 1, "FF0000"), colorItem("b", 2, "00FF00"), colorItem("c", 3, "0000FF")});
    addGroup("Home");
    sortSettings.itemSortAscending = true;
    open();

    page->setFocus();
    press(groups, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(page->itemsPane().searchField()->hasFocus());

    // A current row without the selection (as a reset leaves it) is selected
    // when the list gets the focus; the keys act on it and Down moves from it.
    items->selectionModel()->setCurrentIndex(items->model()->index(1, 0), QItemSelectionModel::NoUpdate);
    items->selectionModel()->clearSelection();
    items->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(items->selectedRow(), 1);
    press(items, Qt::Key_F2);
    auto *panel = page->findChild<AddItemPanel *>();
    ASSERT_TRUE(panel && panel->isVisible()) << "F2 edits the row with the focus";
    EXPECT_EQ(panel->findChild<QLineEdit *>("txtfieldTitle")->text(), "b");
}

// (Icons are decoded at their drawn size by the popup's IconImages, tested with the popup.)
TEST_F(ManagerPageTest, RowsNeverReadAFifo)
{
    const QString iconPipe = folder.filePath("icon.png");
    const QString notePipe = supportFiles.folder() + "/9.txt";
    FifoTrap iconFifo(iconPipe);
    FifoTrap noteFifo(notePipe);
    const Item memo = note("memo", 3, notePipe);
    addGroup("Web", {bookmark("pipe", 1, "example.org", iconPipe), memo});
    open();
    QCoreApplication::processEvents();
    for (int row = 0; row < 2; ++row)
        items->model()->index(row, 0).data(Qt::DecorationRole).value<QIcon>().pixmap(20, 20);
    EXPECT_EQ(items->model()->index(0, 0).data(int(ItemsModel::Role::subtitle)).toString(), QString()) << "memo";
    EXPECT_FALSE(ItemEditor::readNote(memo));
    EXPECT_FALSE(iconFifo.sprung() || noteFifo.sprung()) << "a FIFO was opened for reading";
}

TEST_F(ManagerPageTest, RowsOpenPreviewAndSayWhatIsGoneOrCouldNotOpen)
{
    const QString picture = userFile("photo.txt", "hello");
    const QString gone = folder.filePath("gone.odt");
    addGroup("Work", {fileItem("photo", 1, picture), bookmark("site", 2, "x.org"), fileItem("gone", 3, gone),
                      note("kept note", 4, supportFile("5.txt", "first line"))});
    sortSettings.itemSortAscending = true;
    open();

    // A file that is gone says so in the row's second line, also to screen readers; a note shows its first line.
    const QModelIndex goneRow = items->model()->index(2, 0);
    EXPECT_EQ(goneRow.data(Qt::AccessibleDescriptionRole).toString(), LocalizedText(Text::fileMissingLine).arg(gone));
    EXPECT_EQ(items->model()->index(3, 0).data(int(ItemsModel::Role::subtitle)).toString(), "first line");

    // Return opens; Space previews, in the desktop's previewer if any, else in a window of our own.
    items->setCurrentIndex(items->model()->index(0, 0));
    items->setFocus();
    press(items, Qt::Key_Return);
    EXPECT_EQ(desktop.urls.opened, QList<QUrl>{QUrl::fromLocalFile(picture)});
    press(items, Qt::Key_Space);
    auto *preview = page->findChild<PreviewWindow *>();
    ASSERT_TRUE(preview && preview->isVisible());
    preview->close();
    desktop.previewer.available = true;

    // A file that is gone is handed neither to the desktop nor to its previewer.
    items->setCurrentIndex(items->model()->index(2, 0));
    press(items, Qt::Key_Return);
    ASSERT_TRUE(alert());
    EXPECT_TRUE(alert()->informativeText().contains(gone));
    answer(alert(), "IDS_BR_2");
    page->itemsPane().menuitem_QuickLook();
    EXPECT_TRUE(desktop.previewer.toggled.isEmpty());
    preview->close();
}

TEST_F(ManagerPageTest, ColourTagsByKeyboard)
{
    addGroup("Zeta");
    addGroup("Alpha");
    addGroup("Mid", {}, "FF3B30");
    open();
    const auto reorder = [this](const QStringList &titles) {
        QList<Group> reordered;
        for (const QString &title : titles)
            reordered.append(storedGroup(title));
        favorites.setGroups(reordered);
        links.requestManagerGroupsReload();
        ASSERT_EQ(column(groups), titles);
    };
    const auto colorOf = [this](const QString &title) { return storedGroup(title).color(); };
    const auto openByKey = [this](int row) {
        groups->setFocus();
        groups->setCurrentIndex(groups->model()->index(row, 0));
        press(groups, Qt::Key_T, Qt::ControlModifier);
        return picker.isVisible() && picker.isAncestorOf(QApplication::focusWidget()) ? QApplication::focusWidget()
                                                                                      : nullptr;
    };
    const QList<QColor> swatches = ColorTagPicker::swatchColors();

    // Groups moving while the picker is open: the colour goes to the group it was opened for.
    reorder({"Mid", "Zeta", "Alpha"});
    QWidget *swatch = openByKey(1);
    ASSERT_TRUE(swatch);
    reorder({"Zeta", "Alpha", "Mid"});
    press(swatch, Qt::Key_End);
    press(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(colorOf("Zeta"), ColorText::fromColor(swatches.last()));
}

} // namespace
