#include "ItemsFixture.h"

#include "items/DroppedFilesAdder.h"
#include "items/FileDropArea.h"

#include <QDropEvent>
#include <QMimeData>

namespace {

TEST(FileDropArea, TakesLocalFilesInOrderAndRefusesEverythingElse)
{
    QMimeData mixed;
    mixed.setUrls({QUrl::fromLocalFile("/tmp/b c.txt"), QUrl("https://example.com/"), QUrl::fromLocalFile("/tmp/a")});
    QMimeData text;
    text.setText(QStringLiteral("/tmp/a"));

    FileDropArea view;
    view.resize(100, 100);
    QSignalSpy dropped(&view, &FileDropArea::filesDropped);
    for (const QMimeData *data : {&text, &mixed}) {
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &enter);
        EXPECT_EQ(enter.isAccepted() ? enter.dropAction() : Qt::IgnoreAction,
                  data == &text ? Qt::IgnoreAction : Qt::CopyAction);
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &drop);
    }
    ASSERT_EQ(dropped.size(), 1);
    EXPECT_EQ(dropped.at(0).at(0).toStringList(), QStringList({"/tmp/b c.txt", "/tmp/a"}));
}

using DroppedFilesTest = ItemsFixture;

TEST_F(DroppedFilesTest, SeveralFilesAreAddedInDropOrderSortedAndRecorded)
{
    sortSettings = {.itemSortKey = SortSettings::ItemKey::title, .itemSortAscending = true};
    QList<Item> selectedGroupItems = {item("m", 8)};
    favorites.setItems("Home", selectedGroupItems);
    links.popoverListLoaded = true;
    QSignalSpy quickListReloads(&links, &ViewLinks::quickListReloadRequested);

    DroppedFilesAdder droppedFiles(services);
    const QStringList paths = {"/data/zeta.txt", "/data/alpha", "/data/mu.png"};
    const auto lastUid = droppedFiles.addDroppedFiles("Home", selectedGroupItems, paths);

    EXPECT_EQ(lastUid, 11); // 8 went to "m"; the files took 9, 10, 11 in drop order
    for (const Item &item : selectedGroupItems)
        EXPECT_EQ(item.uid(), item.kind() == ItemKind::normalFile ? 9 + paths.indexOf(item.target()) : 8);
    EXPECT_EQ(favorites.items("Home"), selectedGroupItems);
    EXPECT_EQ(storedTitles("Home"), QStringList({"alpha", "m", "mu.png", "zeta.txt"}));
    EXPECT_EQ(bookmarks.entries(), QList<QByteArray>({"/data/zeta.txt", "/data/alpha", "/data/mu.png"}));
    EXPECT_EQ(quickListReloads.size(), 1);

    EXPECT_FALSE(droppedFiles.addDroppedFiles("Home", selectedGroupItems, {}));
    EXPECT_EQ(selectedGroupItems.size(), 4);
}

} // namespace
