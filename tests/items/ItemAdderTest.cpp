#include "ItemsFixture.h"

namespace {

using ItemAdderTest = ItemsFixture;

// The stored record without its uid and date, which are checked to be fresh.
QVariantMap withoutIdentity(QVariantMap item)
{
    EXPECT_EQ(item.take(QStringLiteral("uid")).typeId(), QMetaType::LongLong);
    const QVariant date = item.take(QStringLiteral("date"));
    EXPECT_EQ(date.typeId(), QMetaType::QDateTime);
    EXPECT_LE(qAbs(date.toDateTime().secsTo(QDateTime::currentDateTimeUtc())), 5);
    return item;
}

TEST_F(ItemAdderTest, EachKindIsStoredWithExactlyItsKeysAndValues)
{
    const Item file = adder.addFile(QStringLiteral("Work"), QStringLiteral("/srv/share/Report 2024.pdf"));
    const auto stored = [this](const ItemResult &result) {
        return storedRecord("Work", result.item->uid().value_or(-1));
    };
    EXPECT_EQ(
        withoutIdentity(storedRecord("Work", file.uid().value_or(-1))),
        (QVariantMap{{"title", "Report 2024.pdf"}, {"url", "/srv/share/Report 2024.pdf"}, {"isnormalFile", true}}));

    // A title of one space is a title; the address is kept exactly as typed.
    const ItemResult bookmark = adder.addBookmark("Work", " ", " HTTPS://Example.org/a b ");
    ASSERT_TRUE(bookmark.ok());
    QVariantMap rest = withoutIdentity(stored(bookmark));
    const QString icon = rest.take("imgpath").toString();
    EXPECT_TRUE(icon.startsWith(supportFiles.folder() + "/") && icon.endsWith(".png")) << icon.toStdString();
    EXPECT_EQ(rest, (QVariantMap{{"title", " "}, {"Weburl", " HTTPS://Example.org/a b "}, {"isbookmark", true}}));

    // A note's file holds exactly the text: no byte-order mark, line breaks as
    // typed. A like note gets a file of its own.
    const QString text = QStringLiteral("  Deuxième ligne 😀\r\n\n  ");
    const ItemResult note = adder.addNote("Work", "Plan", text);
    ASSERT_TRUE(note.ok());
    rest = withoutIdentity(stored(note));
    EXPECT_EQ(contentOf(rest.take("url").toString()), text.toUtf8());
    EXPECT_EQ(rest, (QVariantMap{{"title", "Plan"}, {"istext", true}}));
    EXPECT_NE(adder.addNote("Work", "Plan", text).item->target(), note.item->target());

    const ItemResult color = adder.addColor("Work", "Red", QColor::fromRgbF(0.999f, 0, 0));
    ASSERT_TRUE(color.ok());
    // The code is truncated, not rounded.
    EXPECT_EQ(withoutIdentity(stored(color)), (QVariantMap{{"title", "Red"}, {"color", "FE0000"}, {"iscolor", true}}));

    EXPECT_EQ(favorites.items(QStringLiteral("Work")).size(), 5);
    EXPECT_TRUE(favorites.items(QStringLiteral("Home")).isEmpty());
}

TEST_F(ItemAdderTest, UidsAdvanceOncePerItemAndRefusalsStoreNothing)
{
    preferences.setInteger(41, StoreKeys::uniqueid);
    links.managerLoaded = true;
    QSignalSpy managerReloads(&links, &ViewLinks::managerGroupsReloadRequested);
    const qint64 first = adder.addFile("Home", "/tmp/a").uid().value_or(0);
    const qint64 second = (*adder.addBookmark("Home", "Site", "example.com").item).uid().value_or(0);
    const qint64 third = (*adder.addNote("Home", "Note", "text").item).uid().value_or(0);
    const qint64 fourth = (*adder.addColor("Home", "Blue", Qt::blue).item).uid().value_or(0);
    EXPECT_EQ(QList<qint64>({first, second, third, fourth}), QList<qint64>({42, 43, 44, 45}));
    adder.addFile("Work", "/tmp/a");
    EXPECT_EQ(bookmarks.entries(), QList<QByteArray>({"/tmp/a"})) << "each file recorded once";

    EXPECT_EQ(adder.addBookmark("Home", "", "example.com").errorKey, TextKey("IDS_BR_102"));
    EXPECT_EQ(adder.addBookmark("Home", "Site", "").errorKey, TextKey("IDS_BR_103"));
    EXPECT_EQ(adder.addNote("Home", "", "text").errorKey, TextKey("IDS_BR_102"));
    EXPECT_EQ(adder.addNote("Home", "Note", "").errorKey, TextKey("IDS_BR_104"));
    EXPECT_EQ(adder.addColor("Home", "", Qt::red).errorKey, TextKey("IDS_BR_102"));
    EXPECT_EQ(preferences.integerForKey(StoreKeys::uniqueid), 46);
    EXPECT_EQ(favorites.items("Home").size(), 4);
    EXPECT_EQ(filesInSupportFolder().size(), 1); // the one note
    EXPECT_EQ(managerReloads.size(), 5) << "the open manager reloads after each add";
}

TEST_F(ItemAdderTest, ANoteIsRefusedWhenTheSupportFolderCannotBeWritten)
{
    ASSERT_TRUE(QFile(folder.filePath("not-a-folder")).open(QIODevice::WriteOnly));
    const QString unwritable = folder.filePath("not-a-folder/brimble");
    SupportFiles blocked(unwritable, favorites);
    ItemAdder blockedAdder({favorites, blocked, bookmarks, sortSettings, links, fetcher});

    const ItemResult result = blockedAdder.addNote("Work", "Lost?", "Important text");
    EXPECT_EQ(result.errorKey, TextKey("IDS_BR_38"));
    EXPECT_TRUE(result.message().contains(unwritable)) << result.message().toStdString();
    EXPECT_FALSE(favorites.hasItemList("Work"));
    EXPECT_FALSE(preferences.hasObjectForKey(StoreKeys::uniqueid));
}

TEST_F(ItemAdderTest, APopupFileStaysLastWhileTheOtherKindsResortEveryGroup)
{
    sortSettings = {.itemSortKey = SortSettings::ItemKey::title, .itemSortAscending = true};
    favorites.setItems("Work", {item("b", 1), item("c", 2)});
    favorites.setItems("Home", {item("z", 3), item("y", 4)});

    adder.addFile("Work", "/tmp/a");
    EXPECT_EQ(storedTitles("Work"), QStringList({"b", "c", "a"}));
    EXPECT_EQ(storedTitles("Home"), QStringList({"z", "y"}));

    adder.addColor("Work", "B0", Qt::green);
    EXPECT_EQ(storedTitles("Work"), QStringList({"B0", "a", "b", "c"}));
    EXPECT_EQ(storedTitles("Home"), QStringList({"y", "z"}));
}

} // namespace
