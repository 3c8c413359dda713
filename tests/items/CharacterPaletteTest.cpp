#include "items/CharacterPalette.h"
#include "items/ColorChooserPopup.h"
#include "items/EmojiCatalog.h"
#include "items/RecentCharacters.h"
#include "platform/FakePreferencesStore.h"
#include "store/LocalizedText.h"
#include "store/StoreKeys.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QScreen>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>

#include <QToolButton>

#include <gtest/gtest.h>

namespace {

TEST(EmojiCatalog, HoldsTheFullyQualifiedEmojiWithGroupsAndNames)
{
    const QList<Emoji> &all = EmojiCatalog::all();
    ASSERT_GT(all.size(), 3000);
    EXPECT_FALSE(EmojiCatalog::groupNames().contains(QStringLiteral("Component")));
    // Fully-qualified forms only: the smiling face carries its selector.
    EXPECT_TRUE(EmojiCatalog::indexOf(QStringLiteral("☺\uFE0F")));
    EXPECT_FALSE(EmojiCatalog::indexOf(QStringLiteral("☺")));
    const auto waving = EmojiCatalog::indexOf(QStringLiteral("👋🏽"));
    ASSERT_TRUE(waving);
    EXPECT_TRUE(all.at(*waving).skinTone);
    EXPECT_FALSE(EmojiCatalog::browsable().contains(*waving));
}

TEST(EmojiCatalog, SearchMatchesEveryWordIgnoringCaseWithLeadingMatchesFirst)
{
    const QList<int> found = EmojiCatalog::search(QStringLiteral("  Face  GRINNING "));
    ASSERT_FALSE(found.isEmpty());
    for (int index : found) {
        const QString name = EmojiCatalog::all().at(index).name;
        EXPECT_TRUE(name.contains("grinning") && name.contains("face")) << name.toStdString();
    }
    const QList<int> cat = EmojiCatalog::search(QStringLiteral("cat"));
    ASSERT_FALSE(cat.isEmpty());
    EXPECT_TRUE(EmojiCatalog::all().at(cat.first()).name.startsWith("cat"));
    EXPECT_TRUE(EmojiCatalog::search(QStringLiteral("   ")).isEmpty());
    EXPECT_TRUE(EmojiCatalog::search(QStringLiteral("no such emoji name")).isEmpty());
}

TEST(RecentCharacters, MostRecentFirstWithoutDuplicatesUpToCapacity)
{
    FakePreferencesStore preferences;
    RecentCharacters recent(preferences);
    for (int i = 0; i < RecentCharacters::capacity + 3; ++i)
        recent.use(EmojiCatalog::all().at(i).text);
    recent.use(EmojiCatalog::all().at(5).text);
    const QStringList texts = recent.characters();
    EXPECT_EQ(texts.size(), RecentCharacters::capacity);
    EXPECT_EQ(texts.first(), EmojiCatalog::all().at(5).text);
    EXPECT_EQ(texts.at(1), EmojiCatalog::all().at(RecentCharacters::capacity + 2).text);
    EXPECT_EQ(texts.count(EmojiCatalog::all().at(5).text), 1);
    EXPECT_EQ(RecentCharacters(preferences).characters(), texts);
    preferences.setObject(QVariantList{42, QStringLiteral("★")}, StoreKeys::recentCharacters);
    EXPECT_EQ(recent.characters(), QStringList({QStringLiteral("★")}));
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
    search->setText(QStringLiteral("cat face"));
    EXPECT_EQ(list->model()->index(0, 0).data().toString(), QStringLiteral("🐱"));
    search->setText(QStringLiteral("rocket"));
    ASSERT_GE(list->model()->rowCount(), 1);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(search, &enter);
    EXPECT_EQ(target.text(), QStringLiteral("🚀"));
    EXPECT_EQ(RecentCharacters(preferences).characters(), QStringList({QStringLiteral("🚀"), QStringLiteral("🐱")}));
}

TEST(CharacterPalette, GroupButtonsAreNamedInTheInterfaceLanguage)
{
    Localization::setTable(loadLanguageTable(QStringLiteral("French")));
    FakePreferencesStore preferences;
    CharacterPalette palette(preferences);
    QStringList names;
    for (const QToolButton *button : palette.findChildren<QToolButton *>()) {
        EXPECT_EQ(button->accessibleName(), button->toolTip()) << "a screen reader reads the group, not the emoji";
        names.append(button->accessibleName());
    }
    EXPECT_TRUE(names.contains(LocalizedText("IDS_BR_304"))) << names.join(u", ").toStdString();
    EXPECT_TRUE(names.contains(LocalizedText("IDS_BR_312")));
    EXPECT_FALSE(names.contains(u"Flags"_qs));
    Localization::setTable(std::nullopt);
}

} // namespace

namespace {

TEST(PopupPlacement, PaletteAndColourChooserOpenWhollyOnScreenNearItsEdges)
{
    FakePreferencesStore preferences;
    CharacterPalette palette(preferences);
    ColorChooserPopup chooser;
    QWidget window;
    window.setGeometry(0, 0, 40, 40);
    auto *anchor = new QWidget(&window);
    anchor->setGeometry(0, 0, 24, 24);
    window.show();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QList<QPoint> corners{screen.topRight() - QPoint(30, -10), screen.bottomRight() - QPoint(30, 30),
                                screen.bottomLeft() - QPoint(-10, 30)};
    for (const QPoint &corner : corners) {
        window.move(corner);
        palette.popUp(anchor, nullptr);
        chooser.popUp(Qt::red, anchor);
        for (QWidget *popup : {static_cast<QWidget *>(&palette), static_cast<QWidget *>(&chooser)}) {
            EXPECT_TRUE(screen.contains(popup->frameGeometry()))
                << popup->metaObject()->className() << " at " << popup->x() << "," << popup->y() << " size "
                << popup->width() << "x" << popup->height();
        }
        palette.close();
        chooser.close();
    }
}

} // namespace
