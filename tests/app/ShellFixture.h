#pragma once

#include "app/AppContext.h"
#include "app/AppDelegate.h"
#include "app/WindowState.h"
#include "hotkey/GlobalShortcut.h"
#include "hotkey/HotKeysController.h"
#include "hotkey/ShortcutRecorder.h"
#include "platform/FakeDesktopServices.h"
#include "platform/FakeHotKeyService.h"
#include "platform/FakePreferencesStore.h"
#include "platform/FakeStatusItem.h"
#include "platform/PlistPreferencesStore.h"
#include "store/LocalizedText.h"
#include "store/StoreKeys.h"

#include "support/TestFolders.h"

#include <gtest/gtest.h>

#include <QFile>

#include <functional>

// The application context over fakes and a fake tray, and the delegate
// launched in-process over it.
struct LaunchedApp
{
    struct Options
    {
        bool firstRunOver = true; // "first" stored
        bool atLogin = false;     // started by the login helper
        std::function<void(PreferencesStore &)> store = {};
        bool trayAvailable = true;
        QRect iconGeometry = {};
        bool launch = true; // false: the context alone, no delegate
        AppDelegate::Opening opening = AppDelegate::Opening::managerWindow;
        // The store in this file, followed as the application follows it,
        // instead of in memory.
        QString preferencesFile = {};
        // How an earlier test left the manager window is forgotten, unless
        // this test restarts on purpose.
        bool keepWindowState = false;
    };

    explicit LaunchedApp(const Options &options)
    {
        if (!options.keepWindowState)
            QFile::remove(WindowState::defaultFile());
        std::unique_ptr<PreferencesStore> stored;
        PlistPreferencesStore *file = nullptr;
        if (options.preferencesFile.isEmpty()) {
            stored = std::make_unique<FakePreferencesStore>();
        } else {
            auto onDisk = std::make_unique<PlistPreferencesStore>(options.preferencesFile);
            file = onDisk.get();
            stored = std::move(onDisk);
        }
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
        context = std::make_unique<AppContext>(
            std::move(stored), supportFolder.path(),
            AppContext::Platform{std::move(logins), std::move(hotKeyService), desktop.services(), std::move(tray)});
        if (!options.launch)
            return;
        delegate = std::make_unique<AppDelegate>(*context);
        delegate->applicationDidFinishLaunching(options.opening);
        if (file)
            delegate->followPreferencesFile(*file);
    }

    TestFolder supportFolder;
    FakeDesktopServices desktop;
    FakeLoginItems *loginItems = nullptr;
    FakeHotKeyService *hotKeys = nullptr;
    FakeStatusItem *statusItem = nullptr;
    std::unique_ptr<AppContext> context;
    std::unique_ptr<AppDelegate> delegate;
};

// The context, before the first run, with the English texts, the global
// shortcut and its recorder, for driving the manager window's parts.
class ShellFixture : public ::testing::Test, protected LaunchedApp
{
protected:
    ShellFixture()
        : LaunchedApp({.firstRunOver = false, .launch = false})
    {
        Localization::setTable(loadLanguageTable(QStringLiteral("English")));
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

    std::unique_ptr<GlobalShortcut> shortcut;
    std::unique_ptr<ShortcutRecorder> recorder;
};
