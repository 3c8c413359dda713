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
    addGroup("Zeta");
    addGroup("Alpha");
    sortSettings = {.groupSortKey = SortSettings::GroupKey::title, .groupSortAscending = true};
    links.popoverListLoaded = true;
    QSignalSpy popupReloads(&links, &ViewLinks::quickListReloadRequested);
    auto manager = makeManager();
    EXPECT_EQ(manager->groups.addGroup(), 2);
    EXPECT_EQ(storedGroupTitles(), (QStringList{"Zeta", "Alpha", "Group"}));
    EXPECT_EQ(manager->groups.selectedGroupTitle(), "Group");
    EXPECT_GT(popupReloads.count(), 0);
}

TEST_F(ManagerGroupsTest, RenameFollowsEveryRule)
{
    using Rename = ManagerGroups::Rename;
    addGroup("Work", {item("report", 1)});
    addGroup("Home", {item("plant", 2)});
    auto manager = makeManager();

    EXPECT_EQ(manager->groups.rename(0, "Work"), Rename::unchanged);
    EXPECT_EQ(manager->groups.rename(0, "   "), Rename::restored);
    EXPECT_EQ(manager->groups.rename(0, "Home"), Rename::duplicate);
    EXPECT_EQ(manager->groups.rename(5, "X"), Rename::ignored);
    EXPECT_EQ(storedGroupTitles(), (QStringList{"Work", "Home"}));

    // Spaces at the ends make a distinct name; the items move with it.
    EXPECT_EQ(manager->groups.rename(0, " Work "), Rename::renamed);
    EXPECT_EQ(storedItemTitles(" Work "), QStringList{"report"});
    EXPECT_FALSE(favorites.hasItemList("Work"));

    // Under a name sort the renamed group moves, and the selection with it.
    sortSettings = {.groupSortKey = SortSettings::GroupKey::title, .groupSortAscending = true};
    EXPECT_EQ(manager->groups.rename(0, "Office"), Rename::renamed);
    EXPECT_EQ(storedGroupTitles(), (QStringList{"Home", "Office"}));
    EXPECT_EQ(manager->groups.selectedGroupTitle(), "Office");

    // A group without a name and left without one goes away.
    storeGroup(Group(QString()), {}, false);
    manager->groups.loadGroups();
    EXPECT_EQ(manager->groups.rename(2, QString()), Rename::removed);
    EXPECT_EQ(storedGroupTitles(), (QStringList{"Home", "Office"}));
}

// Only a group's own support files go with it: never the user's files it names.
TEST_F(ManagerGroupsTest, GroupsSharingATitleKeepTheirItemsUntilTheLastGoesAndARenamedOneTakesACopy)
{
    const QString noteBody = supportFile("21.txt", "body");
    const QString icon = supportFile("22.png", "icon");
    const QString userNote = userFile("elsewhere.txt");
    const QString userDocument = userFile("report.odt");
    const QString work = "Work";
    addGroup(work, {note("memo", 1, noteBody), bookmark("site", 2, "x.org", icon), note("outside", 4, userNote),
                    fileItem("report", 5, userDocument)});
    addGroup("Home", {item("plant", 3)});
    addGroup(work);
    addGroup(work);
    auto manager = makeManager();
    const QStringList titles = storedItemTitles(work);

    // A renamed one takes its own copy: new identities, its own files.
    EXPECT_EQ(manager->groups.rename(2, "Office"), ManagerGroups::Rename::renamed);
    EXPECT_EQ(storedItemTitles(work), titles);
    const auto copied = [this](const char *title, QString (Item::*path)() const, const QByteArray &contents) {
        Item copy;
        for (const Item &item : favorites.items("Office"))
            copy = item.title() == QLatin1String(title) ? item : copy;
        QFile file((copy.*path)());
        EXPECT_TRUE(supportFiles.contains(file.fileName()) && file.open(QIODevice::ReadOnly)
                    && file.readAll() == contents)
            << title;
        EXPECT_GT(copy.uid().value_or(0), 5) << title;
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
    EXPECT_TRUE(QFile::exists(userNote) && QFile::exists(userDocument));
    EXPECT_EQ(storedItemTitles("Office"), titles);
    EXPECT_TRUE(QFile::exists(noteCopy) && QFile::exists(iconCopy));
}

} // namespace
