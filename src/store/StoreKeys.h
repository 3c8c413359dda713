#pragma once

#include <QLatin1String>

// The keys of the preferences store that Brimble owns.
namespace StoreKeys {
inline constexpr QLatin1String allgroups("allgroups");
inline constexpr QLatin1String uniqueid("uniqueid");
inline constexpr QLatin1String allBookmark("allBookmark");
inline constexpr QLatin1String checkUniquiidAdded("checkUniquiidAdded");
inline constexpr QLatin1String first("first");
inline constexpr QLatin1String selectedLanguage("selectedLanguage");
inline constexpr QLatin1String loginStartStatus("LoginStartStatus");
inline constexpr QLatin1String showFileListInFolder("ShowFileListInFolder");
inline constexpr QLatin1String shortcutKey("shortcutKey");
inline constexpr QLatin1String shortcutflag("shortcutflag");
inline constexpr QLatin1String tasks("tasks");
// The character palette's most recently chosen characters.
inline constexpr QLatin1String recentCharacters("recentCharacters");

// Every key above: a group's items stored under its bare title (the layout
// other tools write) are never taken from one of these.
inline constexpr QLatin1String reserved[] = {
    allgroups,
    uniqueid,
    allBookmark,
    checkUniquiidAdded,
    first,
    selectedLanguage,
    loginStartStatus,
    showFileListInFolder,
    shortcutKey,
    shortcutflag,
    tasks,
    recentCharacters,
};

// Each group's item list lives under this prefix followed by the group's
// title, so that no title can ever collide with one of the keys above.
inline constexpr QLatin1String itemListPrefix("items:");
} // namespace StoreKeys

// The keys of the group and item records.
namespace RecordKeys {
inline constexpr QLatin1String title("title");
inline constexpr QLatin1String isHeader("isHeader");
inline constexpr QLatin1String isExpanded("isExpanded");
inline constexpr QLatin1String color("color");
inline constexpr QLatin1String uid("uid");
inline constexpr QLatin1String date("date");
inline constexpr QLatin1String isPin("isPin");
inline constexpr QLatin1String isnormalFile("isnormalFile");
inline constexpr QLatin1String isbookmark("isbookmark");
inline constexpr QLatin1String istext("istext");
inline constexpr QLatin1String iscolor("iscolor");
inline constexpr QLatin1String url("url");
inline constexpr QLatin1String Weburl("Weburl");
inline constexpr QLatin1String imgpath("imgpath");
} // namespace RecordKeys
