#include "hotkey/ShortcutRecorder.h"
#include "hotkey/GlobalShortcut.h"
#include "hotkey/HotKey.h"
#include "hotkey/HotKeysController.h"
#include "hotkey/ShortcutKeyPress.h"
#include "hotkey/ShortcutRecorderView.h"
#include "platform/FakeHotKeyService.h"
#include "platform/FakePreferencesStore.h"
#include "store/LocalizedText.h"
#include "store/StoreKeys.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

constexpr int page = ShortcutRecorder::preferencesPage;
constexpr auto ctrl = Qt::ControlModifier;

class FakeRecorderView final : public ShortcutRecorderView
{
public:
    void setShortcutLabel(const QString &text) override { label = text; }
    void setClearButtonVisible(bool visible) override { clearVisible = visible; }
    void setRecordButtonActive(bool active) override { recordActive = active; }
    void setMenuKeyEquivalentsEnabled(bool enabled) override { menusEnabled = enabled; }
    void setDimmed(bool value) override { dimmed = value; }
    void showAlert(const QString &message, const QString &button, std::function<void()> dismissed) override
    {
        alerts.append(message + u'|' + button);
        onDismiss = std::move(dismissed);
    }
    void dismiss() { std::exchange(onDismiss, {})(); }
    void setBindingNote(const QString &) override { } // the note is checked on the preferences page

    QString label;
    bool clearVisible = false, recordActive = false, menusEnabled = true, dimmed = false;
    QStringList alerts;
    std::function<void()> onDismiss;
};

class ShortcutRecorderTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        Localization::setTable(QVariantMap{{u"IDS_BR_1"_qs, u"taken"_qs},
                                           {u"IDS_BR_2"_qs, u"OK"_qs},
                                           {u"IDS_BR_83"_qs, u"none"_qs},
                                           {u"IDS_BR_107"_qs, u"Ctrl"_qs},
                                           {u"IDS_BR_108"_qs, u"Alt"_qs},
                                           {u"IDS_BR_109"_qs, u"Super"_qs},
                                           {u"IDS_BR_110"_qs, u"Shift"_qs},
                                           {u"IDS_BR_114"_qs, u"no grabs"_qs}});
        HotKeysController::setService(&service);
        recorder.setView(&view);
    }
    void TearDown() override
    {
        HotKeysController::setService(nullptr);
        Localization::setTable(std::nullopt);
    }

    bool press(int qtKey, Qt::KeyboardModifiers modifiers)
    {
        return recorder.keyPressed(ShortcutKeyPress::fromQt(qtKey, modifiers), page);
    }
    QVariant stored(QLatin1String key) const { return preferences.objectForKey(key); }
    const FakeHotKeyService::Registration *registered() const
    {
        return service.registrations.isEmpty() ? nullptr : &service.registrations.first();
    }
    // The stored key and modifier codes, and the combination registered.
    void expectShortcut(const QString &key, const QVariantList &flags, quint32 keyCode, quint32 modifiers)
    {
        EXPECT_EQ(stored(StoreKeys::shortcutKey), QVariant(key));
        EXPECT_EQ(stored(StoreKeys::shortcutflag), QVariant(flags));
        ASSERT_TRUE(registered());
        EXPECT_EQ(registered()->keyCode, keyCode);
        EXPECT_EQ(registered()->modifiers, modifiers);
    }

    FakeHotKeyService service;
    FakePreferencesStore preferences;
    int popovers = 0;
    GlobalShortcut shortcut{preferences, [this] { ++popovers; }};
    ShortcutRecorder recorder{preferences, shortcut};
    FakeRecorderView view;
};

TEST_F(ShortcutRecorderTest, RecordsStoresAndRegistersAShortcut)
{
    recorder.startRecording();
    EXPECT_FALSE(view.menusEnabled);
    EXPECT_TRUE(recorder.modifiersChanged(ModifierFlags(ModifierFlags::command), page));
    EXPECT_EQ(view.label, u"Ctrl+"_qs);

    EXPECT_TRUE(press(Qt::Key_K, ctrl));
    expectShortcut(u"k"_qs, {11}, 0x28, 0x100);
    EXPECT_EQ(view.label, u"Ctrl+K"_qs);
    EXPECT_FALSE(recorder.isRecordingShortcut());
    EXPECT_TRUE(view.clearVisible && view.menusEnabled);

    // Recording again unregisters until a new key comes.
    recorder.startRecording();
    EXPECT_FALSE(registered());
    EXPECT_TRUE(press(Qt::Key_F5, ctrl | Qt::AltModifier | Qt::ShiftModifier | Qt::MetaModifier));
    expectShortcut(u"f5"_qs, {12, 13, 14, 11}, 0x60, 0x1B00);
    EXPECT_EQ(view.label, u"Super+Ctrl+Alt+Shift+F5"_qs);

    // Shift and "." give ">", which names the period key.
    recorder.startRecording();
    EXPECT_TRUE(press(Qt::Key_Greater, ctrl | Qt::ShiftModifier));
    expectShortcut(u"."_qs, {14, 11}, 0x2F, 0x300);

    // The hot key shows the popup.
    EXPECT_EQ(service.press(HotKeysController::hotKeySignature, registered()->id.id), 0);
    EXPECT_EQ(popovers, 1);
}

TEST_F(ShortcutRecorderTest, RefusesReservedOrTypingCombinationsAndTheKeyboardCanLeave)
{
    recorder.startRecording();
    press(Qt::Key_K, ctrl | Qt::AltModifier);
    EXPECT_FALSE(press(Qt::Key_K, ctrl)) << "not recording";
    recorder.startRecording();
    EXPECT_FALSE(recorder.keyPressed(ShortcutKeyPress::fromQt(Qt::Key_K, ctrl), 0)) << "another page";
    EXPECT_FALSE(recorder.modifiersChanged(ModifierFlags(ModifierFlags::command), 0));

    // Reserved Ctrl combinations, no Ctrl, Alt or Super, or Tab: the alert;
    // keys no shortcut can use: nothing. Recording goes on either way.
    const std::tuple<int, Qt::KeyboardModifiers, bool> cases[] = {
        {Qt::Key_Q, ctrl, true},
        {Qt::Key_Return, ctrl, true},
        {Qt::Key_K, Qt::ShiftModifier, true},
        {Qt::Key_K, {}, true},
        {Qt::Key_F5, Qt::ShiftModifier, true},
        {Qt::Key_Tab, ctrl, true},
        {Qt::Key_Backtab, Qt::AltModifier | Qt::ShiftModifier, true},
        {Qt::Key_Exclam, ctrl | Qt::ShiftModifier, false},
        {Qt::Key_Up, ctrl, false}};
    for (const auto &[key, modifiers, alert] : cases) {
        EXPECT_TRUE(press(key, modifiers)) << key;
        EXPECT_EQ(view.alerts, alert ? QStringList{u"taken|OK"_qs} : QStringList()) << key;
        if (alert)
            view.dismiss(); // the page's dimming is checked with the preferences page
        view.alerts.clear();
        EXPECT_TRUE(recorder.isRecordingShortcut());
        EXPECT_FALSE(registered());
    }

    // Escape ends the recording and keeps the shortcut from before it.
    EXPECT_TRUE(press(Qt::Key_Escape, {}));
    EXPECT_FALSE(recorder.isRecordingShortcut());
    EXPECT_TRUE(view.menusEnabled && !view.recordActive && view.clearVisible);
    expectShortcut(u"k"_qs, {13, 11}, 0x28, 0x900);
    EXPECT_EQ(view.label, u"Ctrl+Alt+K"_qs);

    // Tab and Shift+Tab are left to move the focus, and end the recording too.
    for (const auto &[key, modifiers] :
         {std::pair{Qt::Key_Tab, Qt::KeyboardModifiers()}, {Qt::Key_Backtab, Qt::ShiftModifier}}) {
        recorder.startRecording();
        EXPECT_FALSE(press(key, modifiers)) << key;
        EXPECT_FALSE(recorder.isRecordingShortcut());
        expectShortcut(u"k"_qs, {13, 11}, 0x28, 0x900);
    }
    EXPECT_TRUE(view.alerts.isEmpty());

    // A reserved key with one more modifier is fine.
    recorder.startRecording();
    EXPECT_TRUE(press(Qt::Key_Q, ctrl | Qt::AltModifier));
    expectShortcut(u"q"_qs, {13, 11}, 0x0C, 0x900);
}

TEST_F(ShortcutRecorderTest, LettingGoOfEveryModifierClearingOrLeavingThePage)
{
    preferences.setObject(u"k"_qs, StoreKeys::shortcutKey);
    preferences.setObject(QVariantList{11}, StoreKeys::shortcutflag);
    shortcut.restore();
    ASSERT_TRUE(registered());

    // Leaving an unfinished recording registers the stored shortcut again.
    recorder.startRecording();
    EXPECT_FALSE(registered());
    recorder.pageWillDisappear();
    EXPECT_TRUE(!recorder.isRecordingShortcut() && view.menusEnabled);
    ASSERT_TRUE(registered());
    EXPECT_EQ(registered()->modifiers, 0x100u);

    recorder.startRecording();
    recorder.modifiersChanged(ShortcutKeyPress::modifiersAfter(Qt::Key_Control, true, {}), page);
    EXPECT_TRUE(recorder.isRecordingShortcut());
    recorder.modifiersChanged(ShortcutKeyPress::modifiersAfter(Qt::Key_Control, false, ctrl), page);
    EXPECT_FALSE(recorder.isRecordingShortcut());
    EXPECT_FALSE(preferences.hasObjectForKey(StoreKeys::shortcutKey)
                 || preferences.hasObjectForKey(StoreKeys::shortcutflag));
    EXPECT_EQ(view.label, u"none"_qs);

    recorder.startRecording();
    press(Qt::Key_J, ctrl);
    recorder.clearShortcut();
    EXPECT_FALSE(registered());
    EXPECT_FALSE(preferences.hasObjectForKey(StoreKeys::shortcutKey));
}

TEST_F(ShortcutRecorderTest, ARefusedRegistrationTellsTheUserAndRecordsAnew)
{
    service.taken.append({0x28, 0x100});
    recorder.startRecording();
    press(Qt::Key_K, ctrl);
    EXPECT_EQ(view.alerts.value(0), u"taken|OK"_qs);
    EXPECT_TRUE(view.dimmed);
    EXPECT_EQ(view.label, QString());
    // Kept, so that the next start tries it again.
    EXPECT_EQ(stored(StoreKeys::shortcutKey), QVariant(u"k"_qs));

    view.dismiss();
    EXPECT_TRUE(recorder.isRecordingShortcut() && !view.dimmed);

    // Leaving the page does not try the refused shortcut once more.
    recorder.pageWillDisappear();
    EXPECT_EQ(view.alerts.size(), 1);
    EXPECT_EQ(view.label, u"none"_qs);

    // Without global grabs the user is told what to do instead.
    service.available = false;
    recorder.startRecording();
    press(Qt::Key_K, ctrl);
    EXPECT_EQ(view.alerts.value(1), u"no grabs|OK"_qs);
    view.dismiss();
    EXPECT_FALSE(recorder.isRecordingShortcut());
    EXPECT_EQ(view.label, u"none"_qs);
}

TEST_F(ShortcutRecorderTest, LaunchRegistersOnlyWellFormedStoredShortcutsAndKeepsTheRest)
{
    const struct
    {
        QVariant key, flags;
        quint32 modifiers; // 0: nothing registered
        std::optional<QString> shown;
    } cases[] = {
        {u"k"_qs, QVariantList{99, u"11"_qs, 14, 11, 1.5}, 0x300, u"Ctrl+Shift+K"_qs},
        {u"k"_qs, QVariantList{}, 0, std::nullopt},
        {u"!"_qs, QVariantList{11}, 0, QString()}, // names no key: not the key "a" either, and not shown
        {7, u"11"_qs, 0, std::nullopt},
        // What would break typing, stored by an earlier version.
        {u"\t"_qs, QVariantList{14}, 0, QString()},
        {u"k"_qs, QVariantList{14}, 0, QString()},
        {u"\t"_qs, QVariantList{11}, 0, QString()},
    };
    for (const auto &c : cases) {
        preferences.setObject(c.key, StoreKeys::shortcutKey);
        preferences.setObject(c.flags, StoreKeys::shortcutflag);
        GlobalShortcut atLaunch(preferences, {});
        atLaunch.restore();
        EXPECT_EQ(registered() ? registered()->modifiers : 0, c.modifiers) << c.key.toString().toStdString();
        EXPECT_EQ(atLaunch.hotKey() != nullptr, c.modifiers != 0);
        if (c.shown) {
            EXPECT_EQ(atLaunch.readableShortcut(), *c.shown);
        }
        EXPECT_EQ(stored(StoreKeys::shortcutKey), c.key);
    }
}

} // namespace
