#include "app/ScriptCommands.h"

#include "items/DroppedFilesAdder.h"
#include "items/ItemAdder.h"
#include "quicklist/ItemOpener.h"
#include "quicklist/QuickList.h"
#include "store/FavoritesStore.h"
#include "store/LocalizedText.h"
#include "store/TextKeys.h"
#include "store/ViewLinks.h"

#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>

namespace {

constexpr auto noSuchGroup = Text::noSuchGroup;
constexpr auto nothingAdded = Text::nothingAdded;

QString text(TextKey key)
{
    return LocalizedText(key);
}

// What a script reads one line at a time stays on one line.
QString oneLine(QString text)
{
    for (QChar &c : text) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = u' ';
    }
    return text;
}

QString text(TextKey key, const QString &argument)
{
    return LocalizedText(key).arg(oneLine(argument));
}

QString kindName(ItemKind kind)
{
    switch (kind) {
    case ItemKind::normalFile:
        return QStringLiteral("file");
    case ItemKind::bookmark:
        return QStringLiteral("bookmark");
    case ItemKind::text:
        return QStringLiteral("note");
    case ItemKind::color:
        return QStringLiteral("color");
    case ItemKind::unknown:
        break;
    }
    return QStringLiteral("unknown");
}

// What an item leads to, as a list shows it: a colour's code with its "#".
QString listedTarget(const Item &item)
{
    return item.kind() == ItemKind::color ? item.copiedColorCode() : item.target();
}

InstanceReply refusedAdd(const QStringList &lines)
{
    InstanceReply reply;
    reply.status = 1;
    for (const QString &line : lines)
        reply.printError(line);
    reply.printError(text(nothingAdded));
    return reply;
}

} // namespace

ScriptCommands::ScriptCommands(const ItemServices &items, DesktopServices desktop, GroupChooser chooser)
    : m_items(items)
    , m_desktop(desktop)
    , m_chooser(std::move(chooser))
{
}

void ScriptCommands::run(const InstanceRequest &request, const std::function<void(const InstanceReply &)> &reply)
{
    switch (request.kind) {
    case InstanceRequest::Kind::list:
        reply(list(request.group, request.json));
        return;
    case InstanceRequest::Kind::open:
        reply(open(request.query));
        return;
    case InstanceRequest::Kind::add:
        break;
    default:
        reply(InstanceReply::failure(text(Text::runningInstanceSilent)));
        return;
    }
    if (!request.group.isEmpty()) {
        reply(add(request.targets, request.group, request.createsGroup));
        return;
    }
    // Nobody is asked about what cannot be added anyway.
    if (const QStringList refused = refusals(request.targets); !refused.isEmpty()) {
        reply(refusedAdd(refused));
        return;
    }
    if (!m_chooser) {
        reply(refusedAdd({text(Text::chooseGroupNeedsDesktop)}));
        return;
    }
    m_chooser(m_items.favorites.groupTitles(), request.targets,
              [this, targets = request.targets, reply](const std::optional<GroupChoice> &choice) {
                  reply(choice ? add(targets, choice->title, choice->isNew) : refusedAdd({}));
              });
}

InstanceReply ScriptCommands::list(const QString &group, bool json) const
{
    const FavoritesStore &favorites = m_items.favorites;
    QStringList titles = favorites.groupTitles();
    if (!group.isEmpty()) {
        if (!titles.contains(group))
            return InstanceReply::failure(text(noSuchGroup, group));
        titles = {group};
    }
    InstanceReply reply;
    QJsonArray items;
    for (const QString &title : std::as_const(titles)) {
        if (!json && group.isEmpty())
            reply.print(oneLine(title));
        for (const Item &item : favorites.items(title)) {
            if (!json) {
                reply.print((group.isEmpty() ? QStringLiteral("  ") : QString()) + oneLine(item.title()) + u'\t'
                            + oneLine(listedTarget(item)));
                continue;
            }
            const auto uid = item.uid();
            items.append(QJsonObject{
                {QStringLiteral("title"), item.title()},
                {QStringLiteral("kind"), kindName(item.kind())},
                {QStringLiteral("target"), listedTarget(item)},
                {QStringLiteral("group"), title},
                {QStringLiteral("pinned"), item.isPinned()},
                {QStringLiteral("uid"), uid ? QJsonValue(*uid) : QJsonValue()},
            });
        }
    }
    if (json)
        reply.print(QString::fromUtf8(QJsonDocument(items).toJson(QJsonDocument::Indented)).trimmed());
    return reply;
}

InstanceReply ScriptCommands::open(const QString &query) const
{
    const FavoritesStore &favorites = m_items.favorites;
    const QList<Item> found = QuickList::searchItems(favorites, favorites.groups(), query);
    if (found.isEmpty())
        return InstanceReply::failure(text(Text::openFoundNothing, query));
    const Item &first = found.constFirst();
    InstanceReply reply;
    switch (ItemOpener(m_items.supportFiles, m_desktop).open(first)) {
    case ItemOpener::Result::opened:
        return reply;
    case ItemOpener::Result::copiedColor:
        // The clipboard's text, for a script that wants it.
        reply.print(first.copiedColorCode());
        return reply;
    case ItemOpener::Result::openFailed:
    case ItemOpener::Result::nothing:
        break;
    }
    return InstanceReply::failure(text(Text::openFailed, first.title()));
}

InstanceReply ScriptCommands::add(const QStringList &targets, const QString &group, bool createsGroup)
{
    // The files are looked at again: they may have gone while the user chose.
    if (const QStringList refused = refusals(targets); !refused.isEmpty())
        return refusedAdd(refused);
    FavoritesStore &favorites = m_items.favorites;
    if (!favorites.hasGroupTitled(group)) {
        if (!createsGroup
            || favorites.createGroup(group, &m_items.sortSettings) != FavoritesStore::GroupCreation::created)
            return refusedAdd({text(noSuchGroup, group)});
    }
    QStringList paths;
    for (const QString &target : targets) {
        if (!isWebAddress(target))
            paths.append(target);
    }
    QList<Item> items = favorites.items(group);
    DroppedFilesAdder(m_items).addDroppedFiles(group, items, paths);
    ItemAdder bookmarks(m_items);
    for (const QString &target : targets) {
        if (isWebAddress(target))
            bookmarks.addBookmark(group, bookmarkTitle(target), target);
    }
    m_items.links.requestQuickListReload();
    m_items.links.requestManagerGroupsReload();
    return {};
}

QStringList ScriptCommands::refusals(const QStringList &targets)
{
    QStringList refused;
    for (const QString &target : targets) {
        if (isWebAddress(target)) {
            if (!Item::bookmarkUrl(target).isValid())
                refused.append(text(Text::addTargetUnsupported, target));
            continue;
        }
        if (!target.startsWith(u'/')) {
            refused.append(text(hasScheme(target) ? Text::addTargetUnsupported : Text::addTargetMissing, target));
            continue;
        }
        const QFileInfo file(target);
        if (!file.exists())
            refused.append(text(Text::addTargetMissing, target));
        else if (!file.isReadable())
            refused.append(text(Text::addTargetUnreadable, target));
    }
    return refused;
}

bool ScriptCommands::hasScheme(const QString &text)
{
    const auto isLetter = [](QChar c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z'); };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u':')
            return i > 0;
        if (!isLetter(c) && (i == 0 || !(c.isDigit() || c == u'+' || c == u'-' || c == u'.')))
            return false;
    }
    return false;
}

bool ScriptCommands::isWebAddress(const QString &target)
{
    return target.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
           || target.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

QString ScriptCommands::bookmarkTitle(const QString &address)
{
    return Item::bookmarkUrl(address).host();
}
