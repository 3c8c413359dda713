#include "ItemsFixture.h"

#include "items/ItemAdder.h"
#include "store/LocalizedText.h"

#include <QFile>

namespace {

class ItemAdderTest : public ItemsFixture
{
protected:
    ItemAdderTest() { Localization::setTable(loadLanguageTable(QStringLiteral("English"))); }
    ~ItemAdderTest() override { Localization::setTable(std::nullopt); }

    QByteArray contentOf(const QString &path) const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }
    QStringList storedTitles(const QString &group) const
    {
        QStringList titles;
        for (const QVariantMap &item : favorites.items(group))
            titles.append(Records::title(item));
        return titles;
    }

    ItemAdder adder{services};
};

void expectFreshIdentity(const QVariantMap &item)
{
    EXPECT_EQ(item.value(QStringLiteral("uid")).typeId(), QMetaType::LongLong);
    const QDateTime date = item.value(QStringLiteral("date")).toDateTime();
    EXPECT_EQ(item.value(QStringLiteral("date")).typeId(), QMetaType::QDateTime);
    EXPECT_LE(qAbs(date.secsTo(QDateTime::currentDateTimeUtc())), 5);
}

TEST_F(ItemAdderTest, EachKindIsStoredWithExactlyItsKeysAndValues)
{
    const QVariantMap file = adder.addFile(QStringLiteral("Work"), QStringLiteral("/srv/share/Report 2024.pdf"));
    EXPECT_EQ(keysOf(file), QStringList({"date", "isnormalFile", "title", "uid", "url"}));
    EXPECT_EQ(file.value("title"), QStringLiteral("Report 2024.pdf"));
    EXPECT_EQ(file.value("url"), QStringLiteral("/srv/share/Report 2024.pdf"));
    EXPECT_EQ(file.value("isnormalFile"), QVariant(true));
    expectFreshIdentity(file);

    // A title of one space is a title; the address is kept exactly as typed.
    const ItemResult bookmark = adder.addBookmark(QStringLiteral("Work"), QStringLiteral(" "),
                                                  QStringLiteral(" HTTPS://Example.org/a b "));
    ASSERT_TRUE(bookmark.ok());
    EXPECT_EQ(keysOf(*bookmark.item), QStringList({"Weburl", "date", "imgpath", "isbookmark", "title", "uid"}));
    EXPECT_EQ(bookmark.item->value("title"), QStringLiteral(" "));
    EXPECT_EQ(bookmark.item->value("Weburl"), QStringLiteral(" HTTPS://Example.org/a b "));
    const QString icon = bookmark.item->value("imgpath").toString();
    EXPECT_TRUE(icon.startsWith(folder.path() + "/") && icon.endsWith(".png")) << icon.toStdString();
    EXPECT_EQ(bookmark.item->value("isbookmark"), QVariant(true));
    expectFreshIdentity(*bookmark.item);

    const ItemResult note = adder.addNote(QStringLiteral("Work"), QStringLiteral("Plan"), QStringLiteral("   "));
    ASSERT_TRUE(note.ok());
    EXPECT_EQ(keysOf(*note.item), QStringList({"date", "istext", "title", "uid", "url"}));
    EXPECT_EQ(note.item->value("title"), QStringLiteral("Plan"));
    EXPECT_EQ(contentOf(note.item->value("url").toString()), QByteArray("   "));
    EXPECT_EQ(note.item->value("istext"), QVariant(true));
    expectFreshIdentity(*note.item);

    const ItemResult color = adder.addColor(QStringLiteral("Work"), QStringLiteral("Red"), QColor::fromRgbF(0.999f, 0, 0));
    ASSERT_TRUE(color.ok());
    EXPECT_EQ(keysOf(*color.item), QStringList({"color", "date", "iscolor", "title", "uid"}));
    EXPECT_EQ(color.item->value("color"), QStringLiteral("FE0000")); // truncated, not rounded
    EXPECT_EQ(color.item->value("iscolor"), QVariant(true));
    expectFreshIdentity(*color.item);

    EXPECT_EQ(favorites.items(QStringLiteral("Work")).size(), 4);
    EXPECT_TRUE(favorites.items(QStringLiteral("Home")).isEmpty());
}

TEST_F(ItemAdderTest, UidsAdvanceOncePerItemAndRefusalsStoreNothing)
{
    preferences.setInteger(41, StoreKeys::uniqueid);
    const qint64 first = Records::uid(adder.addFile("Home", "/tmp/a")).value_or(0);
    const qint64 second = Records::uid(*adder.addBookmark("Home", "Site", "example.com").item).value_or(0);
    const qint64 third = Records::uid(*adder.addNote("Home", "Note", "text").item).value_or(0);
    const qint64 fourth = Records::uid(*adder.addColor("Home", "Blue", Qt::blue).item).value_or(0);
    EXPECT_EQ(QList<qint64>({first, second, third, fourth}), QList<qint64>({42, 43, 44, 45}));

    struct Case { ItemResult result; const char *key; };
    const QList<Case> refusals = {
        {adder.addBookmark("Home", "", "example.com"), "IDS_BR_102"},
        {adder.addBookmark("Home", "Site", ""), "IDS_BR_103"},
        {adder.addNote("Home", "", "text"), "IDS_BR_102"},
        {adder.addNote("Home", "Note", ""), "IDS_BR_104"},
        {adder.addColor("Home", "", Qt::red), "IDS_BR_102"},
    };
    for (const Case &refusal : refusals) {
        EXPECT_FALSE(refusal.result.ok());
        EXPECT_EQ(refusal.result.errorKey, QLatin1String(refusal.key));
        EXPECT_EQ(refusal.result.message(), LocalizedText(refusal.key));
    }
    EXPECT_EQ(preferences.integerForKey(StoreKeys::uniqueid), 45);
    EXPECT_EQ(favorites.items("Home").size(), 4);
    EXPECT_EQ(filesInSupportFolder().size(), 1); // the one note
}

TEST_F(ItemAdderTest, NoteFilesHoldExactlyTheTypedTextEachInItsOwnFile)
{
    const QString text = QStringLiteral("First line\nDeuxième ligne 😀\r\n\n  trailing  ");
    const ItemResult one = adder.addNote("Work", "Same", text);
    const ItemResult two = adder.addNote("Work", "Same", text);
    ASSERT_TRUE(one.ok() && two.ok());
    const QString onePath = one.item->value("url").toString();
    EXPECT_NE(onePath, two.item->value("url").toString());
    EXPECT_EQ(contentOf(onePath), text.toUtf8()); // no byte-order mark, no added line break
    EXPECT_EQ(contentOf(two.item->value("url").toString()), text.toUtf8());
    EXPECT_EQ(filesInSupportFolder().size(), 2);
    EXPECT_EQ(favorites.items("Work").size(), 2);
}

TEST_F(ItemAdderTest, ANoteIsRefusedWhenTheSupportFolderCannotBeWritten)
{
    QFile blocker(folder.filePath("not-a-folder"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString unwritable = folder.filePath("not-a-folder/brimble");
    SupportFiles blocked(unwritable, favorites);
    ItemAdder blockedAdder({favorites, blocked, bookmarks, sortSettings, links, fetcher});

    const ItemResult result = blockedAdder.addNote("Work", "Lost?", "Important text");
    EXPECT_FALSE(result.ok());
    EXPECT_EQ(result.errorKey, QStringLiteral("IDS_BR_38"));
    EXPECT_TRUE(result.message().contains(unwritable)) << result.message().toStdString();
    EXPECT_FALSE(favorites.hasItemList("Work"));
    EXPECT_FALSE(preferences.hasObjectForKey(StoreKeys::uniqueid));
}

TEST_F(ItemAdderTest, APopupFileStaysLastWhileTheOtherKindsResortEveryGroup)
{
    sortSettings.itemSortKey = SortSettings::ItemKey::title;
    sortSettings.itemSortAscending = true;
    favorites.setItems("Work", {favorites.withNewIdentity({{"title", "b"}}), favorites.withNewIdentity({{"title", "c"}})});
    favorites.setItems("Home", {favorites.withNewIdentity({{"title", "z"}}), favorites.withNewIdentity({{"title", "y"}})});

    adder.addFile("Work", "/tmp/a");
    EXPECT_EQ(storedTitles("Work"), QStringList({"b", "c", "a"}));
    EXPECT_EQ(storedTitles("Home"), QStringList({"z", "y"}));

    adder.addColor("Work", "B0", Qt::green);
    EXPECT_EQ(storedTitles("Work"), QStringList({"B0", "a", "b", "c"}));
    EXPECT_EQ(storedTitles("Home"), QStringList({"y", "z"}));
}

TEST_F(ItemAdderTest, AddsRecordTheFileAndAskTheOpenManagerToReload)
{
    links.managerLoaded = true;
    QSignalSpy managerReloads(&links, &ViewLinks::managerGroupsReloadRequested);
    adder.addFile("Work", "/home/someone/Music");
    adder.addFile("Home", "/home/someone/Music");
    EXPECT_EQ(bookmarks.entries(), QList<QByteArray>({"/home/someone/Music"}));
    adder.addNote("Work", "n", "t");
    adder.addNote("Work", "", "t");
    EXPECT_EQ(managerReloads.size(), 3);
}

} // namespace
