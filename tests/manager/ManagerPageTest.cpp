#include "ManagerFixture.h"

#include "items/AddItemPanel.h"
#include "items/ItemEditor.h"
#include "manager/GroupRowDelegate.h"
#include "manager/GroupsModel.h"
#include "manager/GroupsPane.h"
#include "manager/ItemRowDelegate.h"
#include "manager/ItemsModel.h"
#include "manager/ItemsPane.h"
#include "manager/PreviewWindow.h"
#include "store/TextKeys.h"
#include "support/FifoTrap.h"
#include "support/TestPictures.h"

#include <QAbstractItemModelTester>
#include <QAccessible>
#include <QDropEvent>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyleOptionViewItem>
#include <QTest>
#include <QToolButton>
#include <QToolTip>
#include <QtMath>

#include <functional>

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
    QMessageBox *alert() const { return page->findChild<QMessageBox *>(QStringLiteral("managerAlert")); }
    void answer(QMessageBox *box, TextKey key)
    {
        ASSERT_TRUE(box);
        const QList<QAbstractButton *> buttons = box->buttons();
        const auto button = std::find_if(buttons.begin(), buttons.end(),
                                         [key](auto *b) { return b->text() == LocalizedText(key); });
        ASSERT_NE(button, buttons.end()) << "no button " << key.key();
        (*button)->click();
        QCoreApplication::processEvents();
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
        return page->findChild<QMenu *>(QString::fromLatin1(name));
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

TEST_F(ManagerPageTest, PanesShowTheStoreWithAccessibleRows)
{
    addGroup(QStringLiteral("Work"),
             {item(QStringLiteral("report"), 1), colorItem(QStringLiteral("Brand"), 2, QStringLiteral("47CE64"))});
    addGroup(QStringLiteral("Home"), {item(QStringLiteral("plant"), 3)});
    addGroup(QStringLiteral("Empty"));
    open();
    EXPECT_EQ(column(groups), (QStringList{"Work", "Home", "Empty"}));
    EXPECT_EQ(column(groups, Qt::AccessibleTextRole), column(groups));
    EXPECT_EQ(column(groups, int(GroupsModel::Role::countText)), (QStringList{"2 items", "1 item", "0 items"}));
    EXPECT_EQ(column(items, Qt::AccessibleTextRole), (QStringList{"Brand", "report"}));
    EXPECT_EQ(items->model()->index(0, 0).data(int(ItemsModel::Role::subtitle)).toString(), QStringLiteral("47CE64"));
    for (QAbstractButton *button : page->findChildren<QAbstractButton *>()) // but the search field's own clear button
        EXPECT_TRUE(qobject_cast<QLineEdit *>(button->parentWidget()) || !button->accessibleName().isEmpty()
                    || !button->text().isEmpty())
            << button->objectName().toStdString() << button->metaObject()->className();

    // An empty group shows a note in place of the list.
    EXPECT_FALSE(child<QWidget>("boxNoItem")->isVisible());
    groups->setCurrentIndex(groups->model()->index(2, 0));
    EXPECT_TRUE(child<QWidget>("boxNoItem")->isVisible());

    // Ctrl+F goes to the search field, which filters the selected group (what matches is ManagerItems' test).
    groups->setCurrentIndex(groups->model()->index(0, 0));
    groups->setFocus();
    press(groups, Qt::Key_F, Qt::ControlModifier);
    auto *search = child<QLineEdit>("searchtextfield");
    EXPECT_TRUE(search->hasFocus());
    QTest::keyClicks(search, QStringLiteral("zzz"));
    EXPECT_EQ(items->emptyText(), LocalizedText(Text::noSearchMatches));
    search->setText(QStringLiteral("REP"));
    EXPECT_EQ(column(items), QStringList{"report"});
    // Down goes on to the first result; it stays chosen when the search ends.
    press(search, Qt::Key_Down);
    EXPECT_TRUE(items->hasFocus());
    search->clear();
    EXPECT_TRUE(items->emptyText().isEmpty());
    EXPECT_TRUE(items->selectionModel()->isRowSelected(items->currentIndex().row(), {}));
    EXPECT_EQ(items->currentIndex().data().toString(), QStringLiteral("report"));
}

TEST_F(ManagerPageTest, AddingAndRenamingAGroupThroughItsRow)
{
    addGroup(QStringLiteral("Work"));
    open();
    auto *add = child<QToolButton>("btnAddRemoveGroup_add");
    add->click();
    EXPECT_FALSE(add->isEnabled());
    EXPECT_EQ(column(groups), (QStringList{"Work", "Group"}));
    QLineEdit *field = nameEditor();
    ASSERT_TRUE(field);
    EXPECT_TRUE(QTest::qWaitFor([field] { return !field->hasSelectedText(); }));
    EXPECT_EQ(field->cursorPosition(), 5);
    QTRY_VERIFY_WITH_TIMEOUT(add->isEnabled(), 2000);

    // A taken name: the alert over the dimmed window, nothing stored.
    ASSERT_TRUE((field = nameEditor(QStringLiteral("Work"))));
    press(field, Qt::Key_Return);
    QTRY_VERIFY(alert());
    EXPECT_TRUE(layer->isHeld());
    EXPECT_EQ(storedGroupTitles(), (QStringList{"Work", "Group"}));
    answer(alert(), "IDS_BR_2");
    EXPECT_FALSE(layer->isHeld());
    ASSERT_TRUE((field = nameEditor(QStringLiteral("Music"))));
    press(field, Qt::Key_Return);
    QTRY_COMPARE(storedGroupTitles(), (QStringList{"Work", "Music"}));

    // Adding while a name is being edited commits the edit first.
    page->groupsPane().makeLabelStartEditing();
    ASSERT_TRUE(nameEditor(QStringLiteral("Group")));
    QTRY_VERIFY_WITH_TIMEOUT(add->isEnabled(), 2000);
    add->click();
    EXPECT_EQ(storedGroupTitles(), (QStringList{"Work", "Group", "Group1"}));
    ASSERT_TRUE((field = nameEditor()));
    press(field, Qt::Key_Escape);

    // An edit that ends while another page of the window shows is dropped.
    const QStringList before = storedGroupTitles();
    groups->setCurrentIndex(groups->model()->index(1, 0));
    page->groupsPane().makeLabelStartEditing();
    ASSERT_TRUE(nameEditor(QStringLiteral("Lost")));
    page->hide();
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(storedGroupTitles(), before);
}

TEST_F(ManagerPageTest, DeleteAndRemoveAskFirst)
{
    const QString noteBody = supportFile(QStringLiteral("7.txt"), "first line\nsecond");
    addGroup(QStringLiteral("Work"), {note(QStringLiteral("memo"), 1, noteBody), item(QStringLiteral("old"), 2)});
    addGroup(QStringLiteral("Home"));
    open();
    EXPECT_EQ(items->model()->index(1, 0).data(int(ItemsModel::Role::subtitle)).toString(),
              QStringLiteral("first line"));

    items->setCurrentIndex(items->model()->index(1, 0));
    items->setFocus();
    press(items, Qt::Key_Delete);
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->informativeText(), QStringLiteral("memo"));
    answer(alert(), "IDS_BR_78");
    EXPECT_EQ(storedItemTitles(QStringLiteral("Work")), (QStringList{"old", "memo"}));
    press(items, Qt::Key_Delete);
    answer(alert(), "IDS_BR_77");
    EXPECT_EQ(storedItemTitles(QStringLiteral("Work")), QStringList{"old"});
    // The next row is selected in the removed one's place.
    EXPECT_TRUE(items->selectionModel()->isSelected(items->currentIndex()));
    EXPECT_EQ(items->currentIndex().data().toString(), QStringLiteral("old"));
    EXPECT_FALSE(QFile::exists(noteBody));

    // The context menu of a group; empty while an alert is up.
    QMenu *menu = popUpMenu(groups, 1, "groupsMenu");
    ASSERT_TRUE(menu);
    menu->actions().at(1)->trigger();
    menu->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QTRY_VERIFY(alert());
    EXPECT_EQ(popUpMenu(groups, 0, "groupsMenu"), nullptr);
    answer(alert(), "IDS_BR_77");
    EXPECT_EQ(storedGroupTitles(), QStringList{"Work"});

    groups->setFocus();
    press(groups, Qt::Key_Delete);
    answer(alert(), "IDS_BR_77");
    EXPECT_TRUE(storedGroupTitles().isEmpty());
    EXPECT_FALSE(child<QToolButton>("btnAddRemoveGroup_remove")->isEnabled());
}

TEST_F(ManagerPageTest, KeysActOnTheRowWithTheFocusAndThePageKeysWorkAnywhere)
{
    addGroup(QStringLiteral("Work"), {colorItem(QStringLiteral("a"), 1, QStringLiteral("FF0000")),
                                      colorItem(QStringLiteral("b"), 2, QStringLiteral("00FF00")),
                                      colorItem(QStringLiteral("c"), 3, QStringLiteral("0000FF"))});
    addGroup(QStringLiteral("Home"));
    sortSettings.itemSortAscending = true;
    open();

    // Focusing the page (as showing it does) gives the keys to the groups list.
    page->setFocus();
    EXPECT_TRUE(groups->hasFocus());
    press(groups, Qt::Key_F, Qt::ControlModifier);
    EXPECT_TRUE(page->itemsPane().searchField()->hasFocus());
    press(page->itemsPane().searchField(), Qt::Key_T, Qt::ControlModifier);
    EXPECT_TRUE(picker.isVisible()) << "Ctrl+T from the search field";
    press(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_TRUE(groups->hasFocus());

    // A current row without the selection (as a reset leaves it) is selected
    // when the list gets the focus; the keys act on it and Down moves from it.
    items->selectionModel()->clearSelection();
    items->selectionModel()->setCurrentIndex(items->model()->index(1, 0), QItemSelectionModel::NoUpdate);
    items->selectionModel()->clearSelection();
    items->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(items->selectedRow(), 1);
    press(items, Qt::Key_F2);
    auto *panel = page->findChild<AddItemPanel *>();
    ASSERT_TRUE(panel && panel->isVisible()) << "F2 edits the row with the focus";
    EXPECT_EQ(panel->findChild<QLineEdit *>(QStringLiteral("txtfieldTitle"))->text(), QStringLiteral("b"));
    panel->reject();
    QCoreApplication::processEvents();
    items->setFocus();
    press(items, Qt::Key_Down);
    EXPECT_EQ(items->selectedRow(), 2);
    EXPECT_EQ(items->currentIndex().row(), 2);

    // The row with the focus is framed also when selected, in both lists.
    for (QAbstractItemView *view :
         {static_cast<QAbstractItemView *>(groups), static_cast<QAbstractItemView *>(items)}) {
        QStyleOptionViewItem option;
        option.initFrom(view);
        option.rect = QRect(0, 0, 200, 48);
        option.state &= ~QStyle::State_HasFocus;
        option.state |= QStyle::State_Selected | QStyle::State_Active;
        const auto render = [&](QStyle::State extra) {
            QImage image(option.rect.size(), QImage::Format_ARGB32);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            QStyleOptionViewItem framed = option;
            framed.state |= extra;
            view->itemDelegate()->paint(&painter, framed, view->model()->index(0, 0));
            painter.end();
            return image;
        };
        const QImage focused = render(QStyle::State_HasFocus);
        const QImage plain = render({});
        int framePixels = 0;
        for (int y = 0; y < 48; ++y)
            framePixels += focused.pixel(2, y) != plain.pixel(2, y);
        EXPECT_GT(framePixels, 10) << view->objectName().toStdString();
    }
}

TEST_F(ManagerPageTest, ConfirmationsNameWhatTheyRemoveAndReturnRemovesNothing)
{
    addGroup(QStringLiteral("Work"), {item(QStringLiteral("memo"), 1)});
    addGroup(QStringLiteral("Home"));
    open();
    struct Case
    {
        QAbstractItemView *list;
        QString message;
        QStringList kept;
    };
    groups->setCurrentIndex(groups->model()->index(int(column(groups).indexOf(QStringLiteral("Work"))), 0));
    items->setCurrentIndex(items->model()->index(0, 0));
    for (const Case &c :
         {Case{groups, LocalizedText(Text::deleteNamedGroupQuestion).arg(QStringLiteral("Work")), storedGroupTitles()},
          Case{items, LocalizedText(Text::removeItemQuestion), storedItemTitles(QStringLiteral("Work"))}}) {
        c.list->setFocus();
        press(c.list, Qt::Key_Delete);
        ASSERT_TRUE(alert());
        EXPECT_EQ(alert()->text(), c.message);
        ASSERT_TRUE(alert()->defaultButton());
        EXPECT_EQ(alert()->defaultButton()->text(), LocalizedText(Text::cancelAlert));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCoreApplication::processEvents();
        EXPECT_FALSE(alert() && alert()->isVisible());
        EXPECT_EQ(c.list == groups ? storedGroupTitles() : storedItemTitles(QStringLiteral("Work")), c.kept);
    }

    // Shift+F10 opens a row's menu, as the Menu key does.
    for (const auto &[list, menuName] : {std::pair{static_cast<QAbstractItemView *>(groups), "groupsMenu"},
                                         {static_cast<QAbstractItemView *>(items), "listMenu"}}) {
        list->setFocus();
        press(list, Qt::Key_F10, Qt::ShiftModifier);
        QMenu *menu = page->findChild<QMenu *>(QString::fromLatin1(menuName));
        ASSERT_TRUE(menu) << menuName;
        menu->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }

    // A name of spaces only is refused like an empty one.
    groups->setCurrentIndex(groups->model()->index(0, 0));
    const QStringList before = storedGroupTitles();
    EXPECT_EQ(page->groups().rename(0, QStringLiteral("   ")), ManagerGroups::Rename::restored);
    EXPECT_EQ(storedGroupTitles(), before);

    // A group change ends a search: the field is emptied, its clear button goes with the text.
    QLineEdit *search = page->itemsPane().searchField();
    search->setText(QStringLiteral("memo"));
    QSignalSpy cleared(search, &QLineEdit::textChanged);
    page->groups().selectGroup(before.indexOf(QStringLiteral("Work")) == 0 ? 1 : 0);
    EXPECT_TRUE(search->text().isEmpty());
    EXPECT_EQ(cleared.count(), 1) << "the clear button follows the field's text changes";
}

TEST_F(ManagerPageTest, DeletingOneOfGroupsSharingATitleSaysTheItemsStayWithTheOther)
{
    const QString work = QStringLiteral("Work");
    addGroup(work, {item(QStringLiteral("report"), 1), item(QStringLiteral("memo"), 2)});
    addGroup(work);
    open();
    groups->setCurrentIndex(groups->model()->index(1, 0));
    groups->setFocus();
    press(groups, Qt::Key_Delete);
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->informativeText(), LocalizedText(Text::sharedItemsKept).arg(work));
    answer(alert(), "IDS_BR_77");
    EXPECT_EQ(column(groups), QStringList{work});
    EXPECT_EQ(column(items), (QStringList{"memo", "report"}));

    // The last one of them says what deleting always says.
    press(groups, Qt::Key_Delete);
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->informativeText(), LocalizedText(Text::deleteGroupDetail));
    answer(alert(), "IDS_BR_78");
}

TEST_F(ManagerPageTest, RowsNeverReadAFifoAndDecodeIconsAtTheirDrawnSize)
{
    const QString iconPipe = folder.filePath(QStringLiteral("icon.png"));
    const QString notePipe = supportFiles.folder() + QStringLiteral("/9.txt");
    FifoTrap iconFifo(iconPipe);
    FifoTrap noteFifo(notePipe);
    const QString large = userFile(QStringLiteral("large.png"), TestPictures::largePng(5000, 5000));
    const Item memo = note(QStringLiteral("memo"), 3, notePipe);
    addGroup(QStringLiteral("Web"), {bookmark(QStringLiteral("pipe"), 1, QStringLiteral("example.org"), iconPipe),
                                     bookmark(QStringLiteral("large"), 2, QStringLiteral("example.com"), large), memo});
    open();
    QCoreApplication::processEvents();
    const int drawn = qCeil(ItemsModel::iconSize * qApp->devicePixelRatio());
    const auto rowOf = [this](const char *title) {
        return items->model()->match(items->model()->index(0, 0), Qt::DisplayRole, QString::fromLatin1(title)).value(0);
    };
    EXPECT_EQ(rowOf("memo").data(int(ItemsModel::Role::subtitle)).toString(), QString());
    // Decoded aside; the generic icon shows until then.
    QList<QSize> sizes;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            sizes = rowOf("large").data(Qt::DecorationRole).value<QIcon>().availableSizes();
            return sizes.size() == 1;
        },
        30'000));
    EXPECT_TRUE(sizes[0].width() <= drawn && sizes[0].height() <= drawn)
        << sizes[0].width() << "x" << sizes[0].height();
    EXPECT_FALSE(ItemEditor::readNote(memo));
    EXPECT_FALSE(iconFifo.sprung() || noteFifo.sprung()) << "a FIFO was opened for reading";
}

TEST_F(ManagerPageTest, ItemMenuKeysAndPreview)
{
    const QString picture = userFile(QStringLiteral("photo.txt"), "hello");
    addGroup(QStringLiteral("Work"), {fileItem(QStringLiteral("photo"), 1, picture),
                                      bookmark(QStringLiteral("site"), 2, QStringLiteral("x.org"))});
    sortSettings.itemSortAscending = true;
    open();

    QMenu *menu = popUpMenu(items, 1, "listMenu");
    ASSERT_TRUE(menu);
    QStringList enabled;
    for (QAction *action : menu->actions())
        enabled.append(action->isEnabled() ? action->text() : QString());
    // (Undo and Redo follow, after a separator.)
    EXPECT_EQ(enabled.mid(0, 5), (QStringList{"Edit", "", "", "Remove", "Pin to Top"}));
    menu->actions().at(4)->trigger();
    menu->close();
    EXPECT_EQ(storedItemTitles(QStringLiteral("Work")).first(), QStringLiteral("site"));

    // Return opens; Space previews, in the desktop's previewer if any, else in a window of our own.
    items->setCurrentIndex(items->model()->index(1, 0));
    items->setFocus();
    press(items, Qt::Key_Return);
    EXPECT_EQ(desktop.urls.opened, QList<QUrl>{QUrl::fromLocalFile(picture)});
    press(items, Qt::Key_Space);
    auto *preview = page->findChild<PreviewWindow *>();
    ASSERT_TRUE(preview && preview->isVisible());
    page->itemsPane().menuitem_QuickLook();
    EXPECT_FALSE(preview->isVisible());
    desktop.previewer.available = true;
    page->itemsPane().menuitem_QuickLook();
    EXPECT_EQ(desktop.previewer.toggled, QStringList{picture});
    EXPECT_FALSE(preview->isVisible());

    // A file that is gone says so instead of being handed to the desktop.
    const QString gone = folder.filePath(QStringLiteral("gone.txt"));
    replaceItems(QStringLiteral("Work"), {fileItem(QStringLiteral("gone"), 4, gone)});
    items->setCurrentIndex(items->model()->index(0, 0));
    press(items, Qt::Key_Return);
    ASSERT_TRUE(alert());
    EXPECT_EQ(alert()->text(), LocalizedText(Text::itemTargetMissing));
    EXPECT_TRUE(alert()->informativeText().contains(gone));
    answer(alert(), "IDS_BR_2");

    // What the desktop could not open or show is told in the window, not only on standard error.
    replaceItems(QStringLiteral("Work"), {fileItem(QStringLiteral("pic"), 5, picture),
                                          bookmark(QStringLiteral("site"), 6, QStringLiteral("site.org"), QString())});
    desktop.urls.succeeds = false;
    desktop.revealer.fails = true;
    const struct
    {
        int row;
        std::function<void()> act;
        QString told;
    } failures[] = {
        {0, [this] { press(items, Qt::Key_Return); },
         LocalizedText(Text::noApplicationOpens).arg(QStringLiteral("pic"))},
        {1, [this] { press(items, Qt::Key_Return); },
         LocalizedText(Text::noBrowserOpens).arg(QStringLiteral("site.org"))},
        {0, [this] { page->itemsPane().menuitem_Open(); }, LocalizedText(Text::noFileManagerShows).arg(picture)},
    };
    for (const auto &failure : failures) {
        items->setCurrentIndex(items->model()->index(failure.row, 0));
        failure.act();
        ASSERT_TRUE(alert()) << failure.told.toStdString();
        EXPECT_EQ(alert()->text(), LocalizedText(Text::couldNotOpenTitle));
        EXPECT_EQ(alert()->informativeText(), failure.told);
        answer(alert(), "IDS_BR_2");
    }
    desktop.urls.succeeds = true;

    // A double click on a colour says it copied the code (the copy itself is ManagerItems' test).
    replaceItems(QStringLiteral("Work"), {colorItem(QStringLiteral("green"), 3, QStringLiteral("47CE64"))});
    items->setCurrentIndex(items->model()->index(0, 0));
    page->itemsPane().Items_doubleclicked();
    EXPECT_EQ(QToolTip::text(), LocalizedText(Text::colourCodeCopied));
}

TEST_F(ManagerPageTest, DragsEndOnTheGroupRows)
{
    addGroup(QStringLiteral("A"), {item(QStringLiteral("a"), 1)});
    addGroup(QStringLiteral("B"));
    addGroup(QStringLiteral("C"));
    sortSettings.itemSortAscending = true;
    open();
    const auto drag = [this](const QPoint &at, const QMimeData &data) {
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(groups->viewport(), &enter);
        QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(groups->viewport(), &move);
        if (!move.isAccepted())
            return false;
        QDropEvent drop(QPointF(at), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});
        QApplication::sendEvent(groups->viewport(), &drop);
        return drop.isAccepted();
    };

    // Files from a file manager onto group C (their order is the drop target's test); the last one is shown.
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(userFile(QStringLiteral("z.txt"))),
                   QUrl::fromLocalFile(userFile(QStringLiteral("y.txt")))});
    EXPECT_TRUE(drag(rowRect(groups, 2).center(), files));
    EXPECT_EQ(items->currentIndex().data().toString(), QStringLiteral("y.txt"));

    // Group A dragged to the upper edge of C lands between B and C.
    page->drops().beginDrag(GroupsDropTarget::Drag::group, 0);
    QMimeData row;
    row.setData(tableViewDragType, "0");
    EXPECT_FALSE(drag(rowRect(groups, 2).center(), row));
    EXPECT_TRUE(drag(rowRect(groups, 2).topLeft() + QPoint(10, 2), row));
    page->drops().endDrag();
    EXPECT_EQ(storedGroupTitles(), (QStringList{"B", "A", "C"}));
}

TEST_F(ManagerPageTest, PopupAndManagerStayInStep)
{
    addGroup(QStringLiteral("Zeta"), {item(QStringLiteral("z"), 1)});
    addGroup(QStringLiteral("Alpha"));
    links.popoverListLoaded = true;
    open();
    QSignalSpy popupReloads(&links, &ViewLinks::quickListReloadRequested);

    // The manager's sort menu sets the choice the popup shares.
    child<QToolButton>("btnsortGroups")->click();
    QMenu *sortMenu = page->findChild<QMenu *>(QStringLiteral("groupSortMenu"));
    ASSERT_TRUE(sortMenu);
    sortMenu->actions().at(1)->trigger();
    sortMenu->close();
    EXPECT_EQ(sortSettings.groupSortKey, SortSettings::GroupKey::title);
    EXPECT_EQ(column(groups), (QStringList{"Zeta", "Alpha"}));
    EXPECT_GT(popupReloads.count(), 0);

    // The painted colour swatch opens the shared picker for the manager (what a pick stores is tested below).
    QTest::mouseClick(groups->viewport(), Qt::LeftButton, {},
                      GroupRowDelegate::partRect(rowRect(groups, 1), GroupRowDelegate::Part::color).center());
    EXPECT_TRUE(picker.viewOpenFromMainwindow() && picker.isVisible());
    picker.close();
}

TEST_F(ManagerPageTest, ColourTagsByKeyboardAndScreenReader)
{
    addGroup(QStringLiteral("Zeta"));
    addGroup(QStringLiteral("Alpha"));
    addGroup(QStringLiteral("Mid"), {}, QStringLiteral("FF3B30"));
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

    // The key opens the picker for the group now selected, on its colour; an arrow and Return pick the next.
    reorder({"Mid", "Zeta", "Alpha"});
    QWidget *swatch = nullptr;
    ASSERT_TRUE((swatch = openByKey(2)));
    EXPECT_EQ(swatch->accessibleName(), LocalizedText(Text::colourGreen));
    press(swatch, Qt::Key_Right);
    press(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_EQ(colorOf(QStringLiteral("Alpha")), ColorText::fromColor(swatches.at(4)));
    EXPECT_EQ(colorOf(QStringLiteral("Mid")), QStringLiteral("FF3B30"));
    EXPECT_TRUE(groups->hasFocus());

    // Escape closes it without a change and gives the keyboard back.
    const QList<Group> before = favorites.groups();
    ASSERT_TRUE((swatch = openByKey(0)));
    press(swatch, Qt::Key_Left);
    press(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(picker.isVisible());
    EXPECT_EQ(favorites.groups(), before);
    EXPECT_TRUE(groups->hasFocus());

    // Groups moving while the picker is open: the colour goes to the group it was opened for.
    ASSERT_TRUE((swatch = openByKey(1)));
    reorder({"Zeta", "Alpha", "Mid"});
    press(swatch, Qt::Key_End);
    press(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_EQ(colorOf(QStringLiteral("Zeta")), ColorText::fromColor(swatches.last()));

    // Screen readers find the same as a named action of the row.
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(groups);
    ASSERT_TRUE(list && list->childCount() == 3);
    QAccessibleInterface *row = list->child(2);
    ASSERT_TRUE(row && row->actionInterface());
    EXPECT_EQ(row->text(QAccessible::Name), QStringLiteral("Mid"));
    const QString action = LocalizedText(Text::changeColourTag);
    EXPECT_EQ(row->actionInterface()->keyBindingsForAction(action), QStringList{"Ctrl+T"});
    row->actionInterface()->doAction(action);
    ASSERT_TRUE(picker.isVisible());
    picker.pickSwatch(6);
    EXPECT_EQ(colorOf(QStringLiteral("Mid")), ColorText::fromColor(swatches.at(6)));
}

TEST_F(ManagerPageTest, RowsFitNarrowWindowsTipsExplainThemAndSpaceClosesThePreview)
{
    const QString longName = QStringLiteral("Quarterly report of the northern regional office, final version");
    addGroup(QStringLiteral("Work"),
             {item(longName, 1), colorItem(QStringLiteral("Brand"), 2, QStringLiteral("47CE64"))});
    open();

    // In a narrower window rows stay within their pane, or their edit buttons would be out of sight.
    window->resize(520, 320);
    page->resize(window->size());
    QCoreApplication::processEvents();
    for (QAbstractItemView *view : {static_cast<QAbstractItemView *>(groups), static_cast<QAbstractItemView *>(items)})
        EXPECT_LE(rowRect(view, 0).right(), view->viewport()->width()) << view->objectName().toStdString();

    // Tips: the painted buttons say what they do; a name cut short shows whole, one shown whole needs none.
    const auto tipAt = [](QAbstractItemView *view, const QPoint &pos) {
        QToolTip::hideText();
        static_cast<void>(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000));
        QHelpEvent help(QEvent::ToolTip, pos, view->viewport()->mapToGlobal(pos));
        QCoreApplication::sendEvent(view->viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    ASSERT_EQ(column(items), (QStringList{"Brand", longName}));
    EXPECT_EQ(tipAt(items, ItemRowDelegate::partRect(rowRect(items, 0), ItemRowDelegate::Part::edit).center()),
              LocalizedText(Text::edit));
    EXPECT_EQ(tipAt(items, rowRect(items, 0).center()), QString());
    EXPECT_TRUE(tipAt(items, rowRect(items, 1).center()).startsWith(longName));
    EXPECT_EQ(tipAt(groups, GroupRowDelegate::partRect(rowRect(groups, 0), GroupRowDelegate::Part::color).center()),
              LocalizedText(Text::changeColourTag) + QStringLiteral(" (Ctrl+T)"));

    // Space closes the preview whatever it shows (a text's own view would take it to turn the page).
    const QString picture = savedPicture(QStringLiteral("photo.png"), 300, 200);
    const QString text = userFile(QStringLiteral("notes.txt"), "some text");
    PreviewWindow preview;
    for (const QString &path : {text, folder.path(), picture}) {
        preview.showFile(path);
        QApplication::setActiveWindow(&preview);
        QCoreApplication::processEvents();
        auto *textView = preview.findChild<QWidget *>(QStringLiteral("previewText"));
        if (textView->isVisible())
            textView->setFocus(Qt::MouseFocusReason);
        QWidget *focused = preview.focusWidget();
        QTest::keyClick(focused ? focused : static_cast<QWidget *>(&preview), Qt::Key_Space);
        EXPECT_FALSE(preview.isVisible()) << path.toStdString();
    }
}

TEST_F(ManagerPageTest, RowsWhoseFileIsGoneSaySoAndTheirPreviewSaysNotFound)
{
    const QString gone = folder.filePath(QStringLiteral("gone.odt"));
    const QString goneNote = supportFiles.folder() + QStringLiteral("/404.txt");
    addGroup(QStringLiteral("Work"),
             {fileItem(QStringLiteral("a here"), 1, userFile(QStringLiteral("here.odt"))),
              fileItem(QStringLiteral("b gone"), 2, gone), note(QStringLiteral("c note"), 3, goneNote),
              note(QStringLiteral("d kept note"), 4, supportFile(QStringLiteral("5.txt"), "first line"))});
    desktop.previewer.available = true;
    open();

    const auto rowTitled = [this](const QString &title) {
        for (int row = 0; row < items->model()->rowCount(); ++row) {
            if (items->model()->index(row, 0).data().toString() == title)
                return items->model()->index(row, 0);
        }
        return QModelIndex();
    };
    const struct
    {
        QString title;
        bool missing;
        QString secondLine;
    } rows[] = {{u"a here"_qs, false, userFile(QStringLiteral("here.odt"))},
                {u"b gone"_qs, true, LocalizedText(Text::fileMissingLine).arg(gone)},
                {u"c note"_qs, true, LocalizedText(Text::fileMissingLine).arg(goneNote)},
                {u"d kept note"_qs, false, QStringLiteral("first line")}};
    for (const auto &row : rows) {
        const QModelIndex index = rowTitled(row.title);
        EXPECT_EQ(index.data(int(ItemsModel::Role::missing)).toBool(), row.missing) << row.title.toStdString();
        EXPECT_EQ(index.data(int(ItemsModel::Role::subtitle)).toString(), row.secondLine) << row.title.toStdString();
        EXPECT_EQ(index.data(Qt::AccessibleDescriptionRole).toString(), row.secondLine) << row.title.toStdString();
    }

    // The desktop's previewer is not asked about a file that is gone; ours says so.
    items->setCurrentIndex(rowTitled(u"b gone"_qs));
    page->itemsPane().menuitem_QuickLook();
    EXPECT_TRUE(desktop.previewer.toggled.isEmpty());
    auto *preview = page->findChild<PreviewWindow *>();
    ASSERT_TRUE(preview && preview->isVisible());
    EXPECT_EQ(preview->findChild<QLabel *>(QStringLiteral("previewDetails"))->text(),
              LocalizedText(Text::previewNotFound));
    preview->close();
}

} // namespace
