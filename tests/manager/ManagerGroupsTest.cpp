#include "ManagerFixture.h"

#include <QSignalSpy>

namespace {

using ManagerGroupsTest = ManagerFixture;

TEST_F(ManagerGroupsTest, NewGroupsTakeTheFirstFreeDefaultNameAndGoLast)
{
    const struct
    {
        QStringList existing;
        QString expected;
    } cases[] = {{{}, "Group"},
                 {{"Group", "Group2"}, "Group1"},
                 {{"Group", "Group1", "Group2"}, "Group3"},
                 {{"group"}, "Group"}};
    for (const auto &test : cases) {
        favorites.setGroups(QList<Group>());
        for (const QString &title : test.existing)
            addGroup(title);
        auto manager = makeManager();
        EXPECT_EQ(manager->groups.defaultGroupName(), test.expected) << test.existing.join(',').toStdString();
    }

    // Appended last even while the groups are sorted by name; selected.
    favorites.setGroups(QList<Group>());
    addGroup(QStringLiteral("Zeta"));
    addGroup(QStringLiteral("Alpha"));
    sortSettings = {.groupSortKey = SortSettings::GroupKey::title, .groupSortAscending = true};
    links.popoverListLoaded = true;
    QSignalSpy popupReloads(&links, &ViewLinks::quickListReloadRequested);
    auto manager = makeManager();
    EXPECT_EQ(manager->groups.addGroup(), 2);
    EXPECT_EQ(storedGroupTitles(), (QStringList{"Zeta", "Alpha", "Group"}));
    EXPECT_EQ(manager->groups.selectedGroupTitle(), QStringLiteral("Group"));
    EXPECT_EQ(favorites.groups().last(), Group(QStringLiteral("Group")));
    EXPECT_GT(popupReloads.count(), 0);
}

TEST_F(ManagerGroupsTest, RenameFollowsEveryRule)
{
    using Rename = ManagerGroups::Rename;
    addGroup(QStringLiteral("Work"), {item(QStringLiteral("report"), 1)});
    addGroup(QStringLiteral("Home"), {item(QStringLiteral("plant"), 2)});
    auto manager = makeManager();

    EXPECT_EQ(manager->groups.rename(0, QStringLiteral("Work")), Rename::unchanged);
    EXPECT_EQ(manager->groups.rename(0, QString()), Rename::restored);
    EXPECT_EQ(manager->groups.rename(0, QStringLiteral("Home")), Rename::duplicate);
    EXPECT_EQ(manager->groups.rename(5, QStringLiteral("X")), Rename::ignored);
    EXPECT_EQ(storedGroupTitles(), (QStringList{"Work", "Home"}));

    // Spaces at the ends make a distinct name; the items move with it.
    EXPECT_EQ(manager->groups.rename(0, QStringLiteral(" Work ")), Rename::renamed);
    EXPECT_EQ(storedItemTitles(QStringLiteral(" Work ")), QStringList{"report"});
    EXPECT_FALSE(favorites.hasItemList(QStringLiteral("Work")));

    // Under a name sort the renamed group moves, and the selection with it.
    sortSettings = {.groupSortKey = SortSettings::GroupKey::title, .groupSortAscending = true};
    EXPECT_EQ(manager->groups.rename(0, QStringLiteral("Office")), Rename::renamed);
    EXPECT_EQ(storedGroupTitles(), (QStringList{"Home", "Office"}));
    EXPECT_EQ(manager->groups.selectedGroupTitle(), QStringLiteral("Office"));

    // A group without a name and left without one goes away.
    storeGroup(Group(QString()), {}, false);
    manager->groups.loadGroups();
    EXPECT_EQ(manager->groups.rename(2, QString()), Rename::removed);
    EXPECT_EQ(storedGroupTitles(), (QStringList{"Home", "Office"}));
}

TEST_F(ManagerGroupsTest, DeletingAGroupDeletesOnlyItsOwnSupportFiles)
{
    const QString noteBody = supportFile(QStringLiteral("11.txt"));
    const QString icon = supportFile(QStringLiteral("12.png"));
    const QString userNote = userFile(QStringLiteral("elsewhere.txt"));
    const QString userDocument = userFile(QStringLiteral("report.odt"));
    addGroup(QStringLiteral("Work"),
             {note(QStringLiteral("n"), 1, noteBody), bookmark(QStringLiteral("b"), 2, QStringLiteral("x.org"), icon),
              note(QStringLiteral("outside"), 3, userNote), fileItem(QStringLiteral("report"), 4, userDocument)});
    addGroup(QStringLiteral("Home"), {item(QStringLiteral("plant"), 5)});
    auto manager = makeManager();

    manager->groups.deleteGroup(0);
    EXPECT_FALSE(QFile::exists(noteBody));
    EXPECT_FALSE(QFile::exists(icon));
    EXPECT_TRUE(QFile::exists(userNote));
    EXPECT_TRUE(QFile::exists(userDocument));
    EXPECT_FALSE(favorites.hasItemList(QStringLiteral("Work")));
    EXPECT_EQ(storedGroupTitles(), QStringList{"Home"});

    manager->groups.deleteGroup(0);
    EXPECT_TRUE(manager->groups.selectedRow() == -1 && manager->items.selectedGroupItems().isEmpty());
}

TEST_F(ManagerGroupsTest, GroupsSharingATitleKeepTheirItemsUntilTheLastGoesAndARenamedOneTakesACopy)
{
    const QString noteBody = supportFile(QStringLiteral("21.txt"), "body");
    const QString icon = supportFile(QStringLiteral("22.png"), "icon");
    const QString work = QStringLiteral("Work");
    addGroup(work, {note(QStringLiteral("memo"), 1, noteBody),
                    bookmark(QStringLiteral("site"), 2, QStringLiteral("x.org"), icon)});
    addGroup(QStringLiteral("Home"), {item(QStringLiteral("plant"), 3)});
    addGroup(work);
    addGroup(work);
    auto manager = makeManager();
    const QStringList titles = storedItemTitles(work);

    // A renamed one takes its own copy: new identities, its own files.
    EXPECT_EQ(manager->groups.rename(2, QStringLiteral("Office")), ManagerGroups::Rename::renamed);
    EXPECT_EQ(storedItemTitles(work), titles);
    const auto copied = [this](const char *title, QString (Item::*path)() const, const QByteArray &contents) {
        Item copy;
        for (const Item &item : favorites.items(QStringLiteral("Office")))
            copy = item.title() == QLatin1String(title) ? item : copy;
        QFile file((copy.*path)());
        EXPECT_TRUE(supportFiles.contains(file.fileName()) && file.open(QIODevice::ReadOnly)
                    && file.readAll() == contents)
            << title;
        EXPECT_GT(copy.uid().value_or(0), 3) << title;
        return file.fileName();
    };
    const QString noteCopy = copied("memo", &Item::target, "body");
    const QString iconCopy = copied("site", &Item::iconPath, "icon");
    EXPECT_TRUE(noteCopy != noteBody && iconCopy != icon);

    // Deleting one keeps the list and its files while another has the title.
    EXPECT_EQ(storedGroupTitles(), (QStringList{work, "Home", "Office", work}));
    manager->groups.deleteGroup(0);
    EXPECT_EQ(storedItemTitles(work), titles);
    EXPECT_TRUE(QFile::exists(noteBody) && QFile::exists(icon));
    manager->groups.deleteGroup(2);
    EXPECT_FALSE(favorites.hasItemList(work));
    EXPECT_FALSE(QFile::exists(noteBody) || QFile::exists(icon));
    EXPECT_EQ(storedItemTitles(QStringLiteral("Office")), titles);
    EXPECT_TRUE(QFile::exists(noteCopy) && QFile::exists(iconCopy));
}

TEST_F(ManagerGroupsTest, RecolouringUnderATagSortMovesTheGroup)
{
    addGroup(QStringLiteral("A"), {}, QStringLiteral("0A0A0A"));
    addGroup(QStringLiteral("B"), {}, QStringLiteral("47CE64"));
    addGroup(QStringLiteral("C"), {}, QStringLiteral("FF0000"));
    sortSettings = {.groupSortKey = SortSettings::GroupKey::color, .groupSortAscending = true};
    auto manager = makeManager();
    manager->groups.changeColor(0, QColor(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(storedGroupTitles(), (QStringList{"B", "C", "A"}));
    EXPECT_EQ(favorites.groups().last().color(), QStringLiteral("FFFFFF"));
    EXPECT_EQ(manager->groups.selectedGroupTitle(), QStringLiteral("A"));
}

} // namespace
