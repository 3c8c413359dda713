#include "ManagerFixture.h"

#include "items/AddItemPanel.h"
#include "items/ColorChooserPopup.h"
#include "items/ColorWell.h"
#include "items/EditItemPanel.h"
#include "items/ItemEditor.h"
#include "manager/ItemPanels.h"
#include "manager/ItemsPane.h"
#include "store/TextKeys.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

class ManagerPanelsTest : public ManagerFixture
{
protected:
    template<typename T>
    T *panelChild(QWidget *panel, const char *name) const
    {
        return panel->findChild<T *>(QString::fromLatin1(name));
    }
};

TEST_F(ManagerPanelsTest, EditingKeepsIdentityDateAndPinAndReplacesSupportFiles)
{
    const QString oldIcon = supportFile(QStringLiteral("21.png"));
    const QString foreignIcon = userFile(QStringLiteral("mine.png"));
    const Item site = pinned(bookmark(QStringLiteral("site"), 3, QStringLiteral("old.org"), oldIcon));
    const QString oldBody = supportFile(QStringLiteral("22.txt"), "old text");
    addGroup(QStringLiteral("Work"),
             {site, bookmark(QStringLiteral("foreign"), 4, QStringLiteral("x.org"), foreignIcon),
              note(QStringLiteral("memo"), 5, oldBody)});
    // What another program keeps in a record stays through an edit.
    const QString workKey = FavoritesStore::itemListKey(QStringLiteral("Work"));
    QVariantList records = *preferences.arrayForKey(workKey);
    QVariantMap foreignRecord = records.at(1).toMap();
    foreignRecord.insert(QStringLiteral("syncTool"), QVariantMap{{QStringLiteral("rev"), 7}});
    records[1] = foreignRecord;
    preferences.setObject(records, workKey);
    ItemEditor editor(services().items());

    ASSERT_TRUE(editor
                    .edit(QStringLiteral("Work"), 3, PanelKind::webBookmark,
                          {QStringLiteral("Site"), QStringLiteral("new.org"), {}, {}})
                    .ok());
    const Item stored = *favorites.findItem(QStringLiteral("Work"), 3);
    EXPECT_EQ(stored.target(), QStringLiteral("new.org"));
    EXPECT_EQ(stored.date(), site.date());
    EXPECT_TRUE(stored.isPinned());
    // The icon of the new address is not here yet (no network): the old one stays.
    EXPECT_EQ(stored.iconPath(), oldIcon);
    EXPECT_TRUE(QFile::exists(oldIcon));
    EXPECT_EQ(storedItemTitles(QStringLiteral("Work")), (QStringList{"Site", "foreign", "memo"}));

    // An icon outside the support folder is never deleted.
    ASSERT_TRUE(editor
                    .edit(QStringLiteral("Work"), 4, PanelKind::webBookmark,
                          {QStringLiteral("foreign"), QStringLiteral("y.org"), {}, {}})
                    .ok());
    EXPECT_TRUE(QFile::exists(foreignIcon));
    EXPECT_EQ(preferences.arrayForKey(workKey)->at(1).toMap().value(QStringLiteral("syncTool")),
              QVariantMap({{QStringLiteral("rev"), 7}}));

    ASSERT_TRUE(editor
                    .edit(QStringLiteral("Work"), 5, PanelKind::textFile,
                          {QStringLiteral("memo"), {}, QStringLiteral("new text"), {}})
                    .ok());
    const Item memo = *favorites.findItem(QStringLiteral("Work"), 5);
    EXPECT_EQ(ItemEditor::readNote(memo), QStringLiteral("new text"));
    EXPECT_FALSE(QFile::exists(oldBody));

    // Refusals and a vanished item change nothing.
    EXPECT_EQ(editor.edit(u"Work"_qs, 5, PanelKind::textFile, {u"memo"_qs, {}, QString(), {}}).errorKey,
              TextKey("IDS_BR_104"));
    EXPECT_EQ(editor.edit(u"Work"_qs, 99, PanelKind::colorWell, {u"c"_qs, {}, {}, Qt::red}).errorKey,
              TextKey("IDS_BR_183"));
    EXPECT_EQ(editor.add(u"Deleted"_qs, PanelKind::colorWell, {u"c"_qs, {}, {}, Qt::red}).errorKey,
              TextKey("IDS_BR_188"));
    EXPECT_FALSE(favorites.hasItemList(QStringLiteral("Deleted")));
    EXPECT_EQ(favorites.findItem(QStringLiteral("Work"), 5), memo);
}

TEST_F(ManagerPanelsTest, EditingOnlyABookmarksTitleKeepsItsIcon)
{
    const QString icon = supportFile(QStringLiteral("31.png"), "png");
    addGroup(QStringLiteral("Web"), {bookmark(QStringLiteral("site"), 3, QStringLiteral("site.org"), icon)});
    ItemEditor editor(services().items());

    ASSERT_TRUE(editor.edit(u"Web"_qs, 3, PanelKind::webBookmark, {u"My site"_qs, u"site.org"_qs, {}, {}}).ok());
    const Item retitled = *favorites.findItem(QStringLiteral("Web"), 3);
    EXPECT_EQ(retitled.title(), QStringLiteral("My site"));
    EXPECT_EQ(retitled.iconPath(), icon);
    EXPECT_TRUE(QFile::exists(icon));
    EXPECT_EQ(fetcher.pendingCount(), 0); // nothing to wait for
    EXPECT_EQ(editor.edit(u"Web"_qs, 3, PanelKind::webBookmark, {QString(), u"site.org"_qs, {}, {}}).errorKey,
              TextKey("IDS_BR_102"));

    // A new address asks for its own icon, keeping the old one meanwhile.
    ASSERT_TRUE(editor.edit(u"Web"_qs, 3, PanelKind::webBookmark, {u"My site"_qs, u"other.org"_qs, {}, {}}).ok());
    EXPECT_EQ(favorites.findItem(QStringLiteral("Web"), 3)->iconPath(), icon);
    EXPECT_EQ(fetcher.pendingCount(), 1);
}

TEST_F(ManagerPanelsTest, AddPanelOverTheDimmedWindow)
{
    addGroup(QStringLiteral("Work"), {item(QStringLiteral("old"), 1)});
    openPage();
    page->itemsPane().panels().AddWebBookmark();
    auto *panel = page->findChild<AddItemPanel *>();
    ASSERT_TRUE(panel && panel->isVisible());
    EXPECT_TRUE(layer->isHeld());
    auto *title = panelChild<QLineEdit>(panel, "txtfieldTitle");
    auto *address = panelChild<QLineEdit>(panel, "txtfieldurl");
    auto *message = panelChild<QLabel>(panel, "lblalert");

    QTest::keyClick(title, Qt::Key_Return);
    EXPECT_EQ(message->text(), LocalizedText(Text::titleMissing));
    QTest::keyClicks(title, QStringLiteral("News"));
    QTest::keyClick(title, Qt::Key_Return);
    EXPECT_TRUE(panel->isVisible()); // without an address
    QTest::keyClicks(address, QStringLiteral("news.example.org"));
    QTest::keyClick(address, Qt::Key_Return);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_FALSE(layer->isHeld());
    EXPECT_EQ(storedItemTitles(QStringLiteral("Work")), (QStringList{"News", "old"}));
    EXPECT_EQ(items->currentIndex().data().toString(), QStringLiteral("News"));

    // Escape cancels and saves nothing.
    page->itemsPane().panels().AddColorSwitch();
    QTest::keyClicks(title, QStringLiteral("Red"));
    QTest::keyClick(title, Qt::Key_Escape);
    EXPECT_FALSE(layer->isHeld());
    EXPECT_EQ(storedItemTitles(QStringLiteral("Work")).size(), 2);

    // A click on the colour well leaves it no default button: Return confirms the panel next time too.
    page->itemsPane().panels().AddColorSwitch();
    auto *well = panelChild<ColorWell>(panel, "colorwell");
    QTest::mouseClick(well, Qt::LeftButton);
    ASSERT_TRUE(well->chooser() && well->chooser()->isVisible());
    well->chooser()->close();
    QTest::keyClick(well, Qt::Key_Escape);
    EXPECT_FALSE(panel->isVisible());
    page->itemsPane().panels().AddWebBookmark();
    QTest::keyClicks(title, QStringLiteral("Later"));
    QTest::keyClick(title, Qt::Key_Return);
    EXPECT_EQ(message->text(), LocalizedText(Text::webAddressMissing));
    QTest::keyClick(title, Qt::Key_Escape);

    // Editing a bookmark: its name comes selected, its long address shows from the start (the site).
    const QString longAddress = QStringLiteral("https://news.example.org/") + QString(200, QLatin1Char('a'));
    replaceItems(QStringLiteral("Work"), {bookmark(QStringLiteral("News"), 7, longAddress)});
    items->setCurrentIndex(items->model()->index(0, 0));
    page->itemsPane().menuitem_edit();
    ASSERT_TRUE(panel->isVisible());
    EXPECT_EQ(title->selectedText(), QStringLiteral("News"));
    EXPECT_EQ(address->text(), longAddress);
    EXPECT_EQ(address->cursorPosition(), 0);
    panel->reject();
}

TEST_F(ManagerPanelsTest, ScreenReadersEditARowThroughItsNamedAction)
{
    addGroup(QStringLiteral("Work"), {colorItem(QStringLiteral("green"), 2, QStringLiteral("47CE64")),
                                      colorItem(QStringLiteral("blue"), 3, QStringLiteral("0000FF"))});
    openPage();
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(items);
    ASSERT_TRUE(list && list->childCount() == 2);
    const int blueRow = list->child(0)->text(QAccessible::Name) == QStringLiteral("blue") ? 0 : 1;
    items->setCurrentIndex(items->model()->index(1 - blueRow, 0));

    // The painted edit button is the row's named action, with its key; doing it edits that row's item.
    QAccessibleInterface *row = list->child(blueRow);
    ASSERT_TRUE(row && row->actionInterface());
    EXPECT_EQ(row->text(QAccessible::Description), QStringLiteral("0000FF"));
    const QString edit = LocalizedText(Text::edit);
    EXPECT_EQ(row->actionInterface()->keyBindingsForAction(edit), QStringList{"F2"});
    row->actionInterface()->doAction(edit);
    auto *panel = page->findChild<AddItemPanel *>();
    ASSERT_TRUE(panel && panel->isVisible());
    EXPECT_TRUE(panel->editing());
    EXPECT_EQ(panelChild<ColorWell>(panel, "colorwell")->color(), QColor(0, 0, 0xFF));
    EXPECT_TRUE(row->state().selected);
    panel->reject();

    // A row that has gone does nothing.
    QAccessibleInterface *last = list->child(1);
    replaceItems(QStringLiteral("Work"), {favorites.items(QStringLiteral("Work")).first()});
    ASSERT_EQ(list->childCount(), 1);
    EXPECT_FALSE(last->isValid());
    last->actionInterface()->doAction(edit);
    EXPECT_FALSE(panel->isVisible());
}

TEST_F(ManagerPanelsTest, AFileChosenInTheDialogIsAddedWithTheWindowDimmedMeanwhile)
{
    addGroup(QStringLiteral("Work"));
    openPage();
    const QString chosen = userFile(QStringLiteral("plan.txt"));
    bool dimmed = false;
    page->itemsPane().panels().setFileChooser([&](QWidget *) {
        dimmed = layer->isHeld();
        return std::optional<QString>(chosen);
    });
    page->itemsPane().panels().AddFileFolders();
    EXPECT_TRUE(dimmed);
    EXPECT_FALSE(layer->isHeld());
    page->itemsPane().panels().setFileChooser([](QWidget *) { return std::optional<QString>(); });
    page->itemsPane().panels().AddFileFolders(); // cancelled
    ASSERT_EQ(favorites.items(QStringLiteral("Work")).size(), 1);
    EXPECT_EQ(favorites.items(QStringLiteral("Work")).first().target(), chosen);
}

TEST_F(ManagerPanelsTest, EditPanelsFindTheRightItemAndRefuseAnUnreadableNote)
{
    // A folder where the note's file should be: there, but not a file to read.
    const QString unreadable = folder.filePath(QStringLiteral("folder.txt"));
    QDir().mkpath(unreadable);
    const Item file = pinned(fileItem(QStringLiteral("report.odt"), 1, userFile(QStringLiteral("report.odt"))));
    addGroup(QStringLiteral("Work"), {file, colorItem(QStringLiteral("green"), 2, QStringLiteral("47CE64")),
                                      colorItem(QStringLiteral("blue"), 3, QStringLiteral("0000FF")),
                                      note(QStringLiteral("lost note"), 4, folder.filePath(QStringLiteral("gone.txt"))),
                                      note(QStringLiteral("unreadable note"), 5, unreadable)});
    openPage();
    auto *search = page->findChild<QLineEdit *>(QStringLiteral("searchtextfield"));

    // While searching, the edited colour is the one shown, not the one at its row in the full list.
    search->setText(QStringLiteral("blue"));
    items->setCurrentIndex(items->model()->index(0, 0));
    QTest::keyClick(items, Qt::Key_F2);
    auto *panel = page->findChild<AddItemPanel *>();
    ASSERT_TRUE(panel && panel->isVisible());
    panelChild<QLineEdit>(panel, "txtfieldTitle")->setText(QStringLiteral("navy"));
    panelChild<QPushButton>(panel, "btnadd")->click();
    EXPECT_EQ((*favorites.findItem(QStringLiteral("Work"), 3)).title(), QStringLiteral("navy"));

    // A note whose file is there but cannot be read is not saved over.
    search->setText(QStringLiteral("unreadable"));
    items->setCurrentIndex(items->model()->index(0, 0));
    page->itemsPane().menuitem_edit();
    EXPECT_TRUE(panelChild<QLabel>(panel, "lblalert")
                    ->text()
                    .startsWith(LocalizedText(Text::noteUnreadable).section(QLatin1Char('%'), 0, 0)));
    panelChild<QPushButton>(panel, "btnadd")->click();
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(favorites.findItem(QStringLiteral("Work"), 5)->target(), unreadable);
    panel->reject();

    // A note whose file is gone takes a new text, saved to a new file, and a new title.
    search->setText(QStringLiteral("lost"));
    items->setCurrentIndex(items->model()->index(0, 0));
    page->itemsPane().menuitem_edit();
    EXPECT_EQ(panelChild<QLabel>(panel, "lblalert")->text(), LocalizedText(Text::noteFileMissingTypeAgain));
    auto *text = panelChild<QPlainTextEdit>(panel, "textview");
    ASSERT_FALSE(text->isReadOnly());
    text->setPlainText(QStringLiteral("written again"));
    panelChild<QLineEdit>(panel, "txtfieldTitle")->setText(QStringLiteral("found note"));
    panelChild<QPushButton>(panel, "btnadd")->click();
    EXPECT_FALSE(panel->isVisible());
    const Item found = *favorites.findItem(QStringLiteral("Work"), 4);
    EXPECT_EQ(found.title(), QStringLiteral("found note"));
    EXPECT_EQ(ItemEditor::readNote(found), QStringLiteral("written again"));
    EXPECT_TRUE(supportFiles.contains(found.target()));

    // A file item is only renamed, and keeps everything else.
    search->clear();
    items->setCurrentIndex(items->model()->index(0, 0));
    page->itemsPane().menuitem_edit();
    auto *filePanel = page->findChild<EditItemPanel *>();
    ASSERT_TRUE(filePanel && filePanel->isVisible());
    auto *name = panelChild<QLineEdit>(filePanel, "txtfieldTitle");
    EXPECT_EQ(name->selectedText(), QStringLiteral("report.odt")); // to be typed over
    name->clear();
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_EQ(panelChild<QLabel>(filePanel, "lblalert")->text(), LocalizedText(Text::titleMissing));
    QTest::keyClicks(name, QStringLiteral(" Annual report "));
    QTest::keyClick(name, Qt::Key_Return);
    Item renamed = file;
    renamed.setTitle(QStringLiteral(" Annual report "));
    EXPECT_EQ(favorites.findItem(QStringLiteral("Work"), 1), renamed);
    EXPECT_FALSE(layer->isHeld());
}

} // namespace
