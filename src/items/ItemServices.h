#pragma once

class FaviconFetcher;
class FavoritesStore;
class FileBookmarks;
class SupportFiles;
class ViewLinks;
struct SortSettings;

// What creating an item needs from the rest of the application. Every
// member is owned by the application and outlives the users of this.
struct ItemServices
{
    FavoritesStore &favorites;
    SupportFiles &supportFiles;
    FileBookmarks &fileBookmarks;
    const SortSettings &sortSettings;
    ViewLinks &links;
    FaviconFetcher &faviconFetcher;
};
