#include "ManagerFixture.h"

#include "manager/PreviewWindow.h"
#include "support/FifoTrap.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>
#include <QUrl>

namespace {

using ManagerItemsTest = ManagerFixture;

TEST_F(ManagerItemsTest, ChangesToSearchResultsActOnTheirItems)
{
    const QList<Item> searched{item("Report", 1), bookmark("News", 2, "www.example.org/rep"),
                               fileItem("doc", 3, "/home/u/Reports/doc.odt"), note("memo", 4, "/data/rep/4.txt"),
                               item("other", 5)};
    addGroup("Work", searched);
    auto manager = makeManager();
    // The rule is the manager's (ManagerSearch).
    manager->items.search("rep");
    ASSERT_TRUE(manager->items.searchBegin());
    EXPECT_EQ(titlesOf(manager->items.managerSearchResults()), (QStringList{"doc", "News", "Report"})); // newest first
    // Pinning and removing the second result act on it in the full list; the results follow.
    ASSERT_EQ(manager->items.shownItem(1).value_or(Item()).title(), "News");
    manager->items.PinItem(1);
    EXPECT_EQ(titlesOf(manager->items.managerSearchResults()).first(), "News");
    manager->items.removeItem(manager->items.shownRowOfUid(2));
    EXPECT_FALSE(favorites.findItem("Work", 2));
    EXPECT_EQ(titlesOf(manager->items.managerSearchResults()), (QStringList{"doc", "Report"}));
}

TEST_F(ManagerItemsTest, SelectingAGroupWritesItsItemsOnlyWhenSortingChangedTheirOrder)
{
    addGroup("Sorted", {item("new", 3), item("old", 1)});
    addGroup("Unsorted", {item("old", 2), item("new", 4)});
    addGroup("Empty");
    auto manager = makeManager();
    const int writes = preferences.writeCount();
    for (int row : {0, 2, 0})
        manager->groups.selectGroup(row);
    EXPECT_EQ(preferences.writeCount(), writes) << "newest first already, or nothing to sort";
    EXPECT_FALSE(favorites.hasItemList("Empty"));
    manager->groups.selectGroup(1);
    EXPECT_EQ(preferences.writeCount(), writes + 1);
    EXPECT_EQ(storedItemTitles("Unsorted"), (QStringList{"new", "old"}));
}

TEST_F(ManagerItemsTest, DoubleClickOpensCopiesOrDoesNothing)
{
    using Open = ManagerItems::Open;
    const QString file = userFile("a b.txt");
    const QString body = supportFile("6.txt", "text");
    // Bookmark addresses follow the popup's rule, tested with the item actions.
    addGroup("Work", {colorItem("green", 1, "47CE64"), bookmark("plain", 2, "example.org"), fileItem("file", 3, file),
                      note("note", 4, body), bookmark("broken", 5, "http://")});
    sortSettings.itemSortAscending = true; // by date, oldest first
    auto manager = makeManager();

    EXPECT_EQ(manager->items.openItem(0), Open::copiedColor);
    EXPECT_EQ(desktop.clipboard.text(), "#47CE64");
    for (int row = 1; row <= 3; ++row)
        EXPECT_EQ(manager->items.openItem(row), Open::opened);
    EXPECT_EQ(manager->items.openItem(4), Open::nothing);
    const QList<QUrl> expected{QUrl("http://example.org"), QUrl::fromLocalFile(file), QUrl::fromLocalFile(body)};
    EXPECT_EQ(desktop.urls.opened, expected);

    manager->items.revealItem(2);
    manager->items.revealItem(3);
    EXPECT_EQ(desktop.revealer.revealed, QStringList{file});

    // A file gone since it was added is not handed to the desktop.
    QFile::remove(file);
    EXPECT_EQ(manager->items.openItem(2), Open::missing);
    EXPECT_EQ(desktop.urls.opened.size(), expected.size());
}

TEST_F(ManagerItemsTest, PreviewShowsPicturesTextOrDetails)
{
    const QString picturePath = savedPicture("wide.png", 2000, 1000);
    const QString textPath = userFile("notes.txt", "first line\n" + QByteArray(PreviewWindow::textLimit + 100, 'x'));

    PreviewWindow preview;
    preview.resize(400, 300);
    preview.toggle(picturePath);
    const QPixmap shown = preview.findChild<QLabel *>("previewPicture")->pixmap();
    EXPECT_LE(shown.width(), 400);
    EXPECT_EQ(shown.width(), 2 * shown.height());

    preview.toggle(textPath);
    const QString text = preview.findChild<QPlainTextEdit *>("previewText")->toPlainText();
    EXPECT_TRUE(text.startsWith("first line\n"));
    EXPECT_EQ(text.size(), PreviewWindow::textLimit);

    preview.toggle("/dev/zero");
    EXPECT_EQ(preview.shown(), PreviewWindow::Shown::details);
    FifoTrap fifo(folder.filePath("pipe.txt"));
    preview.toggle(folder.filePath("pipe.txt"));
    EXPECT_EQ(preview.shown(), PreviewWindow::Shown::details);
    EXPECT_FALSE(fifo.sprung()) << "the FIFO was opened for reading";

    // A picture smaller than the window shows at its own size from the first showing on.
    PreviewWindow fresh;
    fresh.showFile(savedPicture("small.png", 300, 200));
    QCoreApplication::processEvents();
    EXPECT_EQ(fresh.findChild<QLabel *>("previewPicture")->pixmap().size(), QSize(300, 200));

    // Space closes it whatever it shows (a text's own view would take it to turn the page).
    for (const QString &path : {textPath, folder.path(), picturePath}) {
        fresh.showFile(path);
        QApplication::setActiveWindow(&fresh);
        QCoreApplication::processEvents();
        auto *textView = fresh.findChild<QWidget *>("previewText");
        if (textView->isVisible())
            textView->setFocus(Qt::MouseFocusReason);
        QWidget *focused = fresh.focusWidget();
        QTest::keyClick(focused ? focused : static_cast<QWidget *>(&fresh), Qt::Key_Space);
        EXPECT_FALSE(fresh.isVisible()) << path.toStdString();
    }
}

} // namespace
