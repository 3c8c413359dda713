#include "ItemsFixture.h"

#include "items/DropView.h"
#include "items/DroppedFilesAdder.h"

#include <QDropEvent>
#include <QMimeData>

namespace {

QMimeData *mimeWithUrls(const QList<QUrl> &urls)
{
    auto *data = new QMimeData;
    data->setUrls(urls);
    return data;
}

TEST(DropView, TakesLocalFilesInOrderAndRefusesEverythingElse)
{
    std::unique_ptr<QMimeData> mixed(mimeWithUrls({QUrl::fromLocalFile("/tmp/b c.txt"), QUrl("https://example.com/"),
                                                   QUrl::fromLocalFile("/tmp/a")}));
    EXPECT_EQ(DropView::droppedFiles(mixed.get()), QStringList({"/tmp/b c.txt", "/tmp/a"}));
    std::unique_ptr<QMimeData> web(mimeWithUrls({QUrl("https://example.com/")}));
    EXPECT_FALSE(DropView::droppedFiles(web.get()));
    QMimeData text;
    text.setText(QStringLiteral("/tmp/a"));
    EXPECT_FALSE(DropView::droppedFiles(&text));

    DropView view;
    view.resize(100, 100);
    QSignalSpy dropped(&view, &DropView::filesDropped);
    QDragEnterEvent refused(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &refused);
    EXPECT_FALSE(refused.isAccepted());
    QDragEnterEvent entered(QPoint(5, 5), Qt::CopyAction | Qt::MoveAction, mixed.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &entered);
    EXPECT_TRUE(entered.isAccepted());
    EXPECT_EQ(entered.dropAction(), Qt::CopyAction);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, mixed.get(), Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &drop);
    ASSERT_EQ(dropped.size(), 1);
    EXPECT_EQ(dropped.at(0).at(0).toStringList(), QStringList({"/tmp/b c.txt", "/tmp/a"}));
    QDropEvent textDrop(QPointF(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&view, &textDrop);
    EXPECT_EQ(dropped.size(), 1);
}

using DroppedFilesTest = ItemsFixture;

TEST_F(DroppedFilesTest, SeveralFilesAreAddedInDropOrderSortedAndRecorded)
{
    sortSettings.itemSortKey = SortSettings::ItemKey::title;
    sortSettings.itemSortAscending = true;
    preferences.setInteger(7, StoreKeys::uniqueid);
    QList<QVariantMap> selectedGroupItems = {favorites.withNewIdentity({{"title", "m"}})};
    favorites.setItems("Home", selectedGroupItems);
    links.popoverListLoaded = true;
    QSignalSpy quickListReloads(&links, &ViewLinks::quickListReloadRequested);

    DroppedFilesAdder adder(services);
    const QStringList paths = {"/data/zeta.txt", "/data/alpha", "/data/mu.png"};
    const auto lastUid = adder.addDroppedFiles("Home", selectedGroupItems, paths);

    EXPECT_EQ(lastUid, 11); // 8 went to "m"; the files took 9, 10, 11 in drop order
    QStringList titles;
    for (const QVariantMap &item : selectedGroupItems) {
        titles.append(Records::title(item));
        if (Records::kindOf(item) == ItemKind::normalFile) {
            EXPECT_EQ(Records::uid(item), 9 + paths.indexOf(Records::text(item, RecordKeys::url)));
        }
    }
    EXPECT_EQ(titles, QStringList({"alpha", "m", "mu.png", "zeta.txt"}));
    EXPECT_EQ(favorites.items("Home"), selectedGroupItems);
    EXPECT_EQ(bookmarks.entries(), QList<QByteArray>({"/data/zeta.txt", "/data/alpha", "/data/mu.png"}));
    EXPECT_EQ(quickListReloads.size(), 1);

    EXPECT_FALSE(adder.addDroppedFiles("Home", selectedGroupItems, {}));
    EXPECT_EQ(selectedGroupItems.size(), 4);
}

} // namespace
