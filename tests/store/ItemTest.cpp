#include "store/Item.h"
#include "store/Group.h"
#include "store/StoreKeys.h"
#include "store/StoredRecords.h"

#include <gtest/gtest.h>

namespace {

// A record written by another tool: keys Brimble does not know, and some
// of its own keys holding values of another type.
QVariantMap foreignItemRecord()
{
    return {
        {RecordKeys::title, qint64(5)},
        {RecordKeys::uid, u"seven"_qs},
        {RecordKeys::date, u"yesterday"_qs},
        {RecordKeys::url, u"/home/u/plan.txt"_qs},
        {RecordKeys::isnormalFile, true},
        {u"syncTool.revision"_qs, QVariantMap{{u"n"_qs, 3}, {u"by"_qs, u"laptop"_qs}}},
        {u"tags"_qs, QVariantList{u"a"_qs, 1}},
    };
}

} // namespace

TEST(Item, KeepsEveryKeyItDoesNotSetAndReadsOtherTypesAsAbsent)
{
    const QVariantMap stored = foreignItemRecord();
    Item item = StoredRecords::item(stored);
    EXPECT_EQ(item.title(), QString());
    EXPECT_FALSE(item.uid() || item.date());
    EXPECT_EQ(item.kind(), ItemKind::normalFile);
    EXPECT_EQ(item.target(), u"/home/u/plan.txt"_qs);

    // Pinning and unpinning, or changing nothing, writes back what was read.
    item.setPinned(true);
    item.setPinned(false);
    EXPECT_EQ(StoredRecords::record(item), stored);

    // A setter changes its own key only, over a value of another type too.
    item.setTitle(u"Plan"_qs);
    item.setUid(12);
    item.setTarget(u"/home/u/plan2.txt"_qs);
    QVariantMap expected = stored;
    expected.insert(RecordKeys::title, u"Plan"_qs);
    expected.insert(RecordKeys::uid, qint64(12));
    expected.insert(RecordKeys::url, u"/home/u/plan2.txt"_qs);
    EXPECT_EQ(StoredRecords::record(item), expected);

    // Elements of a stored array that are not records are no items.
    const QList<Item> items = StoredRecords::items({stored, u"note"_qs, QVariantList(), QVariantMap()});
    ASSERT_EQ(items.size(), 2);
    EXPECT_EQ(StoredRecords::array(items), (QVariantList{stored, QVariantMap()}));
}

TEST(Item, KindFlagTellsWhereTheTargetIsKept)
{
    struct Case
    {
        QLatin1String flag;
        QLatin1String targetKey;
        ItemKind kind;
    };
    for (const Case &c : {Case{RecordKeys::isnormalFile, RecordKeys::url, ItemKind::normalFile},
                          Case{RecordKeys::isbookmark, RecordKeys::Weburl, ItemKind::bookmark},
                          Case{RecordKeys::istext, RecordKeys::url, ItemKind::text},
                          Case{RecordKeys::iscolor, RecordKeys::color, ItemKind::color}}) {
        Item item = StoredRecords::item({{c.flag, true}, {c.targetKey, u"kept"_qs}});
        EXPECT_EQ(item.kind(), c.kind) << c.flag.data();
        EXPECT_EQ(item.target(), u"kept"_qs) << c.flag.data();
        item.setTarget(u"new"_qs);
        EXPECT_EQ(StoredRecords::record(item).value(c.targetKey), u"new"_qs) << c.flag.data();
        // A flag that is not true is no flag.
        EXPECT_EQ(StoredRecords::item({{c.flag, false}, {c.targetKey, u"x"_qs}}).kind(), ItemKind::unknown);
        EXPECT_EQ(StoredRecords::item({{c.flag, 1}, {c.targetKey, u"x"_qs}}).kind(), ItemKind::unknown);
    }
    // An item of no kind keeps nothing and takes nothing.
    Item unknown = StoredRecords::item({{RecordKeys::url, u"/etc"_qs}});
    EXPECT_EQ(unknown.target(), QString());
    unknown.setTarget(u"/tmp"_qs);
    EXPECT_EQ(StoredRecords::record(unknown), (QVariantMap{{RecordKeys::url, u"/etc"_qs}}));
    EXPECT_FALSE(unknown.link());

    // New items hold exactly their kind's keys; a file is named by its path.
    EXPECT_EQ(StoredRecords::record(Item::file(u"/home/u//docs/"_qs)),
              (QVariantMap{{RecordKeys::title, u"docs"_qs},
                           {RecordKeys::url, u"/home/u/docs"_qs},
                           {RecordKeys::isnormalFile, true}}));
    EXPECT_EQ(Item::file(u"/"_qs).title(), u"/"_qs);
    EXPECT_EQ(StoredRecords::record(Item::bookmark(u"B"_qs, u"b.org"_qs, u"/s/1.png"_qs)),
              (QVariantMap{{RecordKeys::title, u"B"_qs},
                           {RecordKeys::Weburl, u"b.org"_qs},
                           {RecordKeys::imgpath, u"/s/1.png"_qs},
                           {RecordKeys::isbookmark, true}}));
}

TEST(Item, ThePinIsTheMarksPresenceAndUnpinningRemovesIt)
{
    Item item = Item::color(u"Red"_qs, u"FF0000"_qs);
    EXPECT_FALSE(item.isPinned());
    item.setPinned(true);
    EXPECT_EQ(StoredRecords::record(item).value(RecordKeys::isPin), true);
    item.setPinned(false);
    EXPECT_FALSE(StoredRecords::record(item).contains(RecordKeys::isPin));
    // Another tool's mark of any value pins.
    EXPECT_TRUE(StoredRecords::item({{RecordKeys::isPin, false}}).isPinned());
}

TEST(Item, FilesAndNotesOpenTheirFileAndBookmarksAWebAddress)
{
    EXPECT_EQ(Item::file(u"/home/u/a b.txt"_qs).link(), QUrl::fromLocalFile(u"/home/u/a b.txt"_qs));
    EXPECT_EQ(Item::note(u"N"_qs, u"/s/1.txt"_qs).link(), QUrl::fromLocalFile(u"/s/1.txt"_qs));
    EXPECT_FALSE(Item::note(u"N"_qs, QString()).link());
    EXPECT_FALSE(Item::color(u"C"_qs, u"FF0000"_qs).link());
    // A colour copies its code instead.
    EXPECT_EQ(Item::color(u"C"_qs, u"FF0000"_qs).copiedColorCode(), u"#FF0000"_qs);
    EXPECT_EQ(Item::color(u"C"_qs, QString()).copiedColorCode(), QString());
    EXPECT_EQ(Item::note(u"N"_qs, u"/s/1.txt"_qs).copiedColorCode(), QString());
    EXPECT_EQ(Item::bookmark(u"B"_qs, u"example.org"_qs, {}).link(), QUrl(u"http://example.org"_qs));
    EXPECT_FALSE(Item::bookmark(u"B"_qs, u"   "_qs, {}).link());

    // nullptr: some web address; empty: nothing opens.
    for (const auto &[typed, opened] : {std::pair<const char *, const char *>{"example.org", "http://example.org"},
                                        {"HTTPS://Example.org/a", "https://example.org/a"},
                                        {"Http://example.org", "http://example.org"},
                                        {"x.org/?u=http://y", "http://x.org/?u=http://y"},
                                        {"file:///etc/passwd", nullptr},
                                        {"javascript:alert(1)", ""},
                                        {"", ""}}) {
        const QUrl url = Item::bookmarkUrl(QString::fromUtf8(typed));
        if (opened) {
            EXPECT_EQ(url.isValid() ? url.toString() : QString(), QString::fromUtf8(opened)) << typed;
        }
        EXPECT_TRUE(!url.isValid() || url.scheme() == "http" || url.scheme() == "https") << typed;
    }
}

TEST(Group, ANewGroupIsAnExpandedHeadingInTheDefaultColourAndKeepsForeignKeys)
{
    EXPECT_EQ(StoredRecords::record(Group(u" Work "_qs)), (QVariantMap{{RecordKeys::title, u" Work "_qs},
                                                                       {RecordKeys::isHeader, true},
                                                                       {RecordKeys::isExpanded, true},
                                                                       {RecordKeys::color, u"47CE64"_qs}}));

    const QVariantMap stored{{RecordKeys::title, u"Home"_qs},
                             {RecordKeys::isExpanded, u"yes"_qs},
                             {RecordKeys::color, 0xFF},
                             {u"icon"_qs, u"house"_qs}};
    Group group = StoredRecords::group(stored);
    EXPECT_FALSE(group.isExpanded());
    EXPECT_EQ(group.color(), QString());
    group.setTitle(u"House"_qs);
    group.setExpanded(true);
    QVariantMap expected = stored;
    expected.insert(RecordKeys::title, u"House"_qs);
    expected.insert(RecordKeys::isExpanded, true);
    EXPECT_EQ(StoredRecords::record(group), expected);
    EXPECT_EQ(StoredRecords::groups({stored, 3, u"x"_qs}).size(), 1);
}

TEST(Group, TheTagIsDrawnInTheDefaultColourWhenAbsentAndBlackWhenNotAColour)
{
    const struct
    {
        QVariantMap record;
        QColor drawn;
    } cases[] = {
        {{{RecordKeys::title, u"A"_qs}}, QColor(0x47, 0xCE, 0x64)},
        {{{RecordKeys::title, u"A"_qs}, {RecordKeys::color, u""_qs}}, QColor(0x47, 0xCE, 0x64)},
        {{{RecordKeys::title, u"A"_qs}, {RecordKeys::color, qint64(3)}}, QColor(0x47, 0xCE, 0x64)},
        {{{RecordKeys::title, u"A"_qs}, {RecordKeys::color, u"zz"_qs}}, QColor(Qt::black)},
        {{{RecordKeys::title, u"A"_qs}, {RecordKeys::color, u"#FF0080"_qs}}, QColor(0xFF, 0x00, 0x80)},
    };
    for (const auto &[record, drawn] : cases)
        EXPECT_EQ(StoredRecords::group(record).tagColor(), drawn)
            << record.value(RecordKeys::color).toString().toStdString();
}
