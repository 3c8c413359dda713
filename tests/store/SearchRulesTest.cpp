#include "store/SearchRules.h"
#include "store/StoreKeys.h"
#include "store/StoredRecords.h"

#include <gtest/gtest.h>

TEST(SearchRules, ThePopupAndTheManagerFindTitlesAddressesAndFilePathsInAnyCase)
{
    const Item file = Item::file(u"/home/me/Documents/Taxes/report.pdf"_qs);
    const Item bookmark = Item::bookmark(u"News"_qs, u"https://example.org/TAXES"_qs, u"/support/taxes.png"_qs);
    const Item note = Item::note(u"Shopping"_qs, u"/support/1.txt"_qs);
    const Item color = Item::color(u"Brand"_qs, u"47CE64"_qs);
    const Item french = Item::color(u"Été à Paris"_qs, u"000000"_qs);
    // An address or a path kept by an item of another kind is not searched.
    const Item unflagged = StoredRecords::item({{RecordKeys::title, u"x"_qs}, {RecordKeys::Weburl, u"taxes.org"_qs}});
    const Item deseret = Item::color(u"\U00010400"_qs, u"000000"_qs);
    const Item istanbul = Item::color(u"\u0130stanbul"_qs, u"000000"_qs);

    struct Case
    {
        const char *text;
        QList<Item> found;
        // Where the manager's whole-text lower case finds otherwise.
        std::optional<QList<Item>> foundByManager = std::nullopt;
    };
    const QList<Item> items{file, bookmark, note, color, french, unflagged, deseret, istanbul};
    for (const Case &c : {Case{"TAX", {file, bookmark}}, Case{"documents", {file}}, Case{"support", {}},
                          Case{"47ce", {}}, Case{"EXAMPLE", {bookmark}}, Case{"", {}}, Case{"ÉTÉ À", {french}},
                          Case{"brand", {color}},
                          // Outside the basic plane, and where a lower case is longer.
                          Case{"\U00010428", {}, QList<Item>{deseret}}, Case{"i\u0307", {}, QList<Item>{istanbul}}}) {
        const PopupSearch popup(QString::fromUtf8(c.text));
        const ManagerSearch manager(QString::fromUtf8(c.text));
        QList<Item> byPopup, byManager;
        for (const Item &item : items) {
            if (popup.matches(item))
                byPopup.append(item);
            if (manager.matches(item))
                byManager.append(item);
        }
        EXPECT_EQ(byPopup, c.found) << c.text;
        EXPECT_EQ(byManager, c.foundByManager.value_or(c.found)) << c.text;
    }
}
