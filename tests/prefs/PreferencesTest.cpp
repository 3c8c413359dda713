#include "hotkey/GlobalShortcut.h"
#include "hotkey/HotKeysController.h"
#include "hotkey/ShortcutKeyPress.h"
#include "hotkey/ShortcutRecorder.h"
#include "platform/FakeHotKeyService.h"
#include "platform/FakePreferencesStore.h"
#include "platform/LoginItems.h"
#include "prefs/PreferencesPage.h"
#include "store/LocalizedText.h"
#include "store/StoreKeys.h"
#include "store/TextKeys.h"
#include "widgets/DimmingLayer.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

class PreferencesPageTest : public ::testing::Test
{
protected:
    PreferencesPageTest()
    {
        Localization::setTable(loadLanguageTable(u"English"_qs));
        HotKeysController::setService(&service);
        container.resize(600, 400);
    }
    ~PreferencesPageTest() override
    {
        page.reset();
        HotKeysController::setService(nullptr);
        Localization::setTable(std::nullopt);
    }

    PreferencesPage &makePage(bool grabs = true)
    {
        page = std::make_unique<PreferencesPage>(
            PreferencesPage::Services{preferences, logins, recorder, blackLayer, grabs}, &container);
        container.show();
        page->show();
        return *page;
    }
    template<typename T>
    T *child(const char *name) const
    {
        return page->findChild<T *>(QLatin1String(name));
    }
    void storeCtrlAltK()
    {
        preferences.setObject(u"k"_qs, StoreKeys::shortcutKey);
        preferences.setObject(QVariantList{ShortcutCodes::option, ShortcutCodes::command}, StoreKeys::shortcutflag);
        shortcut.restore();
    }

    FakeHotKeyService service;
    FakePreferencesStore preferences;
    FakeLoginItems logins;
    GlobalShortcut shortcut{preferences, [] {}};
    ShortcutRecorder recorder{preferences, shortcut};
    QWidget container;
    DimmingLayer blackLayer{&container};
    std::unique_ptr<PreferencesPage> page;
};

TEST_F(PreferencesPageTest, LanguageChangeAsksFirstAndRelaunchesOnlyWhenConfirmed)
{
    PreferencesPage &prefs = makePage();
    QSignalSpy relaunches(&prefs, &PreferencesPage::relaunchRequested);
    auto *menu = prefs.findChild<QComboBox *>();
    prefs.btnselectLanguage(0);
    EXPECT_EQ(prefs.alertappQuit(), nullptr) << "the language in use asks nothing";

    for (const int answer : {1, 0}) { // cancel, then confirm
        menu->setCurrentIndex(1);
        prefs.btnselectLanguage(1);
        ASSERT_NE(prefs.alertappQuit(), nullptr);
        prefs.alertappQuit()->buttons().at(answer)->click();
        EXPECT_EQ(relaunches.count(), 1 - answer);
        EXPECT_EQ(preferences.hasObjectForKey(StoreKeys::selectedLanguage), answer == 0);
        EXPECT_TRUE(answer == 0 || menu->currentIndex() == 0) << "a cancelled change puts the menu back";
    }
    EXPECT_EQ(preferences.integerForKey(StoreKeys::selectedLanguage), 1);
}

TEST_F(PreferencesPageTest, CheckboxesShowAndStoreTheirSettingsAndALoginChangeOnlyWhenItTookEffect)
{
    preferences.setBool(true, StoreKeys::loginStartStatus);
    preferences.setBool(true, StoreKeys::showFileListInFolder);
    makePage();
    const QList<QCheckBox *> boxes = page->findChildren<QCheckBox *>();
    ASSERT_EQ(boxes.size(), 2);
    EXPECT_TRUE(boxes[0]->isChecked() && boxes[1]->isChecked());

    boxes[0]->click();
    EXPECT_TRUE(logins.calls == 1 && !logins.lastEnabled);
    EXPECT_EQ(preferences.boolForKey(StoreKeys::loginStartStatus), false);
    logins.succeeds = false;
    boxes[0]->click();
    EXPECT_EQ(preferences.boolForKey(StoreKeys::loginStartStatus), false) << "refused: unchanged";
    boxes[1]->click();
    EXPECT_EQ(preferences.boolForKey(StoreKeys::showFileListInFolder), false);
}

TEST_F(PreferencesPageTest, ShortcutRowFollowsTheRecorder)
{
    storeCtrlAltK();
    makePage();
    auto *label = child<QLabel>("lblshortcut");
    auto *record = child<QPushButton>("btntypeShortcut");
    auto *clear = child<QToolButton>("btnrefreshShortcut");
    auto *hint = child<QLabel>("lblshortcutHint");
    // While recording, the empty label says what to do.
    const auto shows = [&](bool recording) {
        return record->isChecked() == recording && hint->isVisible() == recording && clear->isVisible() != recording;
    };
    EXPECT_EQ(label->text(), u"Ctrl+Alt+K"_qs);
    EXPECT_TRUE(shows(false));
    EXPECT_FALSE(clear->accessibleName().isEmpty());
    EXPECT_TRUE((record->focusPolicy() & Qt::TabFocus) && (clear->focusPolicy() & Qt::TabFocus));

    record->click();
    EXPECT_TRUE(recorder.isRecordingShortcut() && shows(true));

    // Ctrl+Q alone is reserved: an alert, and recording goes on.
    EXPECT_TRUE(recorder.keyPressed(ShortcutKeyPress::fromQt(Qt::Key_Q, Qt::ControlModifier), 1));
    ASSERT_NE(page->shortcutAlert(), nullptr);
    page->shortcutAlert()->buttons().first()->click();
    EXPECT_TRUE(recorder.isRecordingShortcut());

    EXPECT_TRUE(recorder.keyPressed(ShortcutKeyPress::fromQt(Qt::Key_J, Qt::ControlModifier | Qt::AltModifier), 1));
    EXPECT_EQ(label->text(), u"Ctrl+Alt+J"_qs);
    EXPECT_TRUE(shows(false));

    clear->click();
    EXPECT_EQ(label->text(), LocalizedText(Text::shortcutNotSet));
    EXPECT_FALSE(preferences.hasObjectForKey(StoreKeys::shortcutKey));
}

TEST_F(PreferencesPageTest, TheRowSaysWhatTheDesktopBoundOrHowToToggleWithoutGrabs)
{
    service.desktopBound = true;
    storeCtrlAltK();
    makePage();
    auto *note = child<QLabel>("lblbindingNote");
    EXPECT_EQ(note->text(), LocalizedText(Text::shortcutNotBoundYet));
    service.bind(u"Ctrl+Alt+K"_qs);
    EXPECT_EQ(note->text(), LocalizedText(Text::shortcutBoundByDesktop).arg(u"Ctrl+Alt+K"_qs));
    child<QToolButton>("btnrefreshShortcut")->click();
    EXPECT_FALSE(note->isVisible());

    makePage(false);
    EXPECT_TRUE(child<QLabel>("lblshortcutUnavailable")->text().contains(u"brimble --toggle"));
    EXPECT_FALSE(child<QPushButton>("btntypeShortcut")->isVisible());
}

} // namespace
