#include "store/SearchFolding.h"

#include <QStringList>

#include <gtest/gtest.h>

// folded() looks most units up in a table; it must give what the fold of
// the whole text from Qt's Unicode data gives, for each unit alone and
// beside letters, marks and units outside the basic plane that it folds
// in other ways.
TEST(SearchFolding, TheTableFoldsEveryUnitAsTheUnicodeDataDo)
{
    const QStringList surroundings{u"%1"_qs, u"É%1\u0301"_qs, u"%1\u0327\u0301x"_qs, u"\U00010400%1œ"_qs,
                                   u"\u0301%1\u0130"_qs};
    for (char32_t unit = 0; unit <= 0xFFFF; ++unit) {
        if (QChar::isSurrogate(unit))
            continue;
        for (const QString &surrounding : surroundings) {
            const QString text = surrounding.arg(QChar(char16_t(unit)));
            ASSERT_EQ(SearchFolding::folded(text), SearchFolding::foldedByUnicode(text))
                << "U+" << QString::number(unit, 16).toStdString() << " in " << surrounding.toStdString();
        }
    }
}

TEST(SearchFolding, CaseAccentsLigaturesAndSpacesAreSetAside)
{
    struct Case
    {
        QString text;
        QString folded;
    };
    for (const Case &c :
         {Case{u"Straße"_qs, u"strasse"_qs}, Case{u"STRAẞE"_qs, u"strasse"_qs}, Case{u"İstanbul"_qs, u"istanbul"_qs},
          Case{u"ŒUVRE Æther"_qs, u"oeuvre aether"_qs}, Case{u"Cine\u0301ma"_qs, u"cinema"_qs},
          Case{u"l’École"_qs, u"l'ecole"_qs}, Case{u"Ǆemal ǅ"_qs, u"ǆemal ǆ"_qs},
          Case{u"«\u00A0Été\u202F»"_qs, u"« ete »"_qs}, Case{u"\u1E9E\u0301"_qs, u"ss"_qs},
          Case{u"\U00010400x"_qs, u"\U00010428x"_qs}, Case{u"ﬁn"_qs, u"ﬁn"_qs}, Case{u"A\tB"_qs, u"a b"_qs}}) {
        EXPECT_EQ(SearchFolding::folded(c.text), c.folded) << c.text.toStdString();
        EXPECT_EQ(SearchFolding::foldedByUnicode(c.text), c.folded) << c.text.toStdString();
    }
}
