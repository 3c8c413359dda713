#include "ManagerFixture.h"

#include "manager/PreviewWindow.h"
#include "support/FifoTrap.h"

#include <QLabel>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QUrl>

namespace {

class ManagerControllerTest : public ManagerFixture
{
protected:
    std::unique_ptr<ManagerController> makeController()
    {
        auto controller = std::make_unique<ManagerController>(services());
        controller->loadGroups();
        if (controller->groupCount() > 0)
            controller->selectGroup(0);
        return controller;
    }
};

TEST_F(ManagerControllerTest, NewGroupsTakeTheFirstFreeDefaultNameAndGoLast)
{
    const struct { QStringList existing; QString expected; } cases[] = {
        {{}, "Group"}, {{"Group", "Group2"}, "Group1"}, {{"Group", "Group1", "Group2"}, "Group3"}, {{"group"}, "Group"}};
    for (const auto &test : cases) {
        favorites.setGroups(QList<Group>());
        for (const QString &title : test.existing)
            addGroup(title);
        auto controller = makeController();
        EXPECT_EQ(controller->defaultGroupName(), test.expected) << test.existing.join(',').toStdString();
    }

    // Appended last even while the groups are sorted by name; selected.
    favorites.setGroups(QList<Group>());
    addGroup(QStringLiteral("Zeta"));
    addGroup(QStringLiteral("Alpha"));
    sortSettings = {.groupSortKey = SortSettings::GroupKey::title, .groupSortAscending = true};
    links.popoverListLoaded = true;
    QSignalSpy popupReloads(&links, &ViewLinks::quickListReloadRequested);
    auto controller = makeController();
    EXPECT_EQ(controller->addGroup(), 2);
    EXPECT_EQ(storedGroupTitles(), (QStringList{"Zeta", "Alpha", "Group"}));
    EXPECT_EQ(controller->selectedGroupTitle(), QStringLiteral("Group"));
    EXPECT_EQ(favorites.groups().last(), Group(QStringLiteral("Group")));
    EXPECT_GT(popupReloads.count(), 0);
}

TEST_F(ManagerControllerTest, RenameFollowsEveryRule)
{
    using Rename = ManagerController::Rename;
    addGroup(QStringLiteral("Work"), {item(QStringLiteral("report"), 1)});
    addGroup(QStringLiteral("Home"), {item(QStringLiteral("plant"), 2)});
    auto controller = makeController();

    EXPECT_EQ(controller->rename(0, QStringLiteral("Work")), Rename::unchanged);
    EXPECT_EQ(controller->rename(0, QString()), Rename::restored);
    EXPECT_EQ(controller->rename(0, QStringLiteral("Home")), Rename::duplicate);
    EXPECT_EQ(controller->rename(5, QStringLiteral("X")), Rename::ignored);
    EXPECT_EQ(storedGroupTitles(), (QStringList{"Work", "Home"}));

    // Spaces at the ends make a distinct name; the items move with it.
    EXPECT_EQ(controller->rename(0, QStringLiteral(" Work ")), Rename::renamed);
    EXPECT_EQ(storedItemTitles(QStringLiteral(" Work ")), QStringList{"report"});
    EXPECT_FALSE(favorites.hasItemList(QStringLiteral("Work")));

    // Under a name sort the renamed group moves, and the selection with it.
    sortSettings = {.groupSortKey = SortSettings::GroupKey::title, .groupSortAscending = true};
    EXPECT_EQ(controller->rename(0, QStringLiteral("Office")), Rename::renamed);
    EXPECT_EQ(storedGroupTitles(), (QStringList{"Home", "Office"}));
    EXPECT_EQ(controller->selectedGroupTitle(), QStringLiteral("Office"));

    // A group without a name and left without one goes away.
    storeGroup(Group(QString()), {}, false);
    controller->loadGroups();
    EXPECT_EQ(controller->rename(2, QString()), Rename::removed);
    EXPECT_EQ(storedGroupTitles(), (QStringList{"Home", "Office"}));
}

TEST_F(ManagerControllerTest, DeletingAGroupDeletesOnlyItsOwnSupportFiles)
{
    const QString noteBody = supportFile(QStringLiteral("11.txt"));
    const QString icon = supportFile(QStringLiteral("12.png"));
    const QString userNote = userFile(QStringLiteral("elsewhere.txt"));
    const QString userDocument = userFile(QStringLiteral("report.odt"));
    addGroup(QStringLiteral("Work"), {note(QStringLiteral("n"), 1, noteBody), bookmark(QStringLiteral("b"), 2, QStringLiteral("x.org"), icon),
                                      note(QStringLiteral("outside"), 3, userNote), fileItem(QStringLiteral("report"), 4, userDocument)});
    addGroup(QStringLiteral("Home"), {item(QStringLiteral("plant"), 5)});
    auto controller = makeController();

    controller->deleteGroup(0);
    EXPECT_FALSE(QFile::exists(noteBody));
    EXPECT_FALSE(QFile::exists(icon));
    EXPECT_TRUE(QFile::exists(userNote));
    EXPECT_TRUE(QFile::exists(userDocument));
    EXPECT_FALSE(favorites.hasItemList(QStringLiteral("Work")));
    EXPECT_EQ(storedGroupTitles(), QStringList{"Home"});

    controller->deleteGroup(0);
    EXPECT_TRUE(controller->selectedRow() == -1 && controller->selectedGroupItems().isEmpty());
}

TEST_F(ManagerControllerTest, GroupsSharingATitleKeepTheirItemsUntilTheLastGoesAndARenamedOneTakesACopy)
{
    const QString noteBody = supportFile(QStringLiteral("21.txt"), "body");
    const QString icon = supportFile(QStringLiteral("22.png"), "icon");
    const QString work = QStringLiteral("Work");
    addGroup(work, {note(QStringLiteral("memo"), 1, noteBody), bookmark(QStringLiteral("site"), 2, QStringLiteral("x.org"), icon)});
    addGroup(QStringLiteral("Home"), {item(QStringLiteral("plant"), 3)});
    addGroup(work);
    addGroup(work);
    auto controller = makeController();
    const QStringList titles = storedItemTitles(work);

    // A renamed one takes its own copy: new identities, its own files.
    EXPECT_EQ(controller->rename(2, QStringLiteral("Office")), ManagerController::Rename::renamed);
    EXPECT_EQ(storedItemTitles(work), titles);
    const auto copied = [this](const char *title, QString (Item::*path)() const, const QByteArray &contents) {
        Item copy;
        for (const Item &item : favorites.items(QStringLiteral("Office")))
            copy = item.title() == QLatin1String(title) ? item : copy;
        QFile file((copy.*path)());
        EXPECT_TRUE(supportFiles.contains(file.fileName()) && file.open(QIODevice::ReadOnly) && file.readAll() == contents) << title;
        EXPECT_GT(copy.uid().value_or(0), 3) << title;
        return file.fileName();
    };
    const QString noteCopy = copied("memo", &Item::target, "body");
    const QString iconCopy = copied("site", &Item::iconPath, "icon");
    EXPECT_TRUE(noteCopy != noteBody && iconCopy != icon);

    // Deleting one keeps the list and its files while another has the title.
    EXPECT_EQ(storedGroupTitles(), (QStringList{work, "Home", "Office", work}));
    controller->deleteGroup(0);
    EXPECT_EQ(storedItemTitles(work), titles);
    EXPECT_TRUE(QFile::exists(noteBody) && QFile::exists(icon));
    controller->deleteGroup(2);
    EXPECT_FALSE(favorites.hasItemList(work));
    EXPECT_FALSE(QFile::exists(noteBody) || QFile::exists(icon));
    EXPECT_EQ(storedItemTitles(QStringLiteral("Office")), titles);
    EXPECT_TRUE(QFile::exists(noteCopy) && QFile::exists(iconCopy));
}

TEST_F(ManagerControllerTest, GroupsReorderAboveTheDropRowAndEndTheGroupSort)
{
    const struct { int from; int row; QStringList expected; } cases[] = {
        {0, 3, {"B", "C", "A", "D"}}, {3, 0, {"D", "A", "B", "C"}}, {1, 1, {"A", "B", "C", "D"}}, {1, 2, {"A", "B", "C", "D"}},
        {0, 4, {"B", "C", "D", "A"}}};
    for (const auto &test : cases) {
        favorites.setGroups(QList<Group>());
        for (const char *title : {"A", "B", "C", "D"})
            addGroup(QString::fromLatin1(title));
        sortSettings.groupSortKey = SortSettings::GroupKey::title;
        auto controller = makeController();
        controller->selectGroup(test.from);
        controller->beginDrag(ManagerController::Drag::group, test.from);
        EXPECT_FALSE(controller->validateDrop(test.row, true, nullptr));
        EXPECT_TRUE(controller->acceptDrop(test.row, false, nullptr));
        EXPECT_EQ(storedGroupTitles(), test.expected) << test.from << " to " << test.row;
        EXPECT_EQ(sortSettings.groupSortKey, SortSettings::GroupKey::none);
        // The selection stays on the dragged group wherever it went.
        EXPECT_EQ(controller->selectedGroupTitle(), QString(QChar(u'A' + test.from)));
    }
}

TEST_F(ManagerControllerTest, DropsOnGroupRows)
{
    addGroup(QStringLiteral("Work"), {item(QStringLiteral("report"), 1), item(QStringLiteral("memo"), 2)});
    addGroup(QStringLiteral("Home"), {item(QStringLiteral("plant"), 3)});
    addGroup(QStringLiteral("Music"));
    const QString first = userFile(QStringLiteral("b-first.ogg"));
    const QString second = userFile(QStringLiteral("a-second.ogg"));
    auto controller = makeController();

    // Anything but local files changes nothing.
    QMimeData text, web, image;
    text.setText(QStringLiteral("/etc/passwd"));
    web.setUrls({QUrl(QStringLiteral("https://example.org/"))});
    image.setData(QStringLiteral("image/png"), "png");
    for (QMimeData *data : {&text, &web, &image})
        EXPECT_FALSE(controller->acceptDrop(2, true, data));
    EXPECT_FALSE(favorites.hasItemList(QStringLiteral("Music")));

    // Files go onto a row, never between rows; in the order of the drag.
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(first), QUrl::fromLocalFile(second)});
    EXPECT_FALSE(controller->validateDrop(2, false, &files));
    QSignalSpy revealed(controller.get(), &ManagerController::itemToReveal);
    sortSettings.itemSortAscending = true; // by date, oldest first
    EXPECT_TRUE(controller->acceptDrop(2, true, &files));
    EXPECT_EQ(storedItemTitles(QStringLiteral("Music")), (QStringList{"b-first.ogg", "a-second.ogg"}));
    ASSERT_EQ(revealed.count(), 1);
    EXPECT_EQ(revealed.first().first().toLongLong(), *(favorites.items(QStringLiteral("Music")).last()).uid());

    // An item row dropped on another group moves to the end of its list.
    controller->selectGroup(0);
    controller->beginDrag(ManagerController::Drag::item, 0);
    EXPECT_FALSE(controller->validateDrop(0, true, nullptr));
    EXPECT_FALSE(controller->validateDrop(1, false, nullptr));
    const QString dragged = (controller->selectedGroupItems().first()).title();
    EXPECT_TRUE(controller->acceptDrop(1, true, nullptr));
    EXPECT_EQ(storedItemTitles(QStringLiteral("Home")), (QStringList{"plant", dragged}));
    EXPECT_FALSE(storedItemTitles(QStringLiteral("Work")).contains(dragged));
}

TEST_F(ManagerControllerTest, SearchShowsTheSelectedGroupsMatchesAndChangesActOnThem)
{
    const QList<Item> searched{item(QStringLiteral("Report"), 1),
                               bookmark(QStringLiteral("News"), 2, QStringLiteral("www.example.org/rep")),
                               fileItem(QStringLiteral("doc"), 3, QStringLiteral("/home/u/Reports/doc.odt")),
                               note(QStringLiteral("memo"), 4, QStringLiteral("/data/rep/4.txt")),
                               item(QStringLiteral("other"), 5)};
    addGroup(QStringLiteral("Work"), searched);
    auto controller = makeController();
    // The rule is the manager's (ManagerSearch).
    controller->search(QStringLiteral("rep"));
    ASSERT_TRUE(controller->searchBegin());
    EXPECT_EQ(titlesOf(controller->managerSearchResults()), (QStringList{"doc", "News", "Report"})); // newest first
    // Pinning and removing the second result act on it in the full list; the results follow.
    ASSERT_EQ(controller->shownItem(1).value_or(Item()).title(), QStringLiteral("News"));
    controller->PinItem(1);
    EXPECT_EQ(titlesOf(controller->managerSearchResults()).first(), QStringLiteral("News"));
    controller->removeItem(controller->shownRowOfUid(2));
    EXPECT_FALSE(favorites.findItem(QStringLiteral("Work"), 2));
    EXPECT_EQ(titlesOf(controller->managerSearchResults()), (QStringList{"doc", "Report"}));

    // Selecting a group ends the search.
    QSignalSpy ended(controller.get(), &ManagerController::searchEnded);
    controller->selectGroup(0);
    EXPECT_FALSE(controller->searchBegin());
    EXPECT_EQ(ended.count(), 1);
}

TEST_F(ManagerControllerTest, PinningPutsTheItemFirstAndUnpinningPutsItBack)
{
    addGroup(QStringLiteral("Work"), {item(QStringLiteral("old"), 1), item(QStringLiteral("middle"), 2), item(QStringLiteral("new"), 3)});
    auto controller = makeController(); // shown newest first
    controller->PinItem(2);
    EXPECT_EQ(storedItemTitles(QStringLiteral("Work")), (QStringList{"old", "new", "middle"}));
    controller->PinItem(0);
    EXPECT_EQ(storedItemTitles(QStringLiteral("Work")), (QStringList{"new", "middle", "old"}));
}

TEST_F(ManagerControllerTest, SelectingAGroupWritesItsItemsOnlyWhenSortingChangedTheirOrder)
{
    addGroup(QStringLiteral("Sorted"), {item(QStringLiteral("new"), 3), item(QStringLiteral("old"), 1)});
    addGroup(QStringLiteral("Unsorted"), {item(QStringLiteral("old"), 2), item(QStringLiteral("new"), 4)});
    addGroup(QStringLiteral("Empty"));
    auto controller = makeController();
    const int writes = preferences.writeCount();
    for (int row : {0, 2, 0})
        controller->selectGroup(row);
    EXPECT_EQ(preferences.writeCount(), writes) << "newest first already, or nothing to sort";
    EXPECT_FALSE(favorites.hasItemList(QStringLiteral("Empty")));
    controller->selectGroup(1);
    EXPECT_EQ(preferences.writeCount(), writes + 1);
    EXPECT_EQ(storedItemTitles(QStringLiteral("Unsorted")), (QStringList{"new", "old"}));
}

TEST_F(ManagerControllerTest, DoubleClickOpensCopiesOrDoesNothing)
{
    using Open = ManagerController::Open;
    const QString file = userFile(QStringLiteral("a b.txt"));
    const QString body = supportFile(QStringLiteral("6.txt"), "text");
    // Bookmark addresses follow the popup's rule, tested with the item actions.
    addGroup(QStringLiteral("Work"), {colorItem(QStringLiteral("green"), 1, QStringLiteral("47CE64")),
                                      bookmark(QStringLiteral("plain"), 2, QStringLiteral("example.org")),
                                      fileItem(QStringLiteral("file"), 3, file), note(QStringLiteral("note"), 4, body),
                                      bookmark(QStringLiteral("broken"), 5, QStringLiteral("http://"))});
    sortSettings.itemSortAscending = true; // by date, oldest first
    auto controller = makeController();

    EXPECT_EQ(controller->openItem(0), Open::copiedColor);
    EXPECT_EQ(desktop.clipboard.text(), QStringLiteral("#47CE64"));
    for (int row = 1; row <= 3; ++row)
        EXPECT_EQ(controller->openItem(row), Open::opened);
    EXPECT_EQ(controller->openItem(4), Open::nothing);
    EXPECT_EQ(controller->openItem(9), Open::nothing);
    const QList<QUrl> expected{QUrl(QStringLiteral("http://example.org")), QUrl::fromLocalFile(file),
                               QUrl::fromLocalFile(body)};
    EXPECT_EQ(desktop.urls.opened, expected);

    controller->revealItem(2);
    controller->revealItem(3);
    EXPECT_EQ(desktop.revealer.revealed, QStringList{file});

    // A file gone since it was added is not handed to the desktop.
    QFile::remove(file);
    EXPECT_EQ(controller->openItem(2), Open::missing);
    EXPECT_EQ(desktop.urls.opened.size(), expected.size());
}

TEST_F(ManagerControllerTest, RecolouringUnderATagSortMovesTheGroup)
{
    addGroup(QStringLiteral("A"), {}, QStringLiteral("0A0A0A"));
    addGroup(QStringLiteral("B"), {}, QStringLiteral("47CE64"));
    addGroup(QStringLiteral("C"), {}, QStringLiteral("FF0000"));
    sortSettings = {.groupSortKey = SortSettings::GroupKey::color, .groupSortAscending = true};
    auto controller = makeController();
    controller->changeColor(0, QColor(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(storedGroupTitles(), (QStringList{"B", "C", "A"}));
    EXPECT_EQ(favorites.groups().last().color(), QStringLiteral("FFFFFF"));
    EXPECT_EQ(controller->selectedGroupTitle(), QStringLiteral("A"));
}

TEST_F(ManagerControllerTest, FileItemsDragOutAsFilesAndNothingElseDoes)
{
    Qt::DropActions actions;
    std::unique_ptr<QMimeData> file(ItemsTableView::dragData(fileItem(QStringLiteral("a b"), 1, QStringLiteral("/home/u/a b.pdf")), 3, &actions));
    EXPECT_EQ(file->urls(), QList<QUrl>{QUrl::fromLocalFile(QStringLiteral("/home/u/a b.pdf"))});
    EXPECT_EQ(file->data(tableViewDragType), QByteArray("3"));
    EXPECT_EQ(actions, Qt::CopyAction | Qt::LinkAction);
    std::unique_ptr<QMimeData> note(ItemsTableView::dragData(this->note(QStringLiteral("n"), 2, QStringLiteral("/data/2.txt")), 0, &actions));
    EXPECT_FALSE(note->hasUrls());
    EXPECT_EQ(actions, Qt::CopyAction);
}

TEST_F(ManagerControllerTest, PreviewShowsPicturesTextOrDetails)
{
    const QString picturePath = savedPicture(QStringLiteral("wide.png"), 2000, 1000);
    const QString textPath = userFile(QStringLiteral("notes.txt"), "first line\n" + QByteArray(PreviewWindow::textLimit + 100, 'x'));
    const QString otherPath = userFile(QStringLiteral("archive.bin"), QByteArray("\x00\x01\x02", 3));

    PreviewWindow preview;
    preview.resize(400, 300);
    preview.toggle(picturePath);
    const QPixmap shown = preview.findChild<QLabel *>(QStringLiteral("previewPicture"))->pixmap();
    EXPECT_LE(shown.width(), 400);
    EXPECT_EQ(shown.width(), 2 * shown.height());

    preview.toggle(textPath);
    const QString text = preview.findChild<QPlainTextEdit *>(QStringLiteral("previewText"))->toPlainText();
    EXPECT_TRUE(text.startsWith(QStringLiteral("first line\n")));
    EXPECT_EQ(text.size(), PreviewWindow::textLimit);

    preview.toggle(otherPath);
    EXPECT_EQ(preview.findChild<QLabel *>(QStringLiteral("previewName"))->text(), QStringLiteral("archive.bin"));
    EXPECT_TRUE(preview.findChild<QLabel *>(QStringLiteral("previewDetails"))->text().contains(QStringLiteral("Size: 3 bytes")));
    preview.toggle(QStringLiteral("/dev/zero"));
    EXPECT_EQ(preview.shown(), PreviewWindow::Shown::details);
    FifoTrap fifo(folder.filePath(QStringLiteral("pipe.txt")));
    preview.toggle(folder.filePath(QStringLiteral("pipe.txt")));
    EXPECT_EQ(preview.shown(), PreviewWindow::Shown::details);
    EXPECT_FALSE(fifo.sprung()) << "the FIFO was opened for reading";

    // A picture smaller than the window shows at its own size from the first showing on.
    PreviewWindow fresh;
    fresh.showFile(savedPicture(QStringLiteral("small.png"), 300, 200));
    QCoreApplication::processEvents();
    EXPECT_EQ(fresh.findChild<QLabel *>(QStringLiteral("previewPicture"))->pixmap().size(), QSize(300, 200));
}

} // namespace
