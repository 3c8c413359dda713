#pragma once

#include "app/AppContext.h"
#include "app/AppDelegate.h"
#include "hotkey/GlobalShortcut.h"
#include "hotkey/HotKeysController.h"
#include "hotkey/ShortcutRecorder.h"
#include "platform/FakeDesktopServices.h"
#include "platform/FakeHotKeyService.h"
#include "platform/FakePreferencesStore.h"
#include "platform/FakeStatusItem.h"
#include "store/LocalizedText.h"
#include "store/StoreKeys.h"

#include "support/TestFolders.h"

#include <gtest/gtest.h>

#include <functional>

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

// The delegate launched in-process over fakes and a fake tray.
struct LaunchedApp
{
    struct Options
    {
        bool firstRunOver = true; // "first" stored
        bool atLogin = false;     // started by the login helper
        std::function<void(PreferencesStore &)> store = {};
        bool trayAvailable = true;
        QRect iconGeometry = {};
    };

    explicit LaunchedApp(const Options &options)
    {
        auto stored = std::make_unique<FakePreferencesStore>();
        if (options.firstRunOver)
            stored->setInteger(1, StoreKeys::first);
        if (options.store)
            options.store(*stored);
        auto logins = std::make_unique<FakeLoginItems>();
        auto hotKeyService = std::make_unique<FakeHotKeyService>();
        auto tray = std::make_unique<FakeStatusItem>();
        loginItems = logins.get();
        hotKeys = hotKeyService.get();
        statusItem = tray.get();
        loginItems->helperRunning = options.atLogin;
        tray->available = options.trayAvailable;
        tray->iconGeometry = options.iconGeometry;
        context = std::make_unique<AppContext>(std::move(stored), supportFolder.path(),
                                               AppContext::Platform{std::move(logins), std::move(hotKeyService),
                                                                    desktop.services(), std::move(tray)});
        delegate = std::make_unique<AppDelegate>(*context);
        delegate->applicationDidFinishLaunching();
    }

    TestFolder supportFolder;
    FakeDesktopServices desktop;
    FakeLoginItems *loginItems = nullptr;
    FakeHotKeyService *hotKeys = nullptr;
    FakeStatusItem *statusItem = nullptr;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<AppDelegate> delegate;
};
