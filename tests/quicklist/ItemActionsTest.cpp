#include "QuickListFixture.h"

#include "quicklist/ItemActions.h"
#include "quicklist/QuickList.h"
#include "quicklist/QuickListMenus.h"
#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QScreen>

#include <unistd.h>

#include <memory>

namespace {

class ItemActionsTest : public QuickListFixture
{
protected:
    QuickList quickList{favorites};
    ItemActions actions{quickList, favorites, sortSettings, supportFiles, links, desktop.services()};

    QString writeFile(const QString &path)
    {
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("x");
        return path;
    }
    int rowTitled(const QString &title) const
    {
        for (int row = 0; row < quickList.rowCount(); ++row) {
            if (quickList.itemAt(row).value_or(Item()).title() == title)
                return row;
        }
        return -1;
    }
    QMenu *contextMenu(int row)
    {
        return QuickListMenus::itemContextMenu(actions.menuWillOpen(row), actions, nullptr, nullptr, nullptr);
    }
};

} // namespace

TEST_F(ItemActionsTest, ClickOpensTogglesOrCopiesAndNeverSelects)
{
    addGroup("G", true,
             {fileItem("doc", 1, "/home/me/doc.txt"), bookmark("site", 2, "Example.org"),
              bookmark("bad", 3, "javascript:alert(1)"), colorItem("green", 4, "47CE64"),
              note("memo", 5, "/support/5.txt")});
    quickList.reloadQuickList();

    using Click = ItemActions::Click;
    EXPECT_EQ(QList<Click>({actions.clickRow(1), actions.clickRow(2), actions.clickRow(3), actions.clickRow(5)}),
              QList<Click>({Click::opened, Click::opened, Click::nothing, Click::opened}));
    EXPECT_EQ(desktop.urls.opened, QList<QUrl>({QUrl::fromLocalFile("/home/me/doc.txt"), QUrl("http://Example.org"),
                                                QUrl::fromLocalFile("/support/5.txt")}));
    EXPECT_EQ(actions.clickRow(4), ItemActions::Click::copiedColor);
    EXPECT_EQ(desktop.clipboard.text(), "#47CE64");
    desktop.clipboard.succeeds = false;
    EXPECT_EQ(actions.clickRow(4), ItemActions::Click::nothing) << "no tooltip when the clipboard refuses";

    // What did not open is told in words the user reads.
    QStringList told;
    actions.setFailureReporter([&told](const QString &text) { told.append(text); });
    desktop.urls.succeeds = false;
    EXPECT_EQ(actions.clickRow(1), ItemActions::Click::openFailed);
    EXPECT_EQ(actions.clickRow(2), ItemActions::Click::openFailed);
    desktop.revealer.fails = true;
    actions.reveal(QUrl::fromLocalFile("/home/me/doc.txt"));
    EXPECT_EQ(told, QStringList({LocalizedText(Text::noApplicationOpens).arg("doc"),
                                 LocalizedText(Text::noBrowserOpens).arg("Example.org"),
                                 LocalizedText(Text::noFileManagerShows).arg("/home/me/doc.txt")}));
    EXPECT_EQ(actions.clickRow(0), ItemActions::Click::toggledGroup);
    EXPECT_EQ(quickList.rowCount(), 1);
    EXPECT_EQ(actions.clickRow(7), ItemActions::Click::nothing);
}

TEST_F(ItemActionsTest, PinAndRemoveChangeOnlyTheFirstGroupHoldingTheUid)
{
    addGroup("First", true, {item("old", 1), item("shared", 7), item("new", 2)});
    addGroup("Second", true, {item("shared twin", 7), item("other", 3)});
    quickList.reloadQuickList();

    // Grouped list: pin "shared twin", which is found first in "First".
    actions.setClickedRow(rowTitled("shared twin"));
    actions.PinItem();
    EXPECT_EQ(titlesOf(favorites.items("First")), QStringList({"shared", "new", "old"})) << "pinned first, then newest";
    EXPECT_TRUE(favorites.items("First").at(0).isPinned());
    EXPECT_FALSE(favorites.items("Second").at(0).isPinned());
    EXPECT_EQ(quickList.rowCount(), 7) << "the rows are rebuilt";

    actions.setClickedRow(rowTitled("shared"));
    actions.PinItem();
    EXPECT_FALSE(favorites.items("First").at(0).isPinned()) << "unpinning removes the mark";

    // Search results: remove by uid from the first group only, results re-run.
    quickList.beginSearch("shared");
    ASSERT_EQ(quickList.rowCount(), 2);
    actions.setClickedRow(1);
    actions.removeSelectedItem();
    EXPECT_EQ(titlesOf(favorites.items("First")), QStringList({"new", "old"}));
    EXPECT_EQ(titlesOf(favorites.items("Second")), QStringList({"shared twin", "other"}));
    EXPECT_EQ(titlesOf(quickList.searchItemsarr()), QStringList({"shared twin"}));

    // Headings and items without a uid are left alone.
    quickList.endSearch();
    Item withoutUid;
    withoutUid.setTitle("no uid");
    favorites.setItems("Second", {withoutUid});
    quickList.reloadQuickList();
    const int before = preferences.writeCount();
    for (const int row : {0, rowTitled("no uid")}) {
        actions.setClickedRow(row);
        actions.PinItem();
        actions.removeSelectedItem();
    }
    EXPECT_EQ(preferences.writeCount(), before);
}

TEST_F(ItemActionsTest, RemovingDeletesOnlySupportFilesInsideTheSupportFolder)
{
    const QString icon = writeFile(supportFiles.folder() + "/1.png");
    const QString body = writeFile(supportFiles.folder() + "/2.txt");
    const QString userFile = writeFile(folder.filePath("home/letter.txt"));
    const QString userImage = writeFile(folder.filePath("home/photo.png"));
    addGroup("G", true,
             {bookmark("site", 1, "example.org", icon), note("memo", 2, body), fileItem("letter", 3, userFile),
              note("tampered", 4, userFile), bookmark("tampered icon", 5, "x.org", userImage)});
    quickList.reloadQuickList();
    for (int removed = 0; removed < 5; ++removed) {
        actions.setClickedRow(1);
        actions.removeSelectedItem();
    }
    EXPECT_TRUE(favorites.items("G").isEmpty());
    EXPECT_EQ(
        QList<bool>({QFile::exists(icon), QFile::exists(body), QFile::exists(userFile), QFile::exists(userImage)}),
        QList<bool>({false, false, true, true}));
}

TEST_F(ItemActionsTest, ContextMenuOffersTheEntriesOfTheKindAndActsOnItsItemAfterARebuild)
{
    const QList<Item> items{bookmark("site", 1, "https://example.org"), pinned(note("memo", 2, "/support/2.txt")),
                            colorItem("c", 3, "47CE64")};
    addGroup("G", true, items);
    desktop.applications.applications = {{"editor.desktop", "Editor", {}}, {"viewer.desktop", "Viewer", {}}};
    quickList.reloadQuickList();

    // Triggers the entry with the text, if any; gives the entries' texts.
    const auto use = [](QMenu *given, const QString &text = {}) {
        const std::unique_ptr<QMenu> menu(given);
        QStringList texts;
        for (QAction *action : menu->actions()) {
            texts.append(action->text());
            if (action->text() == text)
                action->trigger();
        }
        return texts;
    };
    EXPECT_EQ(use(contextMenu(1)), QStringList({"Open With", "Remove", "Pin to Top"}));
    EXPECT_EQ(use(contextMenu(2)), QStringList({"Open With", "Show in File Manager", "Remove", "Unpin"}));
    EXPECT_EQ(use(contextMenu(3)), QStringList({"Copy Colour Code", "Remove", "Pin to Top"}));
    EXPECT_TRUE(actions.menuWillOpen(0).empty && actions.menuWillOpen(-1).empty) << "a heading has no menu";

    actions.menuWillOpen(2);
    EXPECT_TRUE(actions.openwithApplication(1));
    EXPECT_FALSE(actions.openwithApplication(2));
    EXPECT_EQ(desktop.applications.launched,
              (QList<QPair<QString, QUrl>>{{"viewer.desktop", QUrl::fromLocalFile("/support/2.txt")}}));
    actions.openfile();
    EXPECT_EQ(desktop.revealer.revealed, QStringList({"/support/2.txt"}));

    QMenu *removeMenu = contextMenu(rowTitled("c"));
    QMenu *copyMenu = contextMenu(rowTitled("c"));
    // While the menus are open, another item arrives above and the rows shift.
    favorites.setItems("G", QList<Item>{item("new", 4)} + items);
    quickList.reloadQuickList();
    actions.setClickedRow(rowTitled("site"));
    use(removeMenu, LocalizedText(Text::removeItemMenu));
    EXPECT_EQ(titlesOf(favorites.items("G")), QStringList({"new", "site", "memo"}));
    use(copyMenu, LocalizedText(Text::copyColourCode));
    EXPECT_EQ(desktop.clipboard.text(), "#47CE64");
}

TEST_F(ItemActionsTest, FolderContentsListHiddenEntriesFoldersFirstInNaturalOrderUpToALimitInOneColumn)
{
    const QString dir = folder.filePath("Work");
    for (const char *sub : {"Sub10", "sub2", ".hidden"})
        QDir().mkpath(dir + "/" + sub);
    for (const char *file : {"a10.txt", "a9.txt", ".profile", "B.txt"})
        writeFile(dir + "/" + file);
    const QString onlyFiles = folder.filePath("Flat");
    writeFile(onlyFiles + "/b.txt");

    const auto names = [](const ItemActions::FolderListing &listing) {
        QStringList found;
        for (const QString &path : listing.paths)
            found.append(QFileInfo(path).fileName());
        return found;
    };
    const ItemActions::FolderListing all = ItemActions::listFolder(dir, true);
    EXPECT_EQ(names(all), QStringList({".hidden", "sub2", "Sub10", ".profile", "a9.txt", "a10.txt", "B.txt"}));
    EXPECT_FALSE(all.truncated);
    EXPECT_EQ(names(ItemActions::listFolder(dir, false)), QStringList({".hidden", "sub2", "Sub10"}));
    EXPECT_TRUE(ItemActions::listFolder(onlyFiles, false).paths.isEmpty()) << "a folder of files only has no menu";
    const ItemActions::FolderListing cut = ItemActions::listFolder(dir, true, 4);
    EXPECT_EQ(names(cut), QStringList({".hidden", "sub2", "Sub10", ".profile"}));
    EXPECT_TRUE(cut.truncated);

    EXPECT_TRUE(ItemActions::folderPathOf(Item::note("n", dir)).isEmpty()) << "only file items list folders";

    // A cut-short menu ends in the folder itself.
    std::unique_ptr<QMenu> menu(QuickListMenus::folderContentsMenu(cut, actions, nullptr));
    menu->actions().last()->trigger();
    EXPECT_EQ(desktop.urls.opened.last(), QUrl::fromLocalFile(dir));

    // A long menu is one scrolling column.
    const QString longDir = folder.filePath("Long");
    for (int n = 0; n < ItemActions::folderMenuLimit; ++n)
        writeFile(QStringLiteral("%1/file %2.txt").arg(longDir).arg(n));
    menu.reset(QuickListMenus::folderContentsMenu(ItemActions::listFolder(longDir, true), actions, nullptr));
    const QList<QAction *> entries = menu->actions();
    ASSERT_EQ(entries.size(), ItemActions::folderMenuLimit);
    menu->popup(QPoint(0, 0));
    EXPECT_LE(menu->height(), QGuiApplication::primaryScreen()->availableGeometry().height());
    for (QAction *entry : entries)
        ASSERT_EQ(menu->actionGeometry(entry).left(), menu->actionGeometry(entries.first()).left()) << "one column";
    menu->close();

    // Permissions bind every user but the superuser.
    if (geteuid() != 0) {
        QFile::setPermissions(longDir, QFileDevice::Permissions());
        EXPECT_TRUE(ItemActions::listFolder(longDir, true).unreadable);
        QFile::setPermissions(longDir, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    EXPECT_FALSE(ItemActions::listFolder(longDir, true).unreadable);
}
