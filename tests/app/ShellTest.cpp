#include "app/FirstGroupBox.h"
#include "app/FirstRun.h"
#include "app/ManagerWindow.h"
#include "app/ManagerWindowPages.h"
#include "app/OnboardingPage.h"
#include "prefs/PreferencesPage.h"
#include "store/LocalizedText.h"
#include "store/StoreKeys.h"
#include "widgets/DimmingLayer.h"

#include "ShellFixture.h"
#include "store/TextKeys.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

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
    // Tabs keys times and checks the keys stay with the first-group box and
    // the page buttons, never reaching the page the box covers.
    QSet<QWidget *> tabWithinBox(Qt::Key key, int times)
    {
        QSet<QWidget *> reached;
        for (int press = 0; press < times; ++press) {
            QTest::keyClick(container->focusWidget(), key);
            QWidget *focus = container->focusWidget();
            EXPECT_TRUE(container->firstGroupBox()->isAncestorOf(focus) || isPageButton(focus));
            reached.insert(focus);
        }
        return reached;
    }
    bool isPageButton(QWidget *widget) const
    {
        for (int page = 0; page < ManagerWindowPages::pageCount; ++page)
            if (container->pageButton(page) == widget)
                return true;
        return false;
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
TEST_F(ManagerWindowPagesTest, NoTextIsClippedOnTheOnboardingOrThePageButtonsInEitherLanguage)
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
        for (int page = 0; page < ManagerWindowPages::pageCount; ++page) {
            vc.pageButton(page)->click();
            EXPECT_EQ(clippedParts(vc), "") << language.toStdString() << page;
        }
    }
}

TEST_F(ManagerWindowPagesTest, PageButtonsSwitchPagesThatKeepTheirState)
{
    context->favorites.setGroups({Group(u"Work"_qs)});
    ManagerWindowPages &vc = makeContainer();
    EXPECT_FALSE(vc.pageButton(ManagerWindowPages::utilityKitPage)->isVisibleTo(&vc)) << "nothing to promote";

    vc.showPage(ManagerWindowPages::managerPage);
    auto *groupsPage = static_cast<QLineEdit *>(vc.currentview());
    groupsPage->setText(u"typed"_qs);
    for (int page : {1, 2, 0}) {
        vc.pageButton(page)->click();
        EXPECT_EQ(vc.containerPage(), page);
        for (int other = 0; other < ManagerWindowPages::pageCount; ++other)
            EXPECT_EQ(vc.isMarkerVisible(other), other == page);
    }
    EXPECT_EQ(vc.currentview(), groupsPage);
    EXPECT_EQ(vc.focusWidget(), groupsPage) << "the groups page takes the keys as it shows";
    EXPECT_EQ(groupsPage->text(), u"typed"_qs);
    vc.showPage(ManagerWindowPages::utilityKitPage);
    EXPECT_EQ(vc.containerPage(), 0) << "a page without content is not shown";
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
    ExampleNameChip *chip = box->lblGroupNameExample();
    EXPECT_TRUE(chip->isAnimating());

    // No ticking while the window is closed; it resumes when it shows again.
    container->hide();
    EXPECT_FALSE(chip->isAnimating());
    container->show();
    EXPECT_TRUE(chip->isAnimating());
    box->closeBox();
    EXPECT_FALSE(chip->isAnimating()) << "closing the box stops it";
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
    vc.showPage(ManagerWindowPages::managerPage);
    EXPECT_FALSE(vc.isFirstGroupBoxShowing());
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
    EXPECT_TRUE(tabWithinBox(Qt::Key_Tab, 6).contains(vc.pageButton(ManagerWindowPages::preferencesPage)));
    EXPECT_TRUE(tabWithinBox(Qt::Key_Backtab, 6).contains(start));
    start->setFocus();
    QTest::keyClick(start, Qt::Key_Return);
    ASSERT_TRUE(box->isCreationStep()) << "Return steps on";
    EXPECT_EQ(vc.focusWidget(), box->txtfieldGroupname());
    EXPECT_TRUE(tabWithinBox(Qt::Key_Tab, 4).contains(box->findChild<QPushButton *>(u"btncreateGroupSecondbox"_qs)));

    QTest::keyClick(vc.focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(vc.isFirstGroupBoxShowing()) << "Escape closes the box";
    EXPECT_TRUE(context->favorites.groups().isEmpty());

    // Also with the focus on a page button.
    vc.showPage(ManagerWindowPages::managerPage);
    ASSERT_TRUE(vc.isFirstGroupBoxShowing());
    vc.pageButton(ManagerWindowPages::aboutPage)->setFocus();
    QTest::keyClick(vc.focusWidget(), Qt::Key_Escape);
    EXPECT_FALSE(vc.isFirstGroupBoxShowing());
}

TEST_F(ManagerWindowPagesTest, TheFirstGroupBoxCoversTheGroupsPageOnlyAndThePageButtonsStayUsable)
{
    ManagerWindowPages &vc = makeContainer();
    vc.showPage(ManagerWindowPages::managerPage);
    ASSERT_TRUE(vc.isFirstGroupBoxShowing());
    for (const QSize size : {QSize(800, 500), QSize(640, 420)}) {
        vc.resize(size);
        QCoreApplication::processEvents();
        EXPECT_EQ(vc.firstGroupBox()->geometry(), vc.currentview()->parentWidget()->geometry());
        for (int page = 0; page < ManagerWindowPages::pageCount; ++page) {
            QPushButton *button = vc.pageButton(page);
            if (button->isVisibleTo(&vc)) {
                EXPECT_EQ(vc.childAt(button->mapTo(&vc, button->rect().center())), button) << page;
            }
        }
    }
    QPushButton *preferences = vc.pageButton(ManagerWindowPages::preferencesPage);
    QTest::mouseClick(preferences, Qt::LeftButton);
    EXPECT_EQ(vc.containerPage(), ManagerWindowPages::preferencesPage);
    EXPECT_FALSE(vc.isFirstGroupBoxShowing()) << "the box steps aside on other pages";
    QTest::mouseClick(vc.pageButton(ManagerWindowPages::managerPage), Qt::LeftButton);
    EXPECT_TRUE(vc.isFirstGroupBoxShowing()) << "and comes back while no group exists";
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
    // Another computer's Brimble ended its first run meanwhile: its mark stays.
    preferences().setInteger(2, StoreKeys::first);

    EXPECT_FALSE(w.close());
    EXPECT_TRUE(w.isVisible() && !w.isShowingOnboarding());
    EXPECT_EQ(preferences().integerForKey(StoreKeys::first), 2);
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
    EXPECT_EQ(loginItems->calls, 1);
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
    struct Case
    {
        std::optional<qint64> storedFirst;
        std::optional<bool> startAtLogin;
        bool loginSucceeds;
        qint64 first;
        std::optional<bool> loginStartStatus;
    };
    for (const Case &c :
         {Case{std::nullopt, std::nullopt, true, 1, std::nullopt}, Case{3, true, true, 3, true},
          Case{std::nullopt, false, true, 1, false}, Case{std::nullopt, true, false, 1, std::nullopt}}) {
        preferences().removeObjectForKey(StoreKeys::first);
        preferences().removeObjectForKey(StoreKeys::loginStartStatus);
        if (c.storedFirst)
            preferences().setInteger(*c.storedFirst, StoreKeys::first);
        loginItems->calls = 0;
        loginItems->succeeds = c.loginSucceeds;
        FirstRun::finish(preferences(), *loginItems, c.startAtLogin);
        EXPECT_EQ(preferences().integerForKey(StoreKeys::first), c.first);
        EXPECT_EQ(loginItems->calls, c.startAtLogin ? 1 : 0);
        EXPECT_EQ(preferences().boolForKey(StoreKeys::loginStartStatus), c.loginStartStatus)
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

    // Tab leaves the recorder: the focus moves on and the shortcut stays.
    auto *record = prefs->findChild<QPushButton *>(u"btntypeShortcut"_qs);
    QApplication::setActiveWindow(&w);
    record->setFocus();
    record->click();
    QTest::keyClick(record, Qt::Key_Tab);
    EXPECT_FALSE(recorder->isRecordingShortcut());
    EXPECT_NE(QApplication::focusWidget(), record);
    EXPECT_EQ(preferences().stringForKey(StoreKeys::shortcutKey), u"w"_qs);
    EXPECT_EQ(hotKeys->registrations.size(), 1) << "registered again";
    EXPECT_EQ(prefs->findChild<QLabel *>(u"lblshortcut"_qs)->accessibleName(),
              LocalizedText(Text::globalShortcutWithValue).arg(u"Ctrl+Alt+W"_qs));

    // Leaving the page ends a recording; keys then go to the page again.
    prefs->findChild<QPushButton *>(u"btntypeShortcut"_qs)->click();
    w.openPage(ManagerWindowPages::managerPage);
    EXPECT_FALSE(recorder->isRecordingShortcut() || w.watchesKeysForRecorder());
    QTest::keyClicks(field, u"c"_qs);
    EXPECT_EQ(field->text(), u"c"_qs);
}

} // namespace
