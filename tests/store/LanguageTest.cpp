#include "platform/FakePreferencesStore.h"
#include "store/LocalizedText.h"
#include "store/StoreKeys.h"

#include <gtest/gtest.h>

namespace {

struct LanguageCase
{
    QStringList preferred;
    std::optional<qint64> stored;
    bool french;
    std::optional<qint64> storedAfter;
    std::string printed;
};

TEST(Localization, ChoosesTheLanguageFromTheStoreOrTheSystem)
{
    const LanguageCase cases[] = {
        {{QStringLiteral("fr-FR")}, std::nullopt, true, 1, "fr\n"},
        {{QStringLiteral("de-DE"), QStringLiteral("fr-FR")}, std::nullopt, false, 0, "de\n"},
        {{QStringLiteral("fr")}, std::nullopt, true, 1, "fr\n"},
        {{QStringLiteral("fr_CA")}, std::nullopt, true, 1, "fr\n"},
        {{QStringLiteral("en-US")}, 1, true, 1, ""},
        {{QStringLiteral("fr-FR")}, 0, false, 0, ""},
        {{QStringLiteral("en-US")}, 7, true, 7, ""},
        {{}, std::nullopt, false, std::nullopt, "= is not found\n"},
    };
    for (const LanguageCase &c : cases) {
        FakePreferencesStore preferences;
        if (c.stored)
            preferences.setInteger(*c.stored, StoreKeys::selectedLanguage);
        testing::internal::CaptureStdout();
        Localization::chooseLanguage(preferences, c.preferred);
        EXPECT_EQ(testing::internal::GetCapturedStdout(), c.printed) << c.preferred.value(0).toStdString();
        EXPECT_EQ(Localization::isFrench(), c.french) << c.preferred.value(0).toStdString();
        EXPECT_EQ(preferences.integerForKey(StoreKeys::selectedLanguage), c.storedAfter);
        EXPECT_EQ(LocalizedText("IDS_BR_132"),
                  loadLanguageTable(c.french ? QStringLiteral("French") : QStringLiteral("English"))
                      ->value(QStringLiteral("IDS_BR_132")).toString());
    }

    // A stored choice of another type keeps English and is left alone.
    FakePreferencesStore preferences;
    preferences.setObject(QStringLiteral("1"), StoreKeys::selectedLanguage);
    testing::internal::CaptureStdout();
    Localization::chooseLanguage(preferences, {QStringLiteral("fr-FR")});
    testing::internal::GetCapturedStdout();
    EXPECT_FALSE(Localization::isFrench());
    EXPECT_EQ(preferences.stringForKey(StoreKeys::selectedLanguage), QStringLiteral("1"));
}

TEST(LocalizedText, MissingTablesKeysAndNonStringsGiveEmptyText)
{
    Localization::setTable(QVariantMap{{QStringLiteral("IDS_BR_1"), QStringLiteral("One")},
                                       {QStringLiteral("IDS_BR_2"), qint64(2)}});
    EXPECT_EQ(LocalizedText("IDS_BR_1"), QStringLiteral("One"));
    EXPECT_EQ(LocalizedText("IDS_BR_2"), QString());
    EXPECT_EQ(LocalizedText("IDS_BR_999"), QString());
    Localization::setTable(std::nullopt);
    EXPECT_EQ(LocalizedText("IDS_BR_1"), QString());
    EXPECT_FALSE(loadLanguageTable(QStringLiteral("German")));
}

} // namespace
