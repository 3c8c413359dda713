#include "store/Item.h"
#include "store/Group.h"
#include "store/StoreKeys.h"
#include "store/StoredRecords.h"

#include <gtest/gtest.h>

TEST(Item, KeepsEveryKeyItDoesNotSetAndReadsOtherTypesAsAbsent)
{
    // A record written by another tool: keys Brimble does not know, and some
    // of its own keys holding values of another type.
    const QVariantMap stored{{RecordKeys::title, qint64(5)},
                             {RecordKeys::uid, u"seven"_qs},
                             {RecordKeys::date, u"yesterday"_qs},
                             {RecordKeys::url, u"/home/u/plan.txt"_qs},
                             {RecordKeys::isnormalFile, true},
                             {u"syncTool.revision"_qs, QVariantMap{{u"n"_qs, 3}, {u"by"_qs, u"laptop"_qs}}},
                             {u"tags"_qs, QVariantList{u"a"_qs, 1}}};
    Item item = StoredRecords::item(stored);
    EXPECT_EQ(item.title(), QString());
    EXPECT_FALSE(item.uid() || item.date());
    EXPECT_EQ(item.target(), u"/home/u/plan.txt"_qs);

    // The pin is the mark's presence: unpinning removes it and writes back
    // what was read. Another tool's mark of any value pins.
    item.setPinned(true);
    EXPECT_EQ(StoredRecords::record(item).value(RecordKeys::isPin), true);
    item.setPinned(false);
    EXPECT_EQ(StoredRecords::record(item), stored);
    EXPECT_TRUE(StoredRecords::item({{RecordKeys::isPin, false}}).isPinned());

    // A setter changes its own key only, over a value of another type too.
    item.setTitle(u"Plan"_qs);
    item.setUid(12);
    QVariantMap expected = stored;
    expected.insert(RecordKeys::title, u"Plan"_qs);
    expected.insert(RecordKeys::uid, qint64(12));
    EXPECT_EQ(StoredRecords::record(item), expected);
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
    EXPECT_EQ(Item::file(u"/"_qs).title(), u"/"_qs);
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
    EXPECT_EQ(Item::bookmark(u"B"_qs, u"example.org"_qs, {}).link(), QUrl(u"http://example.org"_qs));

    // nullptr: some web address; empty: nothing opens.
    for (const auto &[typed, opened] : {std::pair<const char *, const char *>{"example.org", "http://example.org"},
                                        {"HTTPS://Example.org/a", "https://example.org/a"},
                                        {"Http://example.org", "http://example.org"},
                                        {"x.org/?u=http://y", "http://x.org/?u=http://y"},
                                        {"file:///etc/passwd", nullptr},
                                        {"javascript:alert(1)", ""},
                                        {"   ", ""}}) {
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

    // The tag is drawn in the default colour when none is stored, black when
    // what is stored is no colour.
    const QColor green(0x47, 0xCE, 0x64);
    for (const auto &[color, drawn] : {std::pair{QVariant(), green},
                                       {QVariant(u""_qs), green},
                                       {QVariant(qint64(3)), green},
                                       {QVariant(u"zz"_qs), QColor(Qt::black)},
                                       {QVariant(u"#FF0080"_qs), QColor(0xFF, 0x00, 0x80)}}) {
        QVariantMap record{{RecordKeys::title, u"A"_qs}};
        if (color.isValid())
            record.insert(RecordKeys::color, color);
        EXPECT_EQ(StoredRecords::group(record).tagColor(), drawn) << color.toString().toStdString();
    }
}
