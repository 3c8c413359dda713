#include "QuickListFixture.h"

#include "quicklist/GroupActions.h"
#include "quicklist/ItemActions.h"
#include "quicklist/QuickList.h"
#include "store/FavoritesHistory.h"
#include "store/TextKeys.h"

#include <QAction>
#include <QMenu>
#include <QTest>

namespace {

class PopupUndoTest : public QuickListFixture
{
protected:
    FavoritesHistory history{favorites, supportFiles, sortSettings, links};
    QuickList quickList{favorites};
    ItemActions itemActions{quickList, favorites, sortSettings, supportFiles, links, desktop.services(), &history};
    GroupActions groupActions{quickList, favorites, sortSettings, links, &history};
};

} // namespace

TEST_F(PopupUndoTest, PopupChangesGoIntoTheSharedHistory)
{
    addGroup(u"Work"_qs, true, {item(u"b"_qs, 1), item(u"a"_qs, 2)});
    addGroup(u"Play"_qs, true, {item(u"c"_qs, 3)});
    quickList.reloadQuickList();

    itemActions.pinItem(favorites.items(u"Work"_qs).at(1));
    itemActions.removeItem(favorites.items(u"Play"_qs).at(0));
    groupActions.sortByName();
    groupActions.groupSortByName();
    groupActions.changeColor(0, QColor(u"#010203"_qs));
    EXPECT_EQ(history.undoText(), LocalizedText(Text::undoNamedStep).arg(LocalizedText(Text::changeColourStep)));

    for (int step = 0; step < 5; ++step)
        EXPECT_EQ(history.undo(), QString()) << step;
    EXPECT_FALSE(history.canUndo());
    EXPECT_EQ(sortSettings, SortSettings());
    EXPECT_EQ(favorites.groupTitles(), (QStringList{u"Work"_qs, u"Play"_qs}));
    EXPECT_EQ(titlesOf(favorites.items(u"Work"_qs)), (QStringList{u"b"_qs, u"a"_qs}));
    EXPECT_FALSE(favorites.items(u"Work"_qs).at(1).isPinned());
    EXPECT_EQ(titlesOf(favorites.items(u"Play"_qs)), QStringList{u"c"_qs});
    EXPECT_EQ(favorites.groups().at(0).color(), QString(defaultGroupColor));
}

TEST_F(PopupUndoTest, ThePopupHasUndoAndRedoWithTheirKeys)
{
    addGroup(u"Work"_qs, true, {item(u"a"_qs, 1)});
    auto *popup = new QuickListPage(
        {favorites, preferences, sortSettings, supportFiles, links, desktop.services(), picker, &history});
    std::unique_ptr<QuickListPage> owner(popup);
    popup->show();
    quickList.reloadQuickList();
    itemActions.removeItem(favorites.items(u"Work"_qs).at(0));

    QAction *undo = popup->findChild<QAction *>(u"undoAction"_qs);
    ASSERT_NE(undo, nullptr);
    EXPECT_EQ(undo->text(), LocalizedText(Text::undoNamedStep).arg(LocalizedText(Text::removeItemStep)));
    EXPECT_TRUE(undo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Z)));
    undo->trigger();
    EXPECT_EQ(titlesOf(favorites.items(u"Work"_qs)), QStringList{u"a"_qs});
    QAction *redo = popup->findChild<QAction *>(u"redoAction"_qs);
    ASSERT_NE(redo, nullptr);
    EXPECT_TRUE(redo->isEnabled());
    EXPECT_TRUE(redo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)));
}
