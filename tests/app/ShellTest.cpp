#include "ShellFixture.h"

#include "app/FirstGroupBox.h"
#include "app/FirstRun.h"
#include "app/ManagerWindow.h"
#include "app/ManagerWindowPages.h"
#include "app/NewsletterSubscription.h"
#include "app/OnboardingPage.h"
#include "platform/LoginItems.h"
#include "prefs/PreferencesPage.h"
#include "store/LocalizedText.h"
#include "store/StoreKeys.h"
#include "widgets/DimmingLayer.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class ManagerWindowPagesTest : public ShellFixture
{
protected:
    ManagerWindowPages &makeContainer()
    {
        container = std::make_unique<ManagerWindowPages>(
            ManagerWindowPages::Services{context->favorites, context->sortSettings, context->viewLinks},
            [](int page, DimmingLayer &) -> QWidget * {
                return page == ManagerWindowPages::utilityKitPage ? nullptr : new QLineEdit;
            });
        container->resize(800, 500);
        container->show();
        return *container;
    }

    std::unique_ptr<ManagerWindowPages> container;
};

// The labels and buttons (the onboarding's icon among them) under root that
// got less room than their text or picture needs.
std::string clippedParts(QWidget &root)
{
    QCoreApplication::processEvents();
    QStringList clipped;
    const QList<QWidget *> parts = root.findChildren<QWidget *>();
    for (QWidget *part : parts) {
        const bool button = qobject_cast<QAbstractButton *>(part);
        if (!part->isVisibleTo(&root) || !(button || qobject_cast<QLabel *>(part)))
            continue;
        const QSize needed = button ? part->sizeHint()
                                    : QSize(0, part->hasHeightForWidth() ? part->heightForWidth(part->width())
                                                                         : part->minimumSizeHint().height());
        if (part->height() < needed.height() || part->width() < needed.width())
            clipped.append(part->objectName() + u' ' + part->property("text").toString());
    }
    return clipped.join(u"; "_qs).toStdString();
}

// Wrapped texts (the French welcome takes three lines) must not take their
// room from the icon or the buttons, nor may a selected page button (the
// French "À propos") need more room than its row gave it.
TEST_F(ManagerWindowPagesTest, PageButtonsSwitchPagesThatKeepTheirStateAndNoTextIsClippedInEitherLanguage)
{
    context->favorites.setGroups({Group(u"Work"_qs)});
    for (const QString &language : {u"English"_qs, u"French"_qs}) {
        Localization::setTable(loadLanguageTable(language));
        OnboardingPage onboarding(preferences(), *loginItems, QUrl());
        onboarding.resize(900, 600);
        onboarding.show();
        EXPECT_EQ(clippedParts(onboarding), "") << language.toStdString();
        ManagerWindowPages &vc = makeContainer();
        EXPECT_FALSE(vc.pageButton(ManagerWindowPages::utilityKitPage)->isVisibleTo(&vc)) << "nothing to promote";
        vc.showPage(ManagerWindowPages::managerPage);
        auto *groupsPage = static_cast<QLineEdit *>(vc.currentview());
        groupsPage->setText(u"typed"_qs);
        for (int page : {1, 2, 0}) {
            vc.pageButton(page)->click();
            EXPECT_EQ(clippedParts(vc), "") << language.toStdString() << page;
            EXPECT_EQ(vc.containerPage(), page);
            for (int other = 0; other < ManagerWindowPages::pageCount; ++other)
                EXPECT_EQ(vc.isMarkerVisible(other), other == page);
        }
        EXPECT_EQ(vc.focusWidget(), groupsPage) << "the groups page takes the keys as it shows";
        EXPECT_EQ(groupsPage->text(), u"typed"_qs);
    }
}

TEST_F(ManagerWindowPagesTest, FirstGroupBoxLeadsToTheFirstGroup)
{
    context->viewLinks.popoverListLoaded = true;
    QSignalSpy quickListReloads(&context->viewLinks, &ViewLinks::quickListReloadRequested);
    ManagerWindowPages &vc = makeContainer();
    vc.showPage(ManagerWindowPages::managerPage);
    FirstGroupBox *box = vc.firstGroupBox();
    vc.showPage(ManagerWindowPages::preferencesPage);
    EXPECT_FALSE(vc.isFirstGroupBoxShowing()) << "the box belongs to the groups page";
    vc.showPage(ManagerWindowPages::managerPage);
    ASSERT_TRUE(vc.isFirstGroupBoxShowing());

    box->findChild<QPushButton *>(u"btncreateGroup_infobox"_qs)->click();
    box->txtfieldGroupname()->setText(u"   "_qs);
    box->findChild<QPushButton *>(u"btncreateGroupSecondbox"_qs)->click();
    ASSERT_NE(vc.alert(), nullptr) << "a name of spaces only is refused as an empty one";
    EXPECT_TRUE(vc.blackLayer().isHeld());
    static_cast<QMessageBox *>(vc.alert())->buttons().first()->click();
    EXPECT_FALSE(vc.blackLayer().isHeld());
    EXPECT_TRUE(context->favorites.groups().isEmpty());

    box->txtfieldGroupname()->setText(u"Recipes"_qs);
    box->findChild<QPushButton *>(u"btncreateGroupSecondbox"_qs)->click();
    EXPECT_EQ(context->favorites.groups(), QList<Group>({Group(u"Recipes"_qs)}));
    EXPECT_EQ(quickListReloads.count(), 1);
}

class ManagerWindowTest : public ShellFixture
{
protected:
    ManagerWindow &makeWindow()
    {
        window = std::make_unique<ManagerWindow>(*context, *recorder);
        window->setManagerPageFactory([](DimmingLayer &) { return new QLineEdit; });
        window->showAndActivate();
        return *window;
    }
    std::unique_ptr<ManagerWindow> window;
};

TEST_F(ManagerWindowTest, ClosingDuringTheFirstRunFinishesItAndShowsThePages)
{
    ManagerWindow &w = makeWindow();
    ASSERT_TRUE(w.isShowingOnboarding());
    w.onboardingPage()->findChild<QCheckBox *>(u"checkboxAddLogicitem"_qs)->setChecked(true);
    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible() && !w.isShowingOnboarding());
    EXPECT_EQ(preferences().boolForKey(StoreKeys::loginStartStatus), true);

    // No group yet: the first-group box asks for one and holds the window
    // until a reload finds a group (one made in the popup).
    ASSERT_TRUE(w.pages()->isFirstGroupBoxShowing());
    context->viewLinks.managerLoaded = true;
    context->viewLinks.requestManagerGroupsReload();
    EXPECT_FALSE(w.close());
    context->favorites.setGroups({Group(u"Home"_qs)});
    context->viewLinks.requestManagerGroupsReload();
    EXPECT_TRUE(w.close());
}

TEST_F(ManagerWindowTest, EndingTheFirstRunKeepsAStoredMarkAndAppliesOnlyAChoiceMade)
{
    // The "first" stored before, the choice made and whether it takes
    // effect; then the "first" and the choice stored.
    using Case = std::tuple<qint64, std::optional<bool>, bool, qint64, std::optional<bool>>;
    for (const auto &[storedFirst, startAtLogin, loginSucceeds, first, loginStartStatus] :
         {Case{0, std::nullopt, true, 1, std::nullopt}, Case{3, true, true, 3, true}, Case{0, false, true, 1, false},
          Case{0, true, false, 1, std::nullopt}}) {
        for (const QLatin1String key : {StoreKeys::first, StoreKeys::loginStartStatus})
            preferences().removeObjectForKey(key);
        if (storedFirst)
            preferences().setInteger(storedFirst, StoreKeys::first);
        loginItems->calls = 0;
        loginItems->succeeds = loginSucceeds;
        FirstRun::finish(preferences(), *loginItems, startAtLogin);
        EXPECT_EQ(preferences().integerForKey(StoreKeys::first), first);
        EXPECT_EQ(loginItems->calls, startAtLogin ? 1 : 0);
        EXPECT_EQ(preferences().boolForKey(StoreKeys::loginStartStatus), loginStartStatus)
            << "the choice is stored once it took effect";
    }
}

TEST_F(ManagerWindowTest, KeysReachTheRecorderOnlyWhileItRecordsOnThePreferencesPage)
{
    preferences().setInteger(7, StoreKeys::first);
    context->favorites.setGroups({Group(u"Work"_qs)});
    ManagerWindow &w = makeWindow();
    ASSERT_FALSE(w.isShowingOnboarding()) << "any stored \"first\" ends the first run";
    w.openPage(ManagerWindowPages::preferencesPage);
    auto *prefs = static_cast<PreferencesPage *>(w.pages()->currentview());
    QTest::keyClick(prefs, Qt::Key_K, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_FALSE(preferences().hasObjectForKey(StoreKeys::shortcutKey)) << "not recording: nothing taken";
    EXPECT_FALSE(w.watchesKeysForRecorder()) << "no application-wide filter while not recording";

    prefs->findChild<QPushButton *>(u"btntypeShortcut"_qs)->click();
    ASSERT_TRUE(recorder->isRecordingShortcut());
    EXPECT_TRUE(w.watchesKeysForRecorder());
    QTest::keyClick(prefs, Qt::Key_W, Qt::ControlModifier | Qt::AltModifier);
    EXPECT_EQ(preferences().stringForKey(StoreKeys::shortcutKey), u"w"_qs);
    EXPECT_FALSE(recorder->isRecordingShortcut());
    EXPECT_FALSE(w.watchesKeysForRecorder());
}

TEST(NewsletterSubscription, SendsTheAddressOverHttpsOnlyAndReadsOnlyTheAnswersItKnows)
{
    // The address travels encrypted; plain http only reaches this machine.
    for (const auto &[base, allowed] : {std::pair{"https://news.example.org", true},
                                        {"http://127.4.0.9", true},
                                        {"http://[::1]:8080", true},
                                        {"http://[::ffff:127.0.0.1]", true},
                                        {"http://localhost", true},
                                        {"http://news.example.org", false},
                                        {"http://128.0.0.1", false},
                                        {"http://[::2]", false},
                                        {"http://10.127.0.1", false},
                                        {"", false}})
        EXPECT_EQ(NewsletterSubscription::requestUrl(QUrl(QString::fromLatin1(base)), u"a@b.org"_qs).isValid(), allowed)
            << base;
    EXPECT_FALSE(NewsletterSubscription(QUrl(u"ftp://example.org"_qs)).isAvailable());

    using Answer = NewsletterSubscription::Answer;
    EXPECT_EQ(NewsletterSubscription::answerFor(" 1\n"), Answer::alreadySubscribed);
    for (const char *body : {"3", "\"0\"", "true", "[0]", "1.5", "", "0,1", "{\"a\":0}"})
        EXPECT_EQ(NewsletterSubscription::answerFor(body), Answer::unknown) << body;
}

} // namespace
