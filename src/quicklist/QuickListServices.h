#pragma once

#include "platform/DesktopServices.h"

class ColorTagPicker;
class FavoritesHistory;
class FavoritesStore;
class PreferencesStore;
struct SortSettings;
class SupportFiles;
class ViewLinks;

// What the popup works with. Every member is owned by the application and
// outlives the popup.
struct QuickListServices
{
    FavoritesStore &favorites;
    // The task list and the folder menu's setting live here.
    PreferencesStore &preferences;
    SortSettings &sortSettings;
    SupportFiles &supportFiles;
    ViewLinks &viewLinks;
    DesktopServices desktop;
    // The process's one colour-tag picker, shared with the manager window.
    ColorTagPicker &selectTagvc;
    // Where changes are recorded for undo; none: they are not.
    FavoritesHistory *history = nullptr;
};
