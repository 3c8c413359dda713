#include "items/ItemEditor.h"

#include "items/ItemsLog.h"
#include "platform/RegularFile.h"
#include "store/FavoritesStore.h"
#include "store/SupportFiles.h"
#include "store/TextKeys.h"

#include <QFileInfo>

namespace {
constexpr auto missingTitle = Text::titleMissing;
constexpr auto itemGone = Text::itemGone;
constexpr auto groupGone = Text::groupGone;
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
