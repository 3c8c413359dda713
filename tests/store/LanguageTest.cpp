#include "platform/FakePreferencesStore.h"
#include "store/LocalizedText.h"
#include "store/StoreKeys.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

TEST(Localization, ChoosesTheLanguageFromTheStoreOrTheSystem)
{
    const struct
    {
        QStringList preferred;
        QVariant stored;
        bool french;
        QVariant storedAfter;
        std::string printed;
    } cases[] = {
        {{u"fr-FR"_qs}, {}, true, qint64(1), "fr\n"},
        {{u"de-DE"_qs, u"fr-FR"_qs}, {}, false, qint64(0), "de\n"},
        {{u"fr_CA"_qs}, {}, true, qint64(1), "fr\n"},
        {{u"en-US"_qs}, qint64(1), true, qint64(1), ""},
        {{u"fr-FR"_qs}, qint64(0), false, qint64(0), ""},
        {{u"en-US"_qs}, qint64(7), true, qint64(7), ""},
        {{}, {}, false, {}, "= is not found\n"},
        // A stored choice of another type keeps English and is left alone.
        {{u"fr-FR"_qs}, u"1"_qs, false, u"1"_qs, ""},
    };
    for (const auto &c : cases) {
        FakePreferencesStore preferences;
        if (c.stored.isValid())
            preferences.setObject(c.stored, StoreKeys::selectedLanguage);
        testing::internal::CaptureStdout();
        Localization::chooseLanguage(preferences, c.preferred);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed) << c.preferred.value(0).toStdString();
        EXPECT_EQ(Localization::isFrench(), c.french) << c.preferred.value(0).toStdString();
        EXPECT_EQ(preferences.objectForKey(StoreKeys::selectedLanguage), c.storedAfter);
        EXPECT_EQ(LocalizedText("IDS_BR_132"),
                  loadLanguageTable(c.french ? u"French"_qs : u"English"_qs)->value(u"IDS_BR_132"_qs).toString());
    }
}

TEST(LocalizedText, MissingTablesKeysAndNonStringsGiveEmptyText)
{
    Localization::setTable(QVariantMap{{u"IDS_BR_1"_qs, u"One"_qs}, {u"IDS_BR_2"_qs, qint64(2)}});
    EXPECT_EQ(LocalizedText("IDS_BR_1"), u"One"_qs);
    EXPECT_EQ(LocalizedText("IDS_BR_2"), QString());
    EXPECT_EQ(LocalizedText("IDS_BR_999"), QString());
    Localization::setTable(std::nullopt);
    EXPECT_EQ(LocalizedText("IDS_BR_1"), QString());
    EXPECT_FALSE(loadLanguageTable(u"German"_qs));
}

TEST(LocalizedText, CountsFollowEachLanguagesPluralRule)
{
    const TextKey bothSidesOne = "IDS_BR_640";
    const TextKey bothSidesMany = "IDS_BR_472";
    for (const auto &[language, french, items, bothSides] :
         {std::tuple{u"English"_qs, false, QStringList{"0 items", "1 item", "2 items"},
                     QStringList{"Some favourites", "A favourite", "Some favourites"}},
          {u"French"_qs, true, QStringList{u"0 élément"_qs, u"1 élément"_qs, u"2 éléments"_qs},
           QStringList{u"Un favori"_qs, u"Un favori"_qs, u"Des favoris"_qs}}}) {
        Localization::setTable(loadLanguageTable(language), french);
        for (int count = 0; count < 3; ++count) {
            EXPECT_EQ(itemCountText(count), items.at(count)) << language.toStdString();
            const QString changed = countText(count, bothSidesOne, bothSidesMany);
            EXPECT_TRUE(changed.startsWith(bothSides.at(count))) << language.toStdString() << count;
            EXPECT_EQ(changed.contains(QString::number(count)), !changed.startsWith(bothSides.at(1)))
                << "the plural form shows the number, the singular one holds no placeholder";
        }
    }
    Localization::setTable(QVariantMap{{u"IDS_BR_118"_qs, u"%@ thing"_qs}, {u"IDS_BR_119"_qs, u"%@ things"_qs}});
    EXPECT_EQ(itemCountText(12), u"12 things"_qs);
    Localization::setTable(std::nullopt);
}

} // namespace
