#pragma once

#include "app/AppContext.h"
#include "hotkey/GlobalShortcut.h"
#include "hotkey/HotKeysController.h"
#include "hotkey/ShortcutRecorder.h"
#include "platform/FakeDesktopServices.h"
#include "platform/FakeHotKeyService.h"
#include "platform/FakePreferencesStore.h"
#include "store/LocalizedText.h"

#include "support/TestFolders.h"

#include <gtest/gtest.h>

// An application context over fakes, with the English texts, the global
// shortcut and its recorder, for driving the manager window's parts.
class ShellFixture : public ::testing::Test
{
protected:
    ShellFixture()
    {
        Localization::setTable(loadLanguageTable(QStringLiteral("English")));
        auto logins = std::make_unique<FakeLoginItems>();
        auto hotKeyService = std::make_unique<FakeHotKeyService>();
        loginItems = logins.get();
        hotKeys = hotKeyService.get();
        context = std::make_unique<AppContext>(std::make_unique<FakePreferencesStore>(), supportFolder.path(),
                                               AppContext::Platform{std::move(logins), std::move(hotKeyService),
                                                                    desktop.services()});
        HotKeysController::setService(hotKeys);
        shortcut = std::make_unique<GlobalShortcut>(*context->preferences, [] {});
        recorder = std::make_unique<ShortcutRecorder>(*context->preferences, *shortcut);
    }
    ~ShellFixture() override
    {
        recorder.reset();
        shortcut.reset();
        HotKeysController::setService(nullptr);
        Localization::setTable(std::nullopt);
    }

    PreferencesStore &preferences() { return *context->preferences; }

    TestFolder supportFolder;
    FakeDesktopServices desktop;
    FakeLoginItems *loginItems = nullptr;
    FakeHotKeyService *hotKeys = nullptr;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<GlobalShortcut> shortcut;
    std::unique_ptr<ShortcutRecorder> recorder;
};
