#include "ManagerFixture.h"

#include <QMimeData>
#include <QSignalSpy>
#include <QUrl>

namespace {

using GroupsDropTargetTest = ManagerFixture;

TEST_F(GroupsDropTargetTest, GroupsReorderAboveTheDropRowAndEndTheGroupSort)
{
    const struct
    {
        int from;
        int row;
        QStringList expected;
    } cases[] = {{0, 3, {"B", "C", "A", "D"}},
                 {3, 0, {"D", "A", "B", "C"}},
                 {1, 1, {"A", "B", "C", "D"}},
                 {1, 2, {"A", "B", "C", "D"}},
                 {0, 4, {"B", "C", "D", "A"}}};
    for (const auto &test : cases) {
        favorites.setGroups(QList<Group>());
        for (const char *title : {"A", "B", "C", "D"})
            addGroup(QString::fromLatin1(title));
        sortSettings.groupSortKey = SortSettings::GroupKey::title;
        auto manager = makeManager();
        manager->groups.selectGroup(test.from);
        manager->drops.beginDrag(GroupsDropTarget::Drag::group, test.from);
        EXPECT_FALSE(manager->drops.validateDrop(test.row, true, nullptr));
        EXPECT_TRUE(manager->drops.acceptDrop(test.row, false, nullptr));
        EXPECT_EQ(storedGroupTitles(), test.expected) << test.from << " to " << test.row;
        EXPECT_EQ(sortSettings.groupSortKey, SortSettings::GroupKey::none);
        // The selection stays on the dragged group wherever it went.
        EXPECT_EQ(manager->groups.selectedGroupTitle(), QString(QChar(u'A' + test.from)));
    }
}

TEST_F(GroupsDropTargetTest, DropsOnGroupRows)
{
    addGroup("Work", {item("report", 1), item("memo", 2)});
    addGroup("Home", {item("plant", 3)});
    addGroup("Music");
    const QString first = userFile("b-first.ogg");
    const QString second = userFile("a-second.ogg");
    auto manager = makeManager();

    // Anything but local files changes nothing (which data are files is FileDropArea's test).
    QMimeData text;
    text.setText("/etc/passwd");
    EXPECT_FALSE(manager->drops.acceptDrop(2, true, &text));
    EXPECT_FALSE(favorites.hasItemList("Music"));

    // Files go onto a row, never between rows; in the order of the drag.
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(first), QUrl::fromLocalFile(second)});
    EXPECT_FALSE(manager->drops.validateDrop(2, false, &files));
    QSignalSpy revealed(&manager->items, &ManagerItems::itemToReveal);
    sortSettings.itemSortAscending = true; // by date, oldest first
    EXPECT_TRUE(manager->drops.acceptDrop(2, true, &files));
    EXPECT_EQ(storedItemTitles("Music"), (QStringList{"b-first.ogg", "a-second.ogg"}));
    ASSERT_EQ(revealed.count(), 1);
    EXPECT_EQ(revealed.first().first().toLongLong(), *(favorites.items("Music").last()).uid());

    // An item row dropped on another group moves to the end of its list.
    manager->groups.selectGroup(0);
    manager->drops.beginDrag(GroupsDropTarget::Drag::item, 0);
    EXPECT_FALSE(manager->drops.validateDrop(0, true, nullptr));
    EXPECT_FALSE(manager->drops.validateDrop(1, false, nullptr));
    const QString dragged = (manager->items.selectedGroupItems().first()).title();
    EXPECT_TRUE(manager->drops.acceptDrop(1, true, nullptr));
    EXPECT_EQ(storedItemTitles("Home"), (QStringList{"plant", dragged}));
    EXPECT_FALSE(storedItemTitles("Work").contains(dragged));
}

TEST_F(GroupsDropTargetTest, FileItemsDragOutAsFilesAndNothingElseDoes)
{
    Qt::DropActions actions;
    std::unique_ptr<QMimeData> file(ItemsListView::dragData(fileItem("a b", 1, "/home/u/a b.pdf"), 3, &actions));
    EXPECT_EQ(file->urls(), QList<QUrl>{QUrl::fromLocalFile("/home/u/a b.pdf")});
    EXPECT_EQ(file->data(tableViewDragType), QByteArray("3"));
    EXPECT_EQ(actions, Qt::CopyAction | Qt::LinkAction);
    std::unique_ptr<QMimeData> note(ItemsListView::dragData(this->note("n", 2, "/data/2.txt"), 0, &actions));
    EXPECT_FALSE(note->hasUrls());
    EXPECT_EQ(actions, Qt::CopyAction);
}

} // namespace
