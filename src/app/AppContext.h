#pragma once

#include "platform/LoginItems.h"
#include "platform/PreferencesStore.h"
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
    AppContext(std::unique_ptr<PreferencesStore> preferencesStore, const QString &supportFolder,
               std::unique_ptr<LoginItems> loginItemService)
        : preferences(std::move(preferencesStore))
        , favorites(*preferences)
        , bookmarks(*preferences)
        , supportFiles(supportFolder, favorites)
        , loginItems(std::move(loginItemService))
    {
    }

    std::unique_ptr<PreferencesStore> preferences;
    FavoritesStore favorites;
    FileBookmarks bookmarks;
    SupportFiles supportFiles;
    SortSettings sortSettings;
    ViewLinks viewLinks;
    std::unique_ptr<LoginItems> loginItems;
};
