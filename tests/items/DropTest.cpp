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
    const auto enter = [&view](const QMimeData &data) {
        QDragEnterEvent event(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &event);
        return event.isAccepted() ? event.dropAction() : Qt::IgnoreAction;
    };
    const auto drop = [&view](const QMimeData &data) {
        QDropEvent event(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &event);
    };
    EXPECT_EQ(enter(text), Qt::IgnoreAction);
    EXPECT_EQ(enter(mixed), Qt::CopyAction);
    drop(mixed);
    drop(text);
    ASSERT_EQ(dropped.size(), 1);
    EXPECT_EQ(dropped.at(0).at(0).toStringList(), QStringList({"/tmp/b c.txt", "/tmp/a"}));
}

using DroppedFilesTest = ItemsFixture;

TEST_F(DroppedFilesTest, SeveralFilesAreAddedInDropOrderSortedAndRecorded)
{
    sortSettings = {.itemSortKey = SortSettings::ItemKey::title, .itemSortAscending = true};
    preferences.setInteger(7, StoreKeys::uniqueid);
    Item m;
    m.setTitle("m");
    QList<Item> selectedGroupItems = {favorites.withNewIdentity(m)};
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
