#pragma once

#include "items/ItemServices.h"
#include "platform/DesktopServices.h"

class ColorTagPicker;
class FaviconFetcher;
class FavoritesHistory;
class FavoritesStore;
class FileBookmarks;
class PreferencesStore;
struct SortSettings;
class SupportFiles;
class ViewLinks;

// What the manager page works with. Every member is owned by the
// application (AppContext and the application delegate) and outlives the page.
struct ManagerServices
{
    FavoritesStore &favorites;
    SupportFiles &supportFiles;
    FileBookmarks &fileBookmarks;
    SortSettings &sortSettings;
    ViewLinks &viewLinks;
    FaviconFetcher &faviconFetcher;
    // The character palette's recent characters live here.
    PreferencesStore &preferences;
    DesktopServices desktop;
    // The process's one colour-tag picker, shared with the popup.
    ColorTagPicker &selectTagvc;
    // Where changes are recorded for undo; none: they are not.
    FavoritesHistory *history = nullptr;

    // The part the item panels work with.
    ItemServices items() const
    {
        return {favorites, supportFiles, fileBookmarks, sortSettings, viewLinks, faviconFetcher};
    }
};
