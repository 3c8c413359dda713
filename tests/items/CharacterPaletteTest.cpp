#include "items/CharacterPalette.h"
#include "items/EmojiCatalog.h"
#include "items/RecentCharacters.h"
#include "platform/FakePreferencesStore.h"
#include "store/LocalizedText.h"
#include "store/StoreKeys.h"
#include "store/TextKeys.h"

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

// The interface in French for the length of a test.
struct FrenchInterface
{
    FrenchInterface() { Localization::setTable(loadLanguageTable(QStringLiteral("French")), true); }
    ~FrenchInterface() { Localization::setTable(std::nullopt); }
};

QString nameOf(const QString &text)
{
    const auto index = EmojiCatalog::indexOf(text);
    return index ? EmojiCatalog::all().at(*index).localizedName() : QString();
}

QStringList textsFound(const QString &query)
{
    QStringList texts;
    for (int index : EmojiCatalog::search(query))
        texts.append(EmojiCatalog::all().at(index).text);
    return texts;
}

TEST(EmojiCatalog, HoldsTheFullyQualifiedEmojiAndFindsThemByEveryWord)
{
    ASSERT_GT(EmojiCatalog::all().size(), 3000);
    EXPECT_FALSE(EmojiCatalog::groupNames().contains(QStringLiteral("Component")));
    // Fully-qualified forms only: the smiling face carries its selector.
    EXPECT_TRUE(EmojiCatalog::indexOf(QStringLiteral("☺\uFE0F")));
    EXPECT_FALSE(EmojiCatalog::indexOf(QStringLiteral("☺")));
    const auto waving = EmojiCatalog::indexOf(QStringLiteral("👋🏽"));
    ASSERT_TRUE(waving);
    EXPECT_FALSE(EmojiCatalog::browsable().contains(*waving)) << "skin tones are found, not browsed";

    const QStringList found = textsFound(QStringLiteral("  Face  GRINNING "));
    ASSERT_FALSE(found.isEmpty());
    for (const QString &text : found)
        EXPECT_TRUE(nameOf(text).contains("grinning") && nameOf(text).contains("face")) << nameOf(text).toStdString();
    EXPECT_TRUE(nameOf(textsFound(QStringLiteral("cat")).value(0)).startsWith("cat")) << "leading matches first";
    EXPECT_TRUE(textsFound(QStringLiteral("   ")).isEmpty());
    // In English: no folding, no French words.
    EXPECT_EQ(nameOf(QStringLiteral("❤\uFE0F")), QStringLiteral("red heart"));
    EXPECT_TRUE(textsFound(QStringLiteral("coeur")).isEmpty());
    EXPECT_TRUE(textsFound(QStringLiteral("piñata")).contains(QStringLiteral("🪅")));
}

TEST(EmojiCatalog, InFrenchNamesAndSearchAreFrenchIgnoringAccentsAndLigatures)
{
    FrenchInterface french;
    const QString heart = QStringLiteral("❤\uFE0F"); // listed by CLDR without its selector
    const QString wavingMedium = QStringLiteral("👋🏽");
    const QString shaking = QStringLiteral("🫨"); // newer than the CLDR data
    EXPECT_EQ(nameOf(heart), QStringLiteral("cœur rouge"));

    // Without regard to accents or ligatures (CLDR writes d’œil), by the words after a derived
    // name's colon, and by the English names, which stand in where CLDR has none.
    for (const auto &[query, emoji] : {std::pair<const char *, QString>{"clin d'oeil", QStringLiteral("😉")},
                                       {"signe main legerement mate", wavingMedium},
                                       {"shaking face", shaking}})
        EXPECT_TRUE(textsFound(QString::fromUtf8(query)).contains(emoji)) << query;

    // The palette shows and reads out the French names.
    FakePreferencesStore preferences;
    CharacterPalette palette(preferences);
    palette.popUp(nullptr, nullptr);
    palette.findChild<QLineEdit *>(QStringLiteral("searchCharacters"))->setText(QStringLiteral("fusee"));
    const QAbstractItemModel *cells = palette.findChild<QListView *>(QStringLiteral("characterList"))->model();
    EXPECT_EQ(cells->index(0, 0).data().toString(), QStringLiteral("🚀"));
    EXPECT_EQ(cells->index(0, 0).data(Qt::AccessibleTextRole).toString(), QStringLiteral("fusée"));
}

TEST(CharacterPalette, RecentlyUsedComeFirstAndSearchTypesTheFirstMatch)
{
    FakePreferencesStore preferences;
    CharacterPalette palette(preferences);
    QLineEdit target;
    palette.choose(QStringLiteral("🐱")); // no target yet: only remembered
    palette.popUp(nullptr, &target);
    auto *list = palette.findChild<QListView *>(QStringLiteral("characterList"));
    ASSERT_TRUE(list);
    EXPECT_EQ(list->model()->index(0, 0).data().toString(), QStringLiteral("🐱"));
    EXPECT_EQ(list->model()->rowCount(), EmojiCatalog::browsable().size() + 1);

    auto *search = palette.findChild<QLineEdit *>(QStringLiteral("searchCharacters"));
    search->setText(QStringLiteral("rocket"));
    ASSERT_GE(list->model()->rowCount(), 1);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(search, &enter);
    EXPECT_EQ(target.text(), QStringLiteral("🚀"));
    EXPECT_EQ(RecentCharacters(preferences).characters(), QStringList({QStringLiteral("🚀"), QStringLiteral("🐱")}));

    // The most recent first, each once, up to the capacity; stored elements
    // that are not text are left out.
    RecentCharacters recent(preferences);
    for (int i = 0; i < RecentCharacters::capacity + 3; ++i)
        recent.use(EmojiCatalog::all().at(i).text);
    recent.use(EmojiCatalog::all().at(5).text);
    const QStringList texts = recent.characters();
    EXPECT_EQ(texts.size(), RecentCharacters::capacity);
    EXPECT_EQ(texts.mid(0, 2), QStringList({EmojiCatalog::all().at(5).text,
                                            EmojiCatalog::all().at(RecentCharacters::capacity + 2).text}));
    EXPECT_EQ(texts.count(EmojiCatalog::all().at(5).text), 1);
    preferences.setObject(QVariantList{42, QStringLiteral("★")}, StoreKeys::recentCharacters);
    EXPECT_EQ(recent.characters(), QStringList({QStringLiteral("★")}));
}

TEST(CharacterPalette, TabReachesEveryGroupButtonNamedInTheInterfaceLanguage)
{
    FrenchInterface french;
    FakePreferencesStore preferences;
    CharacterPalette palette(preferences);
    QLineEdit target;
    palette.popUp(nullptr, &target);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&palette));
    ASSERT_EQ(QApplication::focusWidget(), palette.findChild<QLineEdit *>(QStringLiteral("searchCharacters")));

    // The group buttons; the search field's clear button is a tool button too.
    const QList<QToolButton *> buttons = palette.findChildren<QToolButton *>(Qt::FindDirectChildrenOnly);
    QList<QToolButton *> reached;
    QStringList names;
    for (int press = 0; press < buttons.size() + 1; ++press) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        if (auto *button = qobject_cast<QToolButton *>(QApplication::focusWidget())) {
            reached.append(button);
            names.append(button->accessibleName());
            EXPECT_EQ(button->accessibleName(), button->toolTip()) << "a screen reader reads the group, not the emoji";
        }
    }
    EXPECT_EQ(reached.size(), buttons.size());
    EXPECT_TRUE(names.contains(LocalizedText(Text::emojiFlags))) << names.join(u", ").toStdString();
    EXPECT_FALSE(names.contains(u"Flags"_qs));
}

} // namespace
