#include "quicklist/ItemActions.h"

#include "platform/FileRevealer.h"
#include "platform/UrlOpener.h"
#include "quicklist/QuickList.h"
#include "store/FavoritesHistory.h"
#include "store/FavoritesStore.h"
#include "store/LocalizedText.h"
#include "store/Sorting.h"
#include "store/SupportFiles.h"
#include "store/TextKeys.h"
#include "store/ViewLinks.h"

#include <QDir>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QMimeDatabase>

#include <algorithm>

Q_LOGGING_CATEGORY(lcItemActions, "brimble.quicklist")

namespace {

qsizetype digitRunEnd(QStringView text, qsizetype from)
{
    while (from < text.size() && text[from].isDigit())
        ++from;
    return from;
}

// Natural order, as file managers sort: runs of digits compare by their
// value ("file2" before "file10"), the rest without regard to letter case.
// QCollator's numeric mode does this only where ICU backs it, not in the C
// locale.
int naturalCompare(QStringView a, QStringView b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            const qsizetype endA = digitRunEnd(a, i);
            const qsizetype endB = digitRunEnd(b, j);
            QStringView runA = a.sliced(i, endA - i);
            QStringView runB = b.sliced(j, endB - j);
            while (runA.size() > 1 && runA.front() == u'0')
                runA = runA.sliced(1);
            while (runB.size() > 1 && runB.front() == u'0')
                runB = runB.sliced(1);
            if (runA.size() != runB.size())
                return runA.size() < runB.size() ? -1 : 1;
            if (const int order = runA.compare(runB); order != 0)
                return order;
            i = endA;
            j = endB;
            continue;
        }
        const QChar x = a[i].toCaseFolded();
        const QChar y = b[j].toCaseFolded();
        if (x != y)
            return x < y ? -1 : 1;
        ++i;
        ++j;
    }
    if (a.size() - i != b.size() - j)
        return (a.size() - i) < (b.size() - j) ? -1 : 1;
    return a.compare(b);
}

} // namespace

ItemActions::ItemActions(QuickList &quickList, FavoritesStore &favorites, const SortSettings &sortSettings,
                         SupportFiles &supportFiles, ViewLinks &viewLinks, DesktopServices desktop,
                         FavoritesHistory *history)
    : m_quickList(quickList)
    , m_favorites(favorites)
    , m_sortSettings(sortSettings)
    , m_supportFiles(supportFiles)
    , m_viewLinks(viewLinks)
    , m_desktop(desktop)
    , m_opener(supportFiles, desktop)
    , m_history(history)
{
}

ItemActions::Click ItemActions::clickRow(int row)
{
    if (row < 0 || row >= m_quickList.rowCount())
        return Click::nothing;
    if (m_quickList.isHeadingRow(row)) {
        m_quickList.toggleExpansion(row);
        return Click::toggledGroup;
    }
    const Item item = m_quickList.itemAt(row).value_or(Item());
    if (item.kind() == ItemKind::color)
        setClickedRow(row);
    switch (m_opener.open(item)) {
    case ItemOpener::Result::opened:
        return Click::opened;
    case ItemOpener::Result::openFailed:
        reportFailure(ItemOpener::openFailureText(item));
        return Click::openFailed;
    case ItemOpener::Result::copiedColor:
        return Click::copiedColor;
    case ItemOpener::Result::nothing:
        break;
    }
    return Click::nothing;
}

void ItemActions::setClickedRow(int row)
{
    m_clickedRow = row;
    m_clickedItem = m_quickList.itemAt(row).value_or(Item());
}

ItemActions::ContextMenu ItemActions::menuEntries(int row) const
{
    ContextMenu menu;
    if (row < 0 || row >= m_quickList.rowCount() || m_quickList.isHeadingRow(row))
        return menu;
    const Item item = m_quickList.itemAt(row).value_or(Item());
    menu.empty = false;
    menu.item = item;
    menu.link = m_supportFiles.withLocalPaths(item).link();
    menu.offersOpenWith = menu.link.has_value();
    menu.offersReveal = item.kind() == ItemKind::text && menu.link && menu.link->isLocalFile();
    menu.offersCopyColor = item.kind() == ItemKind::color;
    menu.pinned = item.isPinned();
    return menu;
}

ItemActions::ContextMenu ItemActions::menuWillOpen(int row)
{
    m_recommendedApps.clear();
    setClickedRow(row);
    ContextMenu menu = menuEntries(row);
    m_clickedURL = menu.link;
    if (m_clickedURL) {
        m_recommendedApps = m_desktop.applications.applicationsFor(*m_clickedURL);
        menu.recommendedApps = m_recommendedApps;
    }
    return menu;
}

bool ItemActions::copyColorCode(const Item &item)
{
    return m_opener.copyColorCode(item);
}

std::optional<ItemActions::StoredItem> ItemActions::storedItem(const Item &item) const
{
    const auto uid = item.uid();
    if (!uid)
        return std::nullopt;
    for (const Group &group : m_quickList.grouparr()) {
        const QString title = group.title();
        QList<Item> items = m_favorites.items(title);
        const int index = FavoritesStore::indexOfItem(items, *uid);
        if (index >= 0)
            return StoredItem{title, std::move(items), index};
    }
    return std::nullopt;
}

void ItemActions::pinItem(const Item &item)
{
    auto stored = storedItem(item);
    if (!stored)
        return;
    Item &pinned = stored->items[stored->index];
    const FavoritesHistoryStep step(m_history, pinned.isPinned() ? Text::unpinStep : Text::pinToTopStep);
    pinned.setPinned(!pinned.isPinned());
    m_favorites.setItems(stored->groupTitle, stored->items);
    Sorting::sortAllGroupItems(m_favorites, m_quickList.grouparr(), m_sortSettings);
    afterItemChange();
}

void ItemActions::removeItem(const Item &item)
{
    auto stored = storedItem(item);
    if (!stored)
        return;
    const FavoritesHistoryStep step(m_history, Text::removeItemStep, QStringList{stored->groupTitle});
    m_supportFiles.removeFilesOf(stored->items.at(stored->index));
    stored->items.removeAt(stored->index);
    m_favorites.setItems(stored->groupTitle, stored->items);
    afterItemChange();
}

void ItemActions::afterItemChange()
{
    // Rebuilds the grouped rows and, while searching, runs the search again.
    m_quickList.reloadQuickList();
    m_viewLinks.requestManagerGroupsReload();
}

bool ItemActions::openwithApplication(int index)
{
    if (!m_clickedURL || index < 0 || index >= m_recommendedApps.size())
        return false;
    return openWith(m_recommendedApps.at(index), *m_clickedURL);
}

bool ItemActions::openWith(const ApplicationInfo &application, const QUrl &link)
{
    const bool launched = m_desktop.applications.launch(application.id, link);
    if (!launched)
        reportFailure(LocalizedText(Text::noApplicationOpens).arg(link.fileName()));
    return launched;
}

void ItemActions::reportFailure(const QString &text) const
{
    if (m_reportFailure)
        m_reportFailure(text);
}

void ItemActions::openfile()
{
    if (m_clickedURL)
        reveal(*m_clickedURL);
}

void ItemActions::reveal(const QUrl &link)
{
    if (!link.isLocalFile())
        return;
    const QString path = link.toLocalFile();
    m_desktop.revealer.reveal(path, [reporter = m_reportFailure, path] {
        if (reporter)
            reporter(ItemOpener::revealFailureText(path));
    });
}

QString ItemActions::folderPathOf(const Item &item)
{
    return item.kind() == ItemKind::normalFile ? item.target() : QString();
}

ItemActions::FolderListing ItemActions::listFolder(const QString &folder, bool showFolderContents, int limit)
{
    FolderListing listing;
    listing.folder = folder;
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir())
        return listing;
    if (!info.isReadable() || !info.isExecutable()) {
        listing.unreadable = true;
        return listing;
    }
    const QDir dir(folder);
    QFileInfoList entries = dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                              QDir::Unsorted);
    if (!showFolderContents)
        entries.removeIf([](const QFileInfo &entry) { return !entry.isDir(); });
    std::sort(entries.begin(), entries.end(), [](const QFileInfo &a, const QFileInfo &b) {
        if (a.isDir() != b.isDir())
            return a.isDir();
        return naturalCompare(a.fileName(), b.fileName()) < 0;
    });
    listing.truncated = entries.size() > limit;
    const QMimeDatabase mimeTypes;
    for (const QFileInfo &entry : entries.mid(0, limit)) {
        listing.paths.append(entry.filePath());
        listing.iconNames.append(entry.isDir()
                                     ? QStringLiteral("folder")
                                     : mimeTypes.mimeTypeForFile(entry, QMimeDatabase::MatchExtension).iconName());
    }
    return listing;
}

bool ItemActions::openSubitem(int index)
{
    if (index < 0 || index >= m_patharr.size())
        return false;
    return m_desktop.urls.openUrl(QUrl::fromLocalFile(m_patharr.at(index)));
}

bool ItemActions::openFolder(const QString &folder)
{
    return m_desktop.urls.openUrl(QUrl::fromLocalFile(folder));
}
