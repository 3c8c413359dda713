#pragma once

#include "platform/ApplicationRegistry.h"
#include "platform/DesktopServices.h"
#include "quicklist/ItemOpener.h"
#include "store/Item.h"

#include <QList>
#include <QStringList>
#include <QUrl>

#include <functional>

#include <optional>

class FavoritesHistory;
class FavoritesStore;
class QuickList;
class SupportFiles;
class ViewLinks;
struct SortSettings;

// What the rows of the popup do: a click, the item context menu's actions
// and the folder-contents menu. Acts on the rows of a QuickList and changes
// the store at once.
class ItemActions final
{
public:
    ItemActions(QuickList &quickList, FavoritesStore &favorites, const SortSettings &sortSettings,
                SupportFiles &supportFiles, ViewLinks &viewLinks, DesktopServices desktop,
                FavoritesHistory *history = nullptr);

    enum class Click { nothing, toggledGroup, opened, openFailed, copiedColor };
    // Told, in words for the user, when an item, an application or the file
    // manager did not open; a reveal may fail after it returned.
    using FailureReporter = std::function<void(const QString &text)>;
    void setFailureReporter(FailureReporter reporter) { m_reportFailure = std::move(reporter); }

    // A click on a row: a heading toggles its group, an item opens as
    // ItemOpener opens it.
    Click clickRow(int row);

    // The item context menu of a row, as the menu shows it.
    // Its entries act on item, bound when the menu opens, whatever happens
    // to the rows while it is open.
    struct ContextMenu
    {
        bool empty = true;
        Item item;
        // What "open with" and "reveal" act on: Item::link.
        std::optional<QUrl> link;
        bool offersOpenWith = false;
        QList<ApplicationInfo> recommendedApps;
        bool offersReveal = false;
        bool offersCopyColor = false;
        bool pinned = false;
    };
    // Remembers row as clickedRow, its item, and its link as clickedURL.
    ContextMenu menuWillOpen(int row);
    // The same entries, remembering nothing and without the applications
    // to open the link with (a screen reader asks for them often).
    ContextMenu menuEntries(int row) const;
    int clickedRow() const { return m_clickedRow; }
    // Remembers row and the item shown there now.
    void setClickedRow(int row);
    std::optional<QUrl> clickedURL() const { return m_clickedURL; }
    const QList<ApplicationInfo> &recommendedApps() const { return m_recommendedApps; }

    // Copies "#" and the colour code of the clicked item.
    bool CopyColorCode() { return copyColorCode(m_clickedItem); }
    // Pins the clicked item, or unpins it, in the first group that holds
    // its uid, then sorts every group's items.
    void PinItem() { pinItem(m_clickedItem); }
    // Removes the clicked item from the first group holding its uid, with
    // its note body and bookmark icon.
    void removeSelectedItem() { removeItem(m_clickedItem); }
    // Opens clickedURL with recommendedApps()[index].
    bool openwithApplication(int index);
    // Shows clickedURL's file in the file manager.
    void openfile();

    // The same for a given item (found again by its uid) and link.
    bool copyColorCode(const Item &item);
    void pinItem(const Item &item);
    void removeItem(const Item &item);
    bool openWith(const ApplicationInfo &application, const QUrl &link);
    void reveal(const QUrl &link);

    // A folder's entries for its contents menu, as full paths: every entry
    // (hidden ones too) when showFolderContents, else only the folders;
    // folders first, then files, each in natural order ("2" before "10"),
    // at most limit of them. Reads the disk: safe to run on any thread.
    static constexpr int folderMenuLimit = 200;
    struct FolderListing
    {
        QString folder;
        QStringList paths;
        // Theme icon names of paths, as the MIME database gives them.
        QStringList iconNames;
        // More entries than limit: the menu offers the folder itself.
        bool truncated = false;
        // The folder exists but its entries cannot be read: the menu says so.
        bool unreadable = false;
    };
    static FolderListing listFolder(const QString &folder, bool showFolderContents, int limit = folderMenuLimit);
    // The folder a row's item may list: the path of a file item; empty for
    // other kinds. Whether it is a folder is for listFolder to find.
    static QString folderPathOf(const Item &item);

    // The entries of the folder menu being shown.
    void setPatharr(const QStringList &paths) { m_patharr = paths; }
    const QStringList &patharr() const { return m_patharr; }
    bool openSubitem(int index);
    bool openFolder(const QString &folder);

private:
    void reportFailure(const QString &text) const;

    // The clicked item's place in the store: the first group whose items
    // hold its uid, those items, and the item's index among them.
    struct StoredItem
    {
        QString groupTitle;
        QList<Item> items;
        int index = -1;
    };
    std::optional<StoredItem> storedItem(const Item &item) const;
    void afterItemChange();

    QuickList &m_quickList;
    FavoritesStore &m_favorites;
    const SortSettings &m_sortSettings;
    SupportFiles &m_supportFiles;
    ViewLinks &m_viewLinks;
    DesktopServices m_desktop;
    ItemOpener m_opener;
    // Where pins and removals are recorded for undo; none: they are not.
    FavoritesHistory *m_history;

    int m_clickedRow = -1;
    Item m_clickedItem;
    std::optional<QUrl> m_clickedURL;
    QList<ApplicationInfo> m_recommendedApps;
    QStringList m_patharr;
    FailureReporter m_reportFailure;
};
