#include "QuickListFixture.h"

#include "quicklist/GroupActions.h"
#include "quicklist/ItemActions.h"
#include "quicklist/QuickList.h"
#include "store/FavoritesHistory.h"
#include "store/TextKeys.h"

#include <QAction>

// The popup's changes go into the history it shares with the manager (whose
// rules are tested with the manager), and its Undo and Redo have their keys.
TEST_F(QuickListFixture, PopupChangesAreUndoneThroughThePopupsUndoAction)
{
    FavoritesHistory history{favorites, supportFiles, sortSettings, links};
    QuickList quickList{favorites};
    ItemActions itemActions{quickList, favorites, sortSettings, supportFiles, links, desktop.services(), &history};
    GroupActions groupActions{quickList, favorites, sortSettings, links, &history};
    addGroup("Work", true, {item("b", 1), item("a", 2)});
    addGroup("Play", true, {item("c", 3)});
    const QuickListServices services{favorites, preferences,        sortSettings, supportFiles,
                                     links,     desktop.services(), picker,       &history};
    QuickListPage popup(services);
    popup.show();
    quickList.reloadQuickList();
    const QList<Item> workBefore = favorites.items("Work");

    itemActions.pinItem(favorites.items("Work").at(1));
    groupActions.groupSortByName();
    itemActions.removeItem(favorites.items("Play").at(0));
    QAction *undo = popup.findChild<QAction *>("undoAction");
    QAction *redo = popup.findChild<QAction *>("redoAction");
    ASSERT_TRUE(undo && redo);
    EXPECT_EQ(undo->text(), LocalizedText(Text::undoNamedStep).arg(LocalizedText(Text::removeItemStep)));
    EXPECT_TRUE(undo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Z)));
    EXPECT_TRUE(redo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)));
    for (int step = 0; step < 3; ++step)
        undo->trigger();
    EXPECT_FALSE(history.canUndo());
    EXPECT_TRUE(redo->isEnabled());
    EXPECT_EQ(sortSettings, SortSettings());
    EXPECT_EQ(favorites.items("Work"), workBefore);
    EXPECT_EQ(titlesOf(favorites.items("Play")), QStringList{"c"});
}
