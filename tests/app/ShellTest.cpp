#include "ShellFixture.h"

#include "app/FirstGroupBox.h"
#include "app/FirstRun.h"
#include "app/ManagerWindow.h"
#include "app/ManagerWindowPages.h"
#include "app/NewsletterSubscription.h"
#include "app/OnboardingPage.h"
#include "platform/FakePreferencesStore.h"
#include "platform/LoginItems.h"
#include "prefs/PreferencesPage.h"
#include "store/LocalizedText.h"
#include "store/StoreKeys.h"
#include "store/TextKeys.h"
#include "support/LocalHttpServer.h"
#include "widgets/DimmingLayer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTcpServer>
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
        EXPECT_FALSE(onboarding.findChild<QWidget *>(u"subscribeBox"_qs)->isVisible())
            << "no endpoint, no subscription";
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
        vc.showPage(ManagerWindowPages::utilityKitPage);
        EXPECT_EQ(vc.containerPage(), 0) << "a page without content is not shown";
    }
}

TEST_F(ManagerWindowPagesTest, FirstGroupBoxLeadsToTheFirstGroup)
{
    context->viewLinks.popoverListLoaded = true;
    QSignalSpy quickListReloads(&context->viewLinks, &ViewLinks::quickListReloadRequested);
    ManagerWindowPages &vc = makeContainer();
    vc.showPage(ManagerWindowPages::managerPage);
    FirstGroupBox *box = vc.firstGroupBox();
    EXPECT_FALSE(box->findChild<QLabel *>(u"imgview_addFirstGroup"_qs)->pixmap().isNull())
        << "the picture shows with or without an icon theme";
    vc.showPage(ManagerWindowPages::preferencesPage);
    EXPECT_FALSE(vc.isFirstGroupBoxShowing()) << "the box belongs to the groups page";
    vc.showPage(ManagerWindowPages::managerPage);
    ASSERT_TRUE(vc.isFirstGroupBoxShowing());

    box->findChild<QPushButton *>(u"btncreateGroup_infobox"_qs)->click();
    // The example ticks only while the window shows and the box is open.
    ExampleNameChip *chip = box->lblGroupNameExample();
    container->hide();
    EXPECT_FALSE(chip->isAnimating());
    container->show();
    EXPECT_TRUE(chip->isAnimating());
    box->closeBox();
    EXPECT_FALSE(chip->isAnimating());
    vc.showPage(ManagerWindowPages::managerPage);
    box->btnCreateGroup_info();

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

TEST_F(ManagerWindowPagesTest, TheKeyboardStaysInTheFirstGroupBox)
{
    ManagerWindowPages &vc = makeContainer();
    QApplication::setActiveWindow(&vc);
    vc.showPage(ManagerWindowPages::managerPage);
    FirstGroupBox *box = vc.firstGroupBox();
    ASSERT_TRUE(vc.isFirstGroupBoxShowing());
    auto *start = box->findChild<QPushButton *>(u"btncreateGroup_infobox"_qs);
    EXPECT_EQ(vc.focusWidget(), start) << "the box has the keys when it shows";

    // Tab reaches the page buttons, never the page under the box.
    QSet<QWidget *> reached;
    for (int press = 0; press < 6; ++press) {
        QTest::keyClick(vc.focusWidget(), Qt::Key_Tab);
        reached.insert(vc.focusWidget());
    }
    EXPECT_TRUE(reached.contains(vc.pageButton(ManagerWindowPages::preferencesPage)));
    EXPECT_FALSE(reached.contains(vc.currentview()));
    start->setFocus();
    QTest::keyClick(start, Qt::Key_Return);
    ASSERT_TRUE(box->isCreationStep()) << "Return steps on";
    EXPECT_EQ(vc.focusWidget(), box->txtfieldGroupname());

    // Escape closes the box, also with the focus on a page button.
    vc.pageButton(ManagerWindowPages::aboutPage)->setFocus();
    QTest::keyClick(vc.focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(vc.isFirstGroupBoxShowing());
    EXPECT_TRUE(context->favorites.groups().isEmpty());
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

TEST_F(ManagerWindowTest, GetStartedShowsThePagesAndAsksForThePopup)
{
    ManagerWindow &w = makeWindow();
    QSignalSpy popovers(&w, &ManagerWindow::popoverRequested);
    // The page opens with the keys on Get Started: Return alone goes on.
    ASSERT_EQ(w.focusWidget(), w.onboardingPage()->findChild<QPushButton *>(u"btngetstarted"_qs));
    QTest::keyClick(w.focusWidget(), Qt::Key_Return);
    EXPECT_EQ(popovers.count(), 1);
    EXPECT_EQ(w.containerPage(), ManagerWindowPages::managerPage);
    EXPECT_TRUE(loginItems->calls == 1 && !loginItems->lastEnabled) << "the checkbox starts off";
    EXPECT_EQ(preferences().integerForKey(StoreKeys::first), 1);
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
    w.openPage(ManagerWindowPages::managerPage);
    auto *field = static_cast<QLineEdit *>(w.pages()->currentview());
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
    EXPECT_EQ(prefs->findChild<QLabel *>(u"lblshortcut"_qs)->accessibleName(),
              LocalizedText(Text::globalShortcutWithValue).arg(u"Ctrl+Alt+W"_qs));

    // Leaving the page ends a recording; keys then go to the page again.
    prefs->findChild<QPushButton *>(u"btntypeShortcut"_qs)->click();
    w.openPage(ManagerWindowPages::managerPage);
    EXPECT_FALSE(recorder->isRecordingShortcut() || w.watchesKeysForRecorder());
    QTest::keyClicks(field, u"c"_qs);
    EXPECT_EQ(field->text(), u"c"_qs);
}

TEST(NewsletterSubscription, ChecksAddressesAndBuildsTheRequestOverHttpsOnly)
{
    for (const auto &[address, valid] : {std::pair{"a.b_c%d+e-f@mail.example.co", true},
                                         {"ann@example.o", false},
                                         {"ann example@x.org", false},
                                         {"ann@exa_mple.org", false}})
        EXPECT_EQ(NewsletterSubscription::isValidAddress(QString::fromLatin1(address)), valid) << address;

    EXPECT_EQ(NewsletterSubscription::requestUrl(QUrl(u"https://news.example.org/"_qs), u"ann+news@example.org"_qs)
                  .toString(QUrl::FullyEncoded),
              u"https://news.example.org/wp-content/plugins/newsletter-api/add.php/"
              "?nl=3&nk=NWUwN2MyYjRkMQ==&ne=YW5uK25ld3NAZXhhbXBsZS5vcmc=&nn="_qs);
    // The address travels encrypted; plain http only reaches this machine.
    for (const auto &[base, allowed] : {std::pair{"http://127.4.0.9", true},
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

class OnboardingTest : public ::testing::Test
{
protected:
    OnboardingTest() { Localization::setTable(loadLanguageTable(QStringLiteral("English"))); }
    ~OnboardingTest() override { Localization::setTable(std::nullopt); }

    std::unique_ptr<OnboardingPage> makePage(const QUrl &base)
    {
        auto page = std::make_unique<OnboardingPage>(preferences, logins, base);
        page->subscription().setTimeout(500);
        page->show();
        return page;
    }
    // Types address, presses Subscribe and waits for the answer's alert (or
    // for the request to end without one).
    QString subscribe(OnboardingPage &page, const QString &address)
    {
        page.txtfield()->setText(address);
        testing::internal::CaptureStdout();
        page.findChild<QPushButton *>(u"btnsubscribe"_qs)->click();
        // The wait may time out: the caller checks what came.
        (void)QTest::qWaitFor([&] { return page.subscription().pendingCount() == 0; }, 5000);
        testing::internal::GetCapturedStdout();
        if (!page.alert())
            return {};
        const QString shown = page.alert()->text() + u'|' + page.alert()->informativeText();
        page.alert()->buttons().first()->click();
        return shown;
    }

    FakePreferencesStore preferences;
    FakeLoginItems logins;
};

TEST_F(OnboardingTest, SubscriptionAnswersBecomeAlertsAndNoAnswerEndsSilently)
{
    auto text = [](TextKey message, TextKey informative) -> QString {
        return LocalizedText(message) + u'|' + LocalizedText(informative).replace(u"%1"_qs, u"ann@example.org"_qs);
    };
    {
        LocalHttpServer server(200, "application/json", "0");
        auto page = makePage(server.base());
        ASSERT_TRUE(page->offersNewsletter());
        EXPECT_EQ(subscribe(*page, QString()), text("IDS_BR_48", "IDS_BR_49"));
        EXPECT_EQ(subscribe(*page, u"ann@example"_qs), text("IDS_BR_50", "IDS_BR_49"));
        EXPECT_TRUE(server.requestTargets().isEmpty()) << "nothing sent for a refused address";
    }
    for (const auto &[body, alert] : {std::pair{"0", text("IDS_BR_51", "IDS_BR_52")},
                                      {"1", text("IDS_BR_53", "IDS_BR_54")},
                                      {"2", text("IDS_BR_55", "IDS_BR_56")},
                                      {"not json", QString()}}) {
        LocalHttpServer server(200, "application/json", body);
        auto page = makePage(server.base());
        EXPECT_EQ(subscribe(*page, u"ann@example.org"_qs), alert) << body;
        EXPECT_TRUE(page->txtfield()->text().isEmpty() || alert.isEmpty()) << "the field empties with the alert";
        EXPECT_EQ(server.requestTargets().size(), 1);
    }
    // An answer that never comes ends silently.
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost));
    auto page = makePage(QUrl(u"http://127.0.0.1:%1"_qs.arg(silent.serverPort())));
    EXPECT_EQ(subscribe(*page, u"ann@example.org"_qs), QString());
    EXPECT_EQ(page->subscription().pendingCount(), 0);
}

} // namespace
