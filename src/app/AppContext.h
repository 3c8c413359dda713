#pragma once

#include "items/FaviconFetcher.h"
#include "platform/DesktopServices.h"
#include "platform/HotKeyService.h"
#include "platform/LoginItems.h"
#include "platform/PreferencesStore.h"
#include "platform/StatusItem.h"
#include "store/FavoritesHistory.h"
#include "store/FavoritesStore.h"
#include "store/FileBookmarks.h"
#include "store/Sorting.h"
#include "store/SupportFiles.h"
#include "store/ViewLinks.h"

#include <memory>

// The objects every part of the running application shares: the stores,
// the process-wide sort settings and view links, and the platform services.
struct AppContext
{
    struct Platform
    {
        std::unique_ptr<LoginItems> loginItems;
        std::unique_ptr<HotKeyService> hotKeys;
        DesktopServices desktop;
        // The tray icon; none means the session's own (createStatusItem()).
        std::unique_ptr<StatusItem> statusItem = {};
    };

    AppContext(std::unique_ptr<PreferencesStore> preferencesStore, const QString &supportFolder, Platform platform)
        : preferences(std::move(preferencesStore))
        , favorites(*preferences)
        , bookmarks(*preferences)
        , supportFiles(supportFolder, favorites)
        , loginItems(std::move(platform.loginItems))
        , hotKeys(std::move(platform.hotKeys))
        , desktop(platform.desktop)
        , statusItem(std::move(platform.statusItem))
    {
    }

    std::unique_ptr<PreferencesStore> preferences;
    FavoritesStore favorites;
    FileBookmarks bookmarks;
    SupportFiles supportFiles;
    SortSettings sortSettings;
    ViewLinks viewLinks;
    FaviconFetcher faviconFetcher;
    // The session's undo history, shared by the popup and the manager window.
    FavoritesHistory history{favorites, supportFiles, sortSettings, viewLinks};
    std::unique_ptr<LoginItems> loginItems;
    std::unique_ptr<HotKeyService> hotKeys;
    DesktopServices desktop;
    std::unique_ptr<StatusItem> statusItem;
};
