#include "platform/FakePreferencesStore.h"
#include "store/LocalizedText.h"
#include "store/StoreKeys.h"

#include <gtest/gtest.h>

namespace {

TEST(Localization, ChoosesTheLanguageFromTheStoreOrTheSystem)
{
    const struct
    {
        QStringList preferred;
        QVariant stored;
        bool french;
        QVariant storedAfter;
    } cases[] = {
        {{u"de-DE"_qs, u"fr-FR"_qs}, {}, false, qint64(0)},
        {{u"fr_CA"_qs}, {}, true, qint64(1)},
        {{u"en-US"_qs}, qint64(1), true, qint64(1)},
        {{u"fr-FR"_qs}, qint64(0), false, qint64(0)},
        {{}, {}, false, {}},
        // A stored choice of another type keeps English and is left alone.
        {{u"fr-FR"_qs}, u"1"_qs, false, u"1"_qs},
    };
    for (const auto &c : cases) {
        FakePreferencesStore preferences;
        if (c.stored.isValid())
            preferences.setObject(c.stored, StoreKeys::selectedLanguage);
        Localization::chooseLanguage(preferences, c.preferred);
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

// English counts are checked where the popup shows them; French counts 0 as one.
TEST(LocalizedText, CountsFollowEachLanguagesPluralRule)
{
    Localization::setTable(loadLanguageTable(u"French"_qs), true);
    const QStringList items{u"0 élément"_qs, u"1 élément"_qs, u"2 éléments"_qs};
    const QStringList bothSides{u"Un favori"_qs, u"Un favori"_qs, u"Des favoris"_qs};
    for (int count = 0; count < 3; ++count) {
        EXPECT_EQ(itemCountText(count), items.at(count));
        const QString changed = countText(count, "IDS_BR_640", "IDS_BR_472");
        EXPECT_TRUE(changed.startsWith(bothSides.at(count))) << count;
        EXPECT_EQ(changed.contains(QString::number(count)), count > 1)
            << "the plural form shows the number, the singular one holds no placeholder";
    }
    Localization::setTable(std::nullopt);
}

} // namespace
