#include "store/SearchRules.h"
#include "store/StoreKeys.h"
#include "store/StoredRecords.h"

#include <gtest/gtest.h>

// How case, accents and ligatures fold is SearchFolding's; here, what each
// search looks at, with the text and the query both folded.
TEST(SearchRules, ThePopupAndTheManagerFindTitlesAddressesAndFilePathsWithoutCaseOrAccents)
{
    const Item file = Item::file(u"/home/me/Documents/Taxes/report.pdf"_qs);
    const Item bookmark = Item::bookmark(u"News"_qs, u"https://example.org/TAXES"_qs, u"/support/taxes.png"_qs);
    const Item note = Item::note(u"Shopping"_qs, u"/support/1.txt"_qs);
    const Item color = Item::color(u"Brand"_qs, u"47CE64"_qs);
    const Item french = Item::color(u"Été à Paris"_qs, u"000000"_qs);
    // An address or a path kept by an item of another kind is not searched.
    const Item unflagged = StoredRecords::item({{RecordKeys::title, u"x"_qs}, {RecordKeys::Weburl, u"taxes.org"_qs}});
    // Decomposed: "e" and a combining acute accent.
    const Item decomposed = Item::file(u"/home/me/Cine\u0301ma"_qs);

    struct Case
    {
        const char *text;
        QList<Item> found;
    };
    const QList<Item> items{file, bookmark, note, color, french, unflagged, decomposed};
    for (const Case &c :
         {Case{"TAX", {file, bookmark}}, Case{"documents", {file}}, Case{"support", {}}, Case{"47ce", {}},
          Case{"EXAMPLE", {bookmark}}, Case{"", {}}, Case{"ÉTÉ À", {french}}, Case{"ete a", {french}},
          Case{"brand", {color}}, Case{"cinéma", {decomposed}}, Case{"CINEMA", {decomposed}}}) {
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
        EXPECT_EQ(byManager, c.found) << c.text;
    }
}
