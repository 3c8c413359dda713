#include "items/ItemFactory.h"

#include "items/BookmarkAddress.h"
#include "items/FaviconFetcher.h"
#include "items/ItemsLog.h"
#include "store/ColorText.h"
#include "store/FavoritesStore.h"
#include "store/LocalizedText.h"
#include "store/SupportFiles.h"
#include "store/TextKeys.h"

namespace {
constexpr TextKey missingTitle = Text::titleMissing;
constexpr TextKey missingAddress = Text::webAddressMissing;
constexpr TextKey missingNoteText = Text::noteTextMissing;
constexpr TextKey noteNotWritable = Text::noteFolderNotWritable;

// Whether a stored item still shows the icon at path.
bool isIconInUse(const FavoritesStore &favorites, const QString &path)
{
    for (const QString &title : favorites.groupTitles()) {
        for (const Item &item : favorites.items(title)) {
            if (item.iconPath() == path)
                return true;
        }
    }
    return false;
}
} // namespace

QString ItemResult::message() const
{
    if (!errorKey)
        return {};
    const QString text = LocalizedText(*errorKey);
    return text.contains(QLatin1String("%1")) ? text.arg(errorArgument) : text;
}

ItemResult ItemResult::made(const Item &item)
{
    return ItemResult{item, std::nullopt, {}};
}

ItemResult ItemResult::refused(TextKey key, const QString &argument)
{
    return ItemResult{std::nullopt, key, argument};
}

ItemFactory::ItemFactory(const ItemServices &services)
    : m_services(services)
{
}

std::optional<TextKey> ItemFactory::bookmarkRefusal(const QString &title, const QString &address)
{
    if (title.isEmpty())
        return missingTitle;
    if (address.isEmpty())
        return missingAddress;
    return std::nullopt;
}

std::optional<TextKey> ItemFactory::noteRefusal(const QString &title, const QString &text)
{
    if (title.isEmpty())
        return missingTitle;
    if (text.isEmpty())
        return missingNoteText;
    return std::nullopt;
}

std::optional<TextKey> ItemFactory::colorRefusal(const QString &title)
{
    if (title.isEmpty())
        return missingTitle;
    return std::nullopt;
}

ItemResult ItemFactory::makeBookmark(const QString &title, const QString &address)
{
    if (const auto refusal = bookmarkRefusal(title, address))
        return ItemResult::refused(*refusal);
    const QString iconPath = m_services.supportFiles.newFilePath(QStringLiteral(".png"));
    // The request is answered after the item is stored: the path is taken
    // by then, so no other item can be given the same file.
    FavoritesStore &favorites = m_services.favorites;
    m_services.faviconFetcher.fetch(BookmarkAddress::iconAddress(address), iconPath,
                                    [&favorites, iconPath] { return isIconInUse(favorites, iconPath); });
    return ItemResult::made(m_services.favorites.withNewIdentity(Item::bookmark(title, address, iconPath)));
}

ItemResult ItemFactory::makeNote(const QString &title, const QString &text)
{
    if (const auto refusal = noteRefusal(title, text))
        return ItemResult::refused(*refusal);
    // An item whose text has nowhere to live would lose what the user typed,
    // so the note is refused instead and the box stays open with its text.
    const auto path = m_services.supportFiles.writeNote(text);
    if (!path) {
        qCWarning(lcItems) << "Cannot write a note in" << m_services.supportFiles.folder();
        return ItemResult::refused(noteNotWritable, m_services.supportFiles.folder());
    }
    return ItemResult::made(m_services.favorites.withNewIdentity(Item::note(title, *path)));
}

ItemResult ItemFactory::makeColor(const QString &title, const QColor &color)
{
    if (const auto refusal = colorRefusal(title))
        return ItemResult::refused(*refusal);
    return ItemResult::made(m_services.favorites.withNewIdentity(Item::color(title, ColorText::fromColor(color))));
}
