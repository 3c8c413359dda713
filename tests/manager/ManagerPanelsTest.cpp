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
    static T *panelChild(QWidget *panel, const char *name)
    {
        return panel->findChild<T *>(QString::fromLatin1(name));
    }
};

TEST_F(ManagerPanelsTest, EditsKeepIdentityAndOtherProgramsDataAndReplaceOnlyOwnFiles)
{
    const QString oldIcon = supportFile("21.png");
    const QString foreignIcon = userFile("mine.png");
    const QString oldBody = supportFile("22.txt", "old text");
    const Item site = pinned(bookmark("site", 3, "old.org", oldIcon));
    addGroup("Work", {site, bookmark("foreign", 4, "x.org", foreignIcon), note("memo", 5, oldBody)});
    // What another program keeps in a record stays through an edit.
    const QString workKey = FavoritesStore::itemListKey("Work");
    QVariantList records = *preferences.arrayForKey(workKey);
    QVariantMap foreignRecord = records.at(1).toMap();
    foreignRecord.insert("syncTool", QVariantMap{{"rev", 7}});
    records[1] = foreignRecord;
    preferences.setObject(records, workKey);
    ItemEditor editor(services().items());

    // A new title alone asks for no icon; uid, date, pin and icon stay.
    ASSERT_TRUE(editor.edit("Work", 3, PanelKind::webBookmark, {"Site", "old.org", {}, {}}).ok());
    Item retitled = site;
    retitled.setTitle("Site");
    EXPECT_EQ(favorites.findItem("Work", 3), retitled);
    EXPECT_EQ(fetcher.pendingCount(), 0);

    // An icon outside the support folder is never deleted.
    ASSERT_TRUE(editor.edit("Work", 4, PanelKind::webBookmark, {"foreign", "y.org", {}, {}}).ok());
    EXPECT_TRUE(QFile::exists(foreignIcon));
    EXPECT_EQ(preferences.arrayForKey(workKey)->at(1).toMap().value("syncTool"), QVariantMap({{"rev", 7}}));

    // A note's new text goes to a new file; the old one goes.
    ASSERT_TRUE(editor.edit("Work", 5, PanelKind::textFile, {"memo", {}, "new text", {}}).ok());
    const Item memo = *favorites.findItem("Work", 5);
    EXPECT_EQ(ItemEditor::readNote(memo), "new text");
    EXPECT_FALSE(QFile::exists(oldBody));

    // Refusals and a vanished item or group change nothing.
    EXPECT_EQ(editor.edit("Work", 3, PanelKind::webBookmark, {QString(), "site.org", {}, {}}).errorKey,
              TextKey("IDS_BR_102"));
    EXPECT_EQ(editor.edit("Work", 5, PanelKind::textFile, {"memo", {}, QString(), {}}).errorKey, TextKey("IDS_BR_104"));
    EXPECT_EQ(editor.edit("Work", 99, PanelKind::colorWell, {"c", {}, {}, Qt::red}).errorKey, TextKey("IDS_BR_183"));
    EXPECT_EQ(editor.add("Deleted", PanelKind::colorWell, {"c", {}, {}, Qt::red}).errorKey, TextKey("IDS_BR_188"));
    EXPECT_FALSE(favorites.hasItemList("Deleted"));
    EXPECT_EQ(favorites.findItem("Work", 5), memo);
}

TEST_F(ManagerPanelsTest, AddPanelAndFileDialogOverTheDimmedWindow)
{
    addGroup("Work", {item("old", 1)});
    openPage();
    page->itemsPane().panels().AddWebBookmark();
    auto *panel = page->findChild<AddItemPanel *>();
    ASSERT_TRUE(panel && panel->isVisible());
    EXPECT_TRUE(layer->isHeld());
    auto *title = panelChild<QLineEdit>(panel, "txtfieldTitle");
    auto *address = panelChild<QLineEdit>(panel, "txtfieldurl");
    auto *message = panelChild<QLabel>(panel, "lblalert");

    QTest::keyClicks(title, "News");
    QTest::keyClick(title, Qt::Key_Return);
    EXPECT_TRUE(panel->isVisible()); // without an address
    QTest::keyClicks(address, "news.example.org");
    QTest::keyClick(address, Qt::Key_Return);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_FALSE(layer->isHeld());
    EXPECT_EQ(storedItemTitles("Work"), (QStringList{"News", "old"}));
    EXPECT_EQ(items->currentIndex().data().toString(), "News");

    // Escape cancels and saves nothing.
    page->itemsPane().panels().AddColorSwitch();
    QTest::keyClicks(title, "Red");
    QTest::keyClick(title, Qt::Key_Escape);
    EXPECT_FALSE(layer->isHeld());
    EXPECT_EQ(storedItemTitles("Work").size(), 2);

    // A click on the colour well leaves it no default button: Return confirms the panel next time too.
    page->itemsPane().panels().AddColorSwitch();
    auto *well = panelChild<ColorWell>(panel, "colorwell");
    QTest::mouseClick(well, Qt::LeftButton);
    ASSERT_TRUE(well->chooser() && well->chooser()->isVisible());
    well->chooser()->close();
    QTest::keyClick(well, Qt::Key_Escape);
    EXPECT_FALSE(panel->isVisible());
    page->itemsPane().panels().AddWebBookmark();
    QTest::keyClicks(title, "Later");
    QTest::keyClick(title, Qt::Key_Return);
    EXPECT_EQ(message->text(), LocalizedText(Text::webAddressMissing));
    QTest::keyClick(title, Qt::Key_Escape);

    // Editing a bookmark: its name comes selected, its long address shows from the start (the site).
    const QString longAddress = "https://news.example.org/" + QString(200, QLatin1Char('a'));
    replaceItems("Work", {bookmark("News", 7, longAddress)});
    items->setCurrentIndex(items->model()->index(0, 0));
    page->itemsPane().menuitem_edit();
    ASSERT_TRUE(panel->isVisible());
    EXPECT_EQ(title->selectedText(), "News");
    EXPECT_EQ(address->text(), longAddress);
    EXPECT_EQ(address->cursorPosition(), 0);
    panel->reject();

    // A file chosen in the dialog is added, the window dimmed meanwhile; a cancelled one adds nothing.
    const QString chosen = userFile("plan.txt");
    bool dimmed = false;
    page->itemsPane().panels().setFileChooser([&](QWidget *) {
        dimmed = layer->isHeld();
        return std::optional<QString>(chosen);
    });
    page->itemsPane().panels().AddFileFolders();
    EXPECT_TRUE(dimmed);
    EXPECT_FALSE(layer->isHeld());
    page->itemsPane().panels().setFileChooser([](QWidget *) { return std::optional<QString>(); });
    page->itemsPane().panels().AddFileFolders();
    EXPECT_EQ(storedItemTitles("Work"), (QStringList{"plan.txt", "News"}));
}

TEST_F(ManagerPanelsTest, ScreenReadersEditARowThroughItsNamedAction)
{
    addGroup("Work", {colorItem("green", 2, "47CE64"), colorItem("blue", 3, "0000FF")});
    openPage();
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(items);
    ASSERT_TRUE(list && list->childCount() == 2);
    items->setCurrentIndex(items->model()->index(1, 0));

    // The painted edit button is the row's named action, with its key; doing it edits that row's item.
    QAccessibleInterface *row = list->child(0);
    EXPECT_EQ(row->text(QAccessible::Name), "blue");
    ASSERT_TRUE(row && row->actionInterface());
    const QString edit = LocalizedText(Text::edit);
    EXPECT_EQ(row->actionInterface()->keyBindingsForAction(edit), QStringList{"F2"});
    row->actionInterface()->doAction(edit);
    auto *panel = page->findChild<AddItemPanel *>();
    ASSERT_TRUE(panel && panel->isVisible());
    EXPECT_EQ(panelChild<ColorWell>(panel, "colorwell")->color(), QColor(0, 0, 0xFF));
    panel->reject();

    // A row that has gone does nothing.
    QAccessibleInterface *last = list->child(1);
    replaceItems("Work", {favorites.items("Work").first()});
    ASSERT_EQ(list->childCount(), 1);
    EXPECT_FALSE(last->isValid());
    last->actionInterface()->doAction(edit);
    EXPECT_FALSE(panel->isVisible());
}

TEST_F(ManagerPanelsTest, EditPanelsFindTheRightItemAndRefuseAnUnreadableNote)
{
    // A folder where the note's file should be: there, but not a file to read.
    const QString unreadable = folder.filePath("folder.txt");
    QDir().mkpath(unreadable);
    const Item file = pinned(fileItem("report.odt", 1, userFile("report.odt")));
    addGroup("Work", {file, colorItem("green", 2, "47CE64"), colorItem("blue", 3, "0000FF"),
                      note("lost note", 4, folder.filePath("gone.txt")), note("unreadable note", 5, unreadable)});
    openPage();
    // Edits the first row the search shows, in the panel of its kind.
    const auto editFound = [this](const QString &text) -> QWidget * {
        page->itemsPane().searchField()->setText(text);
        items->setCurrentIndex(items->model()->index(0, 0));
        page->itemsPane().menuitem_edit();
        QWidget *panel = page->findChild<AddItemPanel *>();
        return panel && panel->isVisible() ? panel : page->findChild<EditItemPanel *>();
    };
    const auto title = [](QWidget *panel) { return panelChild<QLineEdit>(panel, "txtfieldTitle"); };
    const auto message = [](QWidget *panel) { return panelChild<QLabel>(panel, "lblalert")->text(); };
    const auto confirm = [](QWidget *panel) { panelChild<QPushButton>(panel, "btnadd")->click(); };

    // While searching, the edited colour is the one shown, not the one at its row in the full list.
    QWidget *panel = editFound("blue");
    title(panel)->setText("navy");
    confirm(panel);
    EXPECT_EQ(favorites.findItem("Work", 3)->title(), "navy");

    // A note whose file is there but cannot be read is not saved over.
    panel = editFound("unreadable");
    EXPECT_TRUE(message(panel).startsWith(LocalizedText(Text::noteUnreadable).section(QLatin1Char('%'), 0, 0)));
    confirm(panel);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(favorites.findItem("Work", 5)->target(), unreadable);
    static_cast<QDialog *>(panel)->reject();

    // A note whose file is gone takes a new text, saved to a new file, and a new title.
    panel = editFound("lost");
    EXPECT_EQ(message(panel), LocalizedText(Text::noteFileMissingTypeAgain));
    auto *text = panelChild<QPlainTextEdit>(panel, "textview");
    ASSERT_FALSE(text->isReadOnly());
    text->setPlainText("written again");
    title(panel)->setText("found note");
    confirm(panel);
    EXPECT_FALSE(panel->isVisible());
    const Item found = *favorites.findItem("Work", 4);
    EXPECT_EQ(found.title(), "found note");
    EXPECT_EQ(ItemEditor::readNote(found), "written again");
    EXPECT_TRUE(supportFiles.contains(found.target()));

    // A file item is only renamed, and keeps everything else.
    panel = editFound(QString());
    ASSERT_TRUE(qobject_cast<EditItemPanel *>(panel) && panel->isVisible());
    QLineEdit *name = title(panel);
    EXPECT_EQ(name->selectedText(), "report.odt"); // to be typed over
    QTest::keyClicks(name, " Annual report ");
    QTest::keyClick(name, Qt::Key_Return);
    Item renamed = file;
    renamed.setTitle(" Annual report ");
    EXPECT_EQ(favorites.findItem("Work", 1), renamed);
    EXPECT_FALSE(layer->isHeld());
}

} // namespace
