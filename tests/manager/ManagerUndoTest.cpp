#include "ManagerFixture.h"
#include "store/TextKeys.h"

#include <QAction>
#include <QMenu>
#include <QTest>

#include <functional>

namespace {

// Items shown by title, a to z, so that rows are easy to name.
class ManagerUndoTest : public ManagerFixture
{
protected:
    ManagerUndoTest() { sortSettings = {.itemSortKey = SortSettings::ItemKey::title, .itemSortAscending = true}; }
};

} // namespace

TEST_F(ManagerUndoTest, EveryChangeOfThePageIsUndoneAndRedoneWhole)
{
    // Everything a change may touch.
    const auto stateNow = [this] {
        QMap<QString, QList<Item>> lists;
        for (const QString &title : favorites.groupTitles())
            lists.insert(title, favorites.items(title));
        return std::tuple(favorites.groups(), lists, sortSettings);
    };
    const std::pair<const char *, std::function<void(Manager &)>> cases[] = {
        {"remove an item", [](Manager &m) { m.items.removeItem(1); }},
        {"delete a group", [](Manager &m) { m.groups.deleteGroup(0); }},
        {"move an item", [](Manager &m) { m.items.moveItemToGroup(0, 1); }},
        {"rename a group", [](Manager &m) { m.groups.rename(0, "Home"); }},
        {"recolour a group", [](Manager &m) { m.groups.changeColor(1, QColor("#123456")); }},
        {"reorder groups", [](Manager &m) { m.groups.moveGroup(2, 0); }},
        {"sort groups", [](Manager &m) { m.groups.setGroupSortKey(SortSettings::GroupKey::title); }},
        {"sort items backwards", [](Manager &m) { m.items.setItemSortAscending(false); }},
        {"pin an item", [](Manager &m) { m.items.PinItem(2); }},
    };
    for (const auto &[name, change] : cases) {
        SCOPED_TRACE(name);
        for (const QString &key : preferences.allKeys())
            preferences.removeObjectForKey(key);
        sortSettings = {.itemSortAscending = true};
        addGroup("Work", {item("b", 1), item("a", 2), item("c", 3)}, "FF0000");
        addGroup("Play", {item("d", 4)}, "00FF00");
        addGroup("Chores", {}, "0000FF");
        auto manager = makeManager();
        const auto before = stateNow();
        change(*manager);
        const auto after = stateNow();
        ASSERT_NE(after, before);
        EXPECT_EQ(history.undo(), QString());
        EXPECT_EQ(stateNow(), before);
        EXPECT_EQ(history.redo(), QString());
        EXPECT_EQ(stateNow(), after);
        history.discardRemovedFiles();
    }
}

TEST_F(ManagerUndoTest, UndoKeepsWhatChangedElsewhereAndRefusesWhatNoLongerApplies)
{
    addGroup("Work", {item("a", 1), item("b", 2), item("c", 3)}, "FF0000");
    addGroup("Play", {item("d", 4)});
    auto manager = makeManager();

    // Another computer adds an item and renames one while a removal waits.
    manager->items.removeItem(1);
    QList<Item> merged = favorites.items("Work");
    merged[1].setTitle("c renamed");
    merged.append(item("new", 9));
    favorites.setItems("Work", merged);
    EXPECT_EQ(history.undo(), QString());
    EXPECT_EQ(storedItemTitles("Work"), (QStringList{"a", "b", "c renamed", "new"}));

    // The item came back elsewhere meanwhile: redoing the removal keeps it, and says so.
    favorites.setItems("Work", favorites.items("Work").mid(0, 1));
    favorites.appendItemToGroup("Play", item("b elsewhere", 2));
    manager->groups.loadGroups();
    EXPECT_FALSE(history.redo().isEmpty());
    EXPECT_EQ(storedItemTitles("Play"), (QStringList{"d", "b elsewhere"}));

    // The page recolours the group while another program changes it too.
    const auto recolouredWhile = [&](const std::function<void(Group &)> &elsewhere) {
        manager->groups.loadGroups();
        manager->groups.changeColor(0, QColor("#00FF00"));
        Group changed = favorites.groups().at(0);
        elsewhere(changed);
        favorites.setGroups({changed, favorites.groups().at(1)});
        return history.undo();
    };
    // Folded in the popup: the step is undone key by key, and the fold stays.
    EXPECT_EQ(recolouredWhile([](Group &group) { group.setExpanded(false); }), QString());
    EXPECT_EQ(storedGroup("Work").color(), "FF0000");
    EXPECT_FALSE(storedGroup("Work").isExpanded());
    // Recoloured elsewhere: the undo is refused and leaves the history; the other colour stays.
    const QString refused = recolouredWhile([](Group &group) { group.setColor("ABCDEF"); });
    EXPECT_TRUE(refused.contains(LocalizedText(Text::changeColourStep))) << refused.toStdString();
    EXPECT_EQ(storedGroup("Work").color(), "ABCDEF");

    // A rename whose old title was taken meanwhile is not undone over it.
    manager->groups.loadGroups();
    manager->groups.rename(1, "Games");
    Group taken("Play");
    taken.setColor("00FFFF");
    favorites.setGroups(favorites.groups() << taken);
    EXPECT_FALSE(history.undo().isEmpty());
    EXPECT_EQ(storedGroupTitles(), (QStringList{"Work", "Games", "Play"}));
    EXPECT_EQ(storedItemTitles("Games"), (QStringList{"d", "b elsewhere"}));
}

TEST_F(ManagerUndoTest, RemovedNotesAndIconsComeBackUntilQuit)
{
    const QString aside = folder.filePath("cache/removed");
    history.keepRemovedFilesIn(aside);
    const QString notePath = supportFile("11.txt", "my note");
    const QString iconPath = supportFile("12.png", "icon");
    addGroup("Work", {note("n", 1, notePath), bookmark("w", 2, "example.org", iconPath)});
    auto manager = makeManager();

    manager->groups.deleteGroup(0);
    EXPECT_FALSE(QFile::exists(notePath) || QFile::exists(iconPath));
    history.undo();
    EXPECT_EQ(storedItemTitles("Work"), (QStringList{"n", "w"}));
    EXPECT_EQ(contentOf(notePath), "my note");
    EXPECT_TRUE(QFile::exists(iconPath));

    // A new note took the name meanwhile: the restored one gets its own.
    manager->groups.loadGroups();
    manager->groups.selectGroup(0);
    manager->items.removeItem(0);
    supportFile("11.txt", "a newer note");
    history.undo();
    const QString newPath = favorites.items("Work").at(0).target();
    EXPECT_NE(newPath, notePath);
    EXPECT_EQ(contentOf(newPath), "my note");

    manager->items.removeItem(0);
    EXPECT_TRUE(QDir(aside).exists());
    history.discardRemovedFiles();
    EXPECT_FALSE(QDir(aside).exists());
    EXPECT_FALSE(history.canUndo());
}

TEST_F(ManagerUndoTest, CtrlZAndTheRowMenusUndoAndRedo)
{
    addGroup("Work", {item("a", 1), item("b", 2)});
    openPage();
    page->items().removeItem(0);
    ASSERT_EQ(storedItemTitles("Work"), QStringList{"b"});

    items->setFocus();
    QTest::keyClick(items, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(storedItemTitles("Work"), (QStringList{"a", "b"}));
    QTest::keyClick(groups, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(storedItemTitles("Work"), QStringList{"b"});

    // The group menu offers the same, named after the step.
    Q_EMIT groups->customContextMenuRequested(groups->visualRect(groups->model()->index(0, 0)).center());
    auto *menu = page->findChild<QMenu *>("groupsMenu");
    ASSERT_NE(menu, nullptr);
    const QString named = LocalizedText(Text::undoNamedStep).arg(LocalizedText(Text::removeItemStep));
    const QList<QAction *> entries = menu->actions();
    const auto undo = std::find_if(entries.begin(), entries.end(), [&](QAction *a) { return a->text() == named; });
    ASSERT_NE(undo, entries.end());
    menu->close();
    (*undo)->trigger();
    EXPECT_EQ(storedItemTitles("Work"), (QStringList{"a", "b"}));
}
