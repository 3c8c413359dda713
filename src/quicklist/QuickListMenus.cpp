#include "quicklist/QuickListMenus.h"

#include "platform/BoundedImageReader.h"
#include "quicklist/GroupActions.h"
#include "store/LocalizedText.h"
#include "store/Sorting.h"
#include "store/TextKeys.h"

#include <QActionGroup>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMenu>
#include <QProxyStyle>
#include <QStyleFactory>

namespace {

// The menu's own style, which scrolls a menu taller than the screen
// instead of spreading it over several columns.
class ScrollingMenuStyle final : public QProxyStyle
{
public:
    using QProxyStyle::QProxyStyle;

    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == QStyle::SH_Menu_Scrollable)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

QMenu *newMenu(const QString &name, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->setObjectName(name);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    return menu;
}

QIcon sized(const QIcon &icon, int size)
{
    return icon.isNull() ? icon : QIcon(icon.pixmap(size, size));
}

// An application's icon: a theme name, or the path of a picture that its
// desktop entry names (any file: it is read through the bounded reader).
QIcon applicationIcon(const QString &name, int size)
{
    if (name.isEmpty())
        return {};
    if (QDir::isAbsolutePath(name)) {
        const QImage image = BoundedImageReader::fromFile(name, BoundedImageReader::iconLimits(size));
        return image.isNull() ? QIcon() : QIcon(QPixmap::fromImage(image));
    }
    return sized(QIcon::fromTheme(name), size);
}

void addChoice(QMenu *menu, QActionGroup *group, TextKey key, bool checked, const std::function<void()> &choose)
{
    QAction *action = menu->addAction(LocalizedText(key));
    action->setCheckable(true);
    action->setChecked(checked);
    action->setActionGroup(group);
    QObject::connect(action, &QAction::triggered, menu, choose);
}

} // namespace

namespace QuickListMenus {

QMenu *itemContextMenu(const ItemActions::ContextMenu &entries, ItemActions &actions,
                       const std::function<void()> &afterChange, const std::function<void()> &afterCopy,
                       QWidget *parent, const std::function<void()> &showContents)
{
    QMenu *menu = newMenu(QStringLiteral("tblmenu"), parent);
    if (entries.empty)
        return menu;
    if (showContents) {
        QAction *contents = menu->addAction(LocalizedText(Text::showFolderContents));
        contents->setObjectName(QStringLiteral("showContents"));
        QObject::connect(contents, &QAction::triggered, menu, showContents);
        menu->addSeparator();
    }
    // Every entry carries the item and link of the row the menu opened on:
    // the rows may be rebuilt while the menu is open.
    const Item item = entries.item;
    if (entries.offersOpenWith && entries.link) {
        QMenu *openWith = menu->addMenu(LocalizedText(Text::openWith));
        for (const ApplicationInfo &app : entries.recommendedApps) {
            QAction *action = openWith->addAction(applicationIcon(app.iconName, 20), app.name);
            action->setProperty(opensSomething, true);
            QObject::connect(action, &QAction::triggered, menu,
                             [&actions, app, link = *entries.link] { actions.openWith(app, link); });
        }
        openWith->setEnabled(!entries.recommendedApps.isEmpty());
    }
    if (entries.offersReveal && entries.link) {
        QAction *reveal = menu->addAction(LocalizedText(Text::showInFileManager));
        reveal->setProperty(opensSomething, true);
        QObject::connect(reveal, &QAction::triggered, menu, [&actions, link = *entries.link] { actions.reveal(link); });
    }
    if (entries.offersCopyColor) {
        QObject::connect(menu->addAction(LocalizedText(Text::copyColourCode)), &QAction::triggered, menu,
                         [&actions, item, afterCopy] {
                             if (actions.copyColorCode(item) && afterCopy)
                                 afterCopy();
                         });
    }
    QObject::connect(menu->addAction(LocalizedText(Text::removeItemMenu)), &QAction::triggered, menu,
                     [&actions, item, afterChange] {
                         actions.removeItem(item);
                         if (afterChange)
                             afterChange();
                     });
    QObject::connect(menu->addAction(LocalizedText(entries.pinned ? Text::unpin : Text::pinToTop)), &QAction::triggered,
                     menu, [&actions, item, afterChange] {
                         actions.pinItem(item);
                         if (afterChange)
                             afterChange();
                     });
    return menu;
}

QMenu *folderContentsMenu(const ItemActions::FolderListing &listing, ItemActions &actions, QWidget *parent)
{
    QMenu *menu = newMenu(QStringLiteral("subItemsmenu"), parent);
    // However long, one column no taller than the screen, which scrolls.
    auto *style = new ScrollingMenuStyle(QStyleFactory::create(menu->style()->name()));
    style->setParent(menu);
    menu->setStyle(style);
    actions.setPatharr(listing.paths);
    if (listing.unreadable)
        menu->addAction(LocalizedText(Text::folderCannotBeRead))->setEnabled(false);
    // Without an icon theme (or a theme without the name) the style's own
    // folder and file icons stand in, as they do for the rows.
    const QFileIconProvider standardIcons;
    const QIcon folderIcon = QIcon::fromTheme(QStringLiteral("folder"), standardIcons.icon(QFileIconProvider::Folder));
    const QIcon genericFile = QIcon::fromTheme(QStringLiteral("text-x-generic"),
                                               standardIcons.icon(QFileIconProvider::File));
    for (int index = 0; index < listing.paths.size(); ++index) {
        const QString iconName = listing.iconNames.value(index);
        const QIcon icon = iconName == QLatin1String("folder") ? folderIcon : QIcon::fromTheme(iconName, genericFile);
        QAction *action = menu->addAction(sized(icon, 22), QFileInfo(listing.paths.at(index)).fileName());
        action->setProperty(opensSomething, true);
        QObject::connect(action, &QAction::triggered, menu, [&actions, index] { actions.openSubitem(index); });
    }
    if (listing.truncated) {
        menu->addSeparator();
        QAction *whole = menu->addAction(sized(QIcon::fromTheme(QStringLiteral("folder-open"), folderIcon), 22),
                                         LocalizedText(Text::openFolderToSeeAll));
        whole->setProperty(opensSomething, true);
        QObject::connect(whole, &QAction::triggered, menu,
                         [&actions, folder = listing.folder] { actions.openFolder(folder); });
    }
    return menu;
}

QMenu *sortMenu(const SortSettings &settings, GroupActions &actions, const std::function<void()> &afterChange,
                QWidget *parent)
{
    using GroupKey = SortSettings::GroupKey;
    using ItemKey = SortSettings::ItemKey;
    QMenu *menu = newMenu(QStringLiteral("sortMenu"), parent);
    const auto then = [afterChange](const std::function<void()> &change) {
        return [change, afterChange] {
            change();
            if (afterChange)
                afterChange();
        };
    };

    QMenu *groups = menu->addMenu(LocalizedText(Text::sortGroups));
    auto *groupKeys = new QActionGroup(groups);
    addChoice(groups, groupKeys, Text::sortByColour, settings.groupSortKey == GroupKey::color,
              then([&actions] { actions.groupSortByTags(); }));
    addChoice(groups, groupKeys, Text::sortByName, settings.groupSortKey == GroupKey::title,
              then([&actions] { actions.groupSortByName(); }));
    addChoice(groups, groupKeys, Text::unsorted, settings.groupSortKey == GroupKey::none,
              then([&actions] { actions.groupSortByNone(); }));
    groups->addSeparator();
    auto *groupDirections = new QActionGroup(groups);
    addChoice(groups, groupDirections, Text::sortAscending, settings.groupSortAscending,
              then([&actions] { actions.groupSortAscending(); }));
    addChoice(groups, groupDirections, Text::sortDescending, !settings.groupSortAscending,
              then([&actions] { actions.groupSortDescending(); }));

    QMenu *items = menu->addMenu(LocalizedText(Text::sortItems));
    auto *itemKeys = new QActionGroup(items);
    addChoice(items, itemKeys, Text::sortByDateAdded, settings.itemSortKey == ItemKey::date,
              then([&actions] { actions.sortByDate(); }));
    addChoice(items, itemKeys, Text::sortByName, settings.itemSortKey == ItemKey::title,
              then([&actions] { actions.sortByName(); }));
    items->addSeparator();
    auto *itemDirections = new QActionGroup(items);
    addChoice(items, itemDirections, Text::sortAscending, settings.itemSortAscending,
              then([&actions] { actions.sortAscending(); }));
    addChoice(items, itemDirections, Text::sortDescending, !settings.itemSortAscending,
              then([&actions] { actions.sortDescending(); }));
    return menu;
}

QMenu *settingsMenu(const std::function<void()> &manageShortcut, const std::function<void()> &showPreferences,
                    const std::function<void()> &quitapp, QWidget *parent)
{
    QMenu *menu = newMenu(QStringLiteral("settingsMenu"), parent);
    QObject::connect(menu->addAction(LocalizedText(Text::manageFavourites)), &QAction::triggered, menu, manageShortcut);
    QObject::connect(menu->addAction(LocalizedText(Text::preferences)), &QAction::triggered, menu, showPreferences);
    QObject::connect(menu->addAction(LocalizedText(Text::quitMenu)), &QAction::triggered, menu, quitapp);
    return menu;
}

QMenu *addItemMenu(const std::array<std::function<void()>, 4> &entries, QWidget *parent)
{
    QMenu *menu = newMenu(QStringLiteral("itemmenu"), parent);
    const TextKey keys[] = {Text::addFileOrFolder, Text::addWebBookmark, Text::addTextNote, Text::addColour};
    for (size_t index = 0; index < entries.size(); ++index) {
        QAction *action = menu->addAction(LocalizedText(keys[index]));
        action->setEnabled(bool(entries[index]));
        if (entries[index])
            QObject::connect(action, &QAction::triggered, menu, entries[index]);
    }
    return menu;
}

} // namespace QuickListMenus
