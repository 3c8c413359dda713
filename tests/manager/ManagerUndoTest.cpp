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
    ManagerUndoTest()
    {
        sortSettings.itemSortKey = SortSettings::ItemKey::title;
        sortSettings.itemSortAscending = true;
    }
};

// Everything a change may touch, for comparing whole states.
struct State
{
    QList<Group> groups;
    QMap<QString, QList<Item>> items;
    SortSettings sort;
    bool operator==(const State &) const = default;
};

} // namespace

TEST_F(ManagerUndoTest, EveryChangeOfThePageIsUndoneAndRedoneWhole)
{
    const auto stateNow = [this] {
        State state{favorites.groups(), {}, sortSettings};
        for (const QString &title : favorites.groupTitles())
            state.items.insert(title, favorites.items(title));
        return state;
    };
    using Change = std::function<void(ManagerFixture::Manager &)>;
    const struct
    {
        const char *name;
        Change change;
    } cases[] = {
        {"remove an item", [](Manager &m) { m.items.removeItem(1); }},
        {"delete a group", [](Manager &m) { m.groups.deleteGroup(0); }},
        {"move an item", [](Manager &m) { m.items.moveItemToGroup(0, 1); }},
        {"rename a group", [](Manager &m) { m.groups.rename(0, u"Home"_qs); }},
        {"recolour a group", [](Manager &m) { m.groups.changeColor(1, QColor(u"#123456"_qs)); }},
        {"reorder groups", [](Manager &m) { m.groups.moveGroup(2, 0); }},
        {"sort groups", [](Manager &m) { m.groups.setGroupSortKey(SortSettings::GroupKey::title); }},
        {"sort items", [](Manager &m) { m.items.setItemSortKey(SortSettings::ItemKey::title); }},
        {"sort items backwards", [](Manager &m) { m.items.setItemSortAscending(false); }},
        {"pin an item", [](Manager &m) { m.items.PinItem(2); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        for (const QString &key : preferences.allKeys())
            preferences.removeObjectForKey(key);
        sortSettings = SortSettings();
        sortSettings.itemSortAscending = true;
        history.discardRemovedFiles();
        addGroup(u"Work"_qs, {item(u"b"_qs, 1), item(u"a"_qs, 2), item(u"c"_qs, 3)}, u"FF0000"_qs);
        addGroup(u"Play"_qs, {item(u"d"_qs, 4)}, u"00FF00"_qs);
        addGroup(u"Chores"_qs, {}, u"0000FF"_qs);
        auto manager = makeManager();
        const State before = stateNow();
        c.change(*manager);
        const State after = stateNow();
        ASSERT_NE(after, before);
        ASSERT_TRUE(history.canUndo());

        EXPECT_EQ(history.undo(), QString());
        EXPECT_EQ(stateNow(), before);
        EXPECT_EQ(history.redo(), QString());
        EXPECT_EQ(stateNow(), after);
        EXPECT_EQ(history.undo(), QString());
        EXPECT_EQ(stateNow(), before);
    }
}

TEST_F(ManagerUndoTest, UndoKeepsWhatChangedElsewhereAndRefusesWhatNoLongerApplies)
{
    addGroup(u"Work"_qs, {item(u"a"_qs, 1), item(u"b"_qs, 2), item(u"c"_qs, 3)}, u"FF0000"_qs);
    addGroup(u"Play"_qs, {item(u"d"_qs, 4)});
    auto manager = makeManager();

    // Another computer adds an item and renames one while a removal waits.
    manager->items.removeItem(1);
    QList<Item> merged = favorites.items(u"Work"_qs);
    merged[1].setTitle(u"c renamed"_qs);
    merged.append(item(u"new"_qs, 9));
    favorites.setItems(u"Work"_qs, merged);
    EXPECT_EQ(history.undo(), QString());
    EXPECT_EQ(storedItemTitles(u"Work"_qs), (QStringList{u"a"_qs, u"b"_qs, u"c renamed"_qs, u"new"_qs}));

    // The item came back elsewhere meanwhile: redoing the removal keeps it, and says so.
    favorites.setItems(u"Work"_qs, favorites.items(u"Work"_qs).mid(0, 1));
    favorites.appendItemToGroup(u"Play"_qs, item(u"b elsewhere"_qs, 2));
    manager->groups.loadGroups();
    EXPECT_FALSE(history.redo().isEmpty());
    EXPECT_EQ(storedItemTitles(u"Play"_qs), (QStringList{u"d"_qs, u"b elsewhere"_qs}));

    // Folded in the popup and renamed elsewhere meanwhile: the steps are
    // undone key by key, and the fold and the new title stay.
    manager->groups.loadGroups();
    manager->groups.changeColor(0, QColor(u"#00FF00"_qs));
    Group folded = favorites.groups().at(0);
    folded.setExpanded(false);
    favorites.setGroups({folded, favorites.groups().at(1)});
    EXPECT_EQ(history.undo(), QString());
    EXPECT_EQ(storedGroup(u"Work"_qs).color(), u"FF0000"_qs);
    EXPECT_FALSE(storedGroup(u"Work"_qs).isExpanded());
    manager->groups.loadGroups();
    manager->groups.selectGroup(0);
    manager->items.PinItem(0);
    QList<Item> work = favorites.items(u"Work"_qs);
    work[0].setTitle(u"a renamed"_qs);
    favorites.setItems(u"Work"_qs, work);
    EXPECT_EQ(history.undo(), QString());
    EXPECT_EQ(favorites.findItem(u"Work"_qs, 1)->title(), u"a renamed"_qs);
    EXPECT_FALSE(favorites.findItem(u"Work"_qs, 1)->isPinned());

    // Recoloured elsewhere after the page recoloured it: the undo is refused
    // and leaves the history; the other colour stays.
    manager->groups.loadGroups();
    manager->groups.changeColor(0, QColor(u"#00FF00"_qs));
    Group other = favorites.groups().at(0);
    other.setColor(u"ABCDEF"_qs);
    favorites.setGroups({other, favorites.groups().at(1)});
    const QString refused = history.undo();
    EXPECT_TRUE(refused.contains(LocalizedText(Text::changeColourStep))) << refused.toStdString();
    EXPECT_EQ(storedGroup(u"Work"_qs).color(), u"ABCDEF"_qs);

    // A rename whose old title was taken meanwhile is not undone over it.
    manager->groups.loadGroups();
    manager->groups.rename(1, u"Games"_qs);
    Group taken(u"Play"_qs);
    taken.setColor(u"00FFFF"_qs);
    favorites.setGroups(favorites.groups() << taken);
    EXPECT_FALSE(history.undo().isEmpty());
    EXPECT_EQ(storedGroupTitles(), (QStringList{u"Work"_qs, u"Games"_qs, u"Play"_qs}));
    EXPECT_EQ(storedItemTitles(u"Games"_qs), (QStringList{u"d"_qs, u"b elsewhere"_qs}));
}

TEST_F(ManagerUndoTest, RemovedNotesAndIconsComeBackUntilQuit)
{
    const QString aside = folder.filePath(u"cache/removed"_qs);
    history.keepRemovedFilesIn(aside);
    const QString notePath = supportFile(u"11.txt"_qs, "my note");
    const QString iconPath = supportFile(u"12.png"_qs, "icon");
    addGroup(u"Work"_qs, {note(u"n"_qs, 1, notePath), bookmark(u"w"_qs, 2, u"example.org"_qs, iconPath)});
    auto manager = makeManager();

    manager->groups.deleteGroup(0);
    EXPECT_FALSE(QFile::exists(notePath));
    EXPECT_FALSE(QFile::exists(iconPath));
    history.undo();
    EXPECT_EQ(storedItemTitles(u"Work"_qs), (QStringList{u"n"_qs, u"w"_qs}));
    QFile restored(notePath);
    ASSERT_TRUE(restored.open(QIODevice::ReadOnly));
    EXPECT_EQ(restored.readAll(), "my note");
    EXPECT_TRUE(QFile::exists(iconPath));

    // A new note took the name meanwhile: the restored one gets its own.
    manager->groups.loadGroups();
    manager->groups.selectGroup(0);
    manager->items.removeItem(0);
    supportFile(u"11.txt"_qs, "a newer note");
    history.undo();
    const QString newPath = favorites.items(u"Work"_qs).at(0).target();
    EXPECT_NE(newPath, notePath);
    QFile renamed(newPath);
    ASSERT_TRUE(renamed.open(QIODevice::ReadOnly));
    EXPECT_EQ(renamed.readAll(), "my note");

    manager->items.removeItem(0);
    EXPECT_TRUE(QDir(aside).exists());
    history.discardRemovedFiles();
    EXPECT_FALSE(QDir(aside).exists());
    EXPECT_FALSE(history.canUndo());
}

TEST_F(ManagerUndoTest, CtrlZAndTheRowMenusUndoAndRedo)
{
    addGroup(u"Work"_qs, {item(u"a"_qs, 1), item(u"b"_qs, 2)});
    openPage();
    page->items().removeItem(0);
    ASSERT_EQ(storedItemTitles(u"Work"_qs), QStringList{u"b"_qs});

    items->setFocus();
    QTest::keyClick(items, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(storedItemTitles(u"Work"_qs), (QStringList{u"a"_qs, u"b"_qs}));
    QTest::keyClick(groups, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(storedItemTitles(u"Work"_qs), QStringList{u"b"_qs});

    // The group menu offers the same, named after the step.
    Q_EMIT groups->customContextMenuRequested(groups->visualRect(groups->model()->index(0, 0)).center());
    auto *menu = page->findChild<QMenu *>(u"groupsMenu"_qs);
    ASSERT_NE(menu, nullptr);
    QAction *undo = nullptr;
    for (QAction *action : menu->actions()) {
        if (action->text() == LocalizedText(Text::undoNamedStep).arg(LocalizedText(Text::removeItemStep)))
            undo = action;
    }
    ASSERT_NE(undo, nullptr);
    EXPECT_TRUE(undo->isEnabled());
    menu->close();
    undo->trigger();
    EXPECT_EQ(storedItemTitles(u"Work"_qs), (QStringList{u"a"_qs, u"b"_qs}));
}
