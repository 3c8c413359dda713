#include "items/ItemEditor.h"

#include "items/BookmarkAddress.h"
#include "items/FaviconFetcher.h"
#include "items/ItemsLog.h"
#include "platform/RegularFile.h"
#include "store/FavoritesStore.h"
#include "store/SupportFiles.h"
#include "store/TextKeys.h"
#include "store/ViewLinks.h"

#include <QFileInfo>

#include <memory>

namespace {
constexpr auto missingTitle = Text::titleMissing;
constexpr auto itemGone = Text::itemGone;
constexpr auto groupGone = Text::groupGone;

// The group and the record of the bookmark uid, while it still opens address.
std::optional<std::pair<QString, Item>> findBookmark(const FavoritesStore &favorites, qint64 uid,
                                                     const QString &address)
{
    for (const QString &title : favorites.groupTitles()) {
        const std::optional<Item> item = favorites.findItem(title, uid);
        if (item && item->kind() == ItemKind::bookmark && item->target() == address)
            return std::pair{title, *item};
    }
    return std::nullopt;
}

// Points the bookmark at its newly arrived icon and lets the old one go.
void takeArrivedIcon(const ItemServices &services, qint64 uid, const QString &address, const QString &icon)
{
    const auto found = findBookmark(services.favorites, uid, address);
    if (!found)
        return;
    const auto &[groupTitle, before] = *found;
    QList<Item> items = services.favorites.items(groupTitle);
    const int index = FavoritesStore::indexOfItem(items, uid);
    if (index < 0)
        return;
    items[index].setIconPath(icon);
    services.favorites.setItems(groupTitle, items);
    services.supportFiles.removeFilesOf(before);
    services.links.requestQuickListReload();
    services.links.requestManagerGroupsReload();
}

// Loads the icon of a bookmark's new address into a file of its own; the
// bookmark keeps showing its old icon until the new one has arrived, and
// for good when it never does (the network is away, the site has none).
void fetchReplacementIcon(const ItemServices &services, qint64 uid, const QString &address)
{
    const QString icon = services.supportFiles.newFilePath(QStringLiteral(".png"));
    FaviconFetcher &fetcher = services.faviconFetcher;
    // Ends itself when the icon has arrived or failed; the fetcher owns it
    // from the moment the fetch has begun.
    auto owned = std::make_unique<QObject>(&fetcher);
    QObject *arrival = owned.get();
    QObject::connect(&fetcher, &FaviconFetcher::iconSaved, arrival, [=](const QString &path) {
        if (path != icon)
            return;
        arrival->deleteLater();
        takeArrivedIcon(services, uid, address, icon);
    });
    QObject::connect(&fetcher, &FaviconFetcher::iconFailed, arrival, [=](const QString &path) {
        if (path == icon)
            arrival->deleteLater();
    });
    const FavoritesStore &favorites = services.favorites;
    if (fetcher.fetch(BookmarkAddress::iconAddress(address), icon,
                      [&favorites, uid, address] { return findBookmark(favorites, uid, address).has_value(); }))
        owned.release();
}
} // namespace

ItemEditor::ItemEditor(const ItemServices &services)
    : m_services(services)
    , m_factory(services)
{
}

ItemResult ItemEditor::make(PanelKind kind, const PanelFields &fields)
{
    switch (kind) {
    case PanelKind::webBookmark:
        return m_factory.makeBookmark(fields.title, fields.address);
    case PanelKind::textFile:
        return m_factory.makeNote(fields.title, fields.noteText);
    case PanelKind::colorWell:
        break;
    }
    return m_factory.makeColor(fields.title, fields.color);
}

ItemResult ItemEditor::add(const QString &groupTitle, PanelKind kind, const PanelFields &fields)
{
    // The group may have been deleted from the popup while the panel was up;
    // its items would be stored where no group shows them.
    if (!m_services.favorites.hasGroupTitled(groupTitle))
        return ItemResult::refused(groupGone);
    const ItemResult result = make(kind, fields);
    if (result.ok())
        m_services.favorites.appendItemToGroup(groupTitle, *result.item);
    return result;
}

ItemResult ItemEditor::edit(const QString &groupTitle, qint64 uid, PanelKind kind, const PanelFields &fields)
{
    QList<Item> items = m_services.favorites.items(groupTitle);
    const int index = FavoritesStore::indexOfItem(items, uid);
    if (index < 0)
        return ItemResult::refused(itemGone);
    const Item old = items.at(index);
    // A bookmark whose address stays keeps its icon: fetching it again
    // would give the row the generic icon for as long as the network is
    // away, or for good when the site no longer serves one.
    if (kind == PanelKind::webBookmark && old.kind() == ItemKind::bookmark && fields.address == old.target())
        return retitleBookmark(groupTitle, items, index, fields);
    if (kind == PanelKind::webBookmark && old.kind() == ItemKind::bookmark && old.uid())
        return readdressBookmark(groupTitle, items, index, fields);
    const ItemResult made = make(kind, fields);
    if (!made.ok())
        return made;
    // The new contents, in the record read: the pin is the user's choice
    // about the item, not about its contents, and keys that another program
    // or a later version keeps in it are not ours to drop.
    Item &item = items[index];
    item.setTitle(made.item->title());
    item.setTarget(made.item->target());
    if (made.item->kind() == ItemKind::bookmark)
        item.setIconPath(made.item->iconPath());
    m_services.favorites.setItems(groupTitle, items);
    m_services.supportFiles.removeFilesOf(old);
    return ItemResult::made(item);
}

ItemResult ItemEditor::retitleBookmark(const QString &groupTitle, QList<Item> &items, int index,
                                       const PanelFields &fields)
{
    if (const auto refusal = ItemFactory::bookmarkRefusal(fields.title, fields.address))
        return ItemResult::refused(*refusal);
    items[index].setTitle(fields.title);
    m_services.favorites.setItems(groupTitle, items);
    return ItemResult::made(items.at(index));
}

ItemResult ItemEditor::readdressBookmark(const QString &groupTitle, QList<Item> &items, int index,
                                         const PanelFields &fields)
{
    if (const auto refusal = ItemFactory::bookmarkRefusal(fields.title, fields.address))
        return ItemResult::refused(*refusal);
    Item &item = items[index];
    item.setTitle(fields.title);
    item.setTarget(fields.address);
    m_services.favorites.setItems(groupTitle, items);
    fetchReplacementIcon(m_services, *item.uid(), fields.address);
    return ItemResult::made(item);
}

ItemResult ItemEditor::renameFile(const QString &groupTitle, qint64 uid, const QString &title)
{
    if (title.isEmpty())
        return ItemResult::refused(missingTitle);
    QList<Item> items = m_services.favorites.items(groupTitle);
    const int index = FavoritesStore::indexOfItem(items, uid);
    if (index < 0)
        return ItemResult::refused(itemGone);
    items[index].setTitle(title);
    m_services.favorites.setItems(groupTitle, items);
    return ItemResult::made(items.at(index));
}

std::optional<QString> ItemEditor::readNote(const Item &item)
{
    const QString path = item.target();
    const RegularFile::Contents contents = RegularFile::read(path, SupportFiles::largestFileBytes);
    if (!contents.ok()) {
        qCWarning(lcItems).noquote() << "Cannot read the note" << path << RegularFile::describe(contents.refusal);
        return std::nullopt;
    }
    return QString::fromUtf8(contents.bytes);
}

bool ItemEditor::noteFileIsMissing(const Item &item)
{
    const QFileInfo file(item.target());
    return item.kind() == ItemKind::text && !file.exists() && !file.isSymLink();
}
