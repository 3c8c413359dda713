#include "quicklist/QuickListMenus.h"

#include "platform/BoundedImageReader.h"
#include "quicklist/GroupActions.h"
#include "store/LocalizedText.h"
#include "store/Sorting.h"

#include <QActionGroup>
#include <QDir>
#include <QFileIconProvider>
#include <QFileInfo>
#include <QMenu>

namespace {

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

void addChoice(QMenu *menu, QActionGroup *group, const char *key, bool checked, const std::function<void()> &choose)
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
                       QWidget *parent)
{
    QMenu *menu = newMenu(QStringLiteral("tblmenu"), parent);
    if (entries.empty)
        return menu;
    // Every entry carries the item and link of the row the menu opened on:
    // the rows may be rebuilt while the menu is open.
    const Item item = entries.item;
    if (entries.offersOpenWith && entries.link) {
        QMenu *openWith = menu->addMenu(LocalizedText("IDS_BR_115"));
        for (const ApplicationInfo &app : entries.recommendedApps) {
            QAction *action = openWith->addAction(applicationIcon(app.iconName, 20), app.name);
            action->setProperty(opensSomething, true);
            QObject::connect(action, &QAction::triggered, menu,
                             [&actions, app, link = *entries.link] { actions.openWith(app, link); });
        }
        openWith->setEnabled(!entries.recommendedApps.isEmpty());
    }
    if (entries.offersReveal && entries.link) {
        QAction *reveal = menu->addAction(LocalizedText("IDS_BR_65"));
        reveal->setProperty(opensSomething, true);
        QObject::connect(reveal, &QAction::triggered, menu, [&actions, link = *entries.link] { actions.reveal(link); });
    }
    if (entries.offersCopyColor) {
        QObject::connect(menu->addAction(LocalizedText("IDS_BR_116")), &QAction::triggered, menu,
                         [&actions, item, afterCopy] {
                             if (actions.copyColorCode(item) && afterCopy)
                                 afterCopy();
                         });
    }
    QObject::connect(menu->addAction(LocalizedText("IDS_BR_117")), &QAction::triggered, menu,
                     [&actions, item, afterChange] {
                         actions.removeItem(item);
                         if (afterChange)
                             afterChange();
                     });
    QObject::connect(menu->addAction(LocalizedText(entries.pinned ? "IDS_BR_138" : "IDS_BR_137")), &QAction::triggered,
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
    actions.setPatharr(listing.paths);
    // Without an icon theme (or a theme without the name) the style's own
    // folder and file icons stand in, as they do for the rows.
    const QFileIconProvider standardIcons;
    const QIcon folderIcon = QIcon::fromTheme(QStringLiteral("folder"), standardIcons.icon(QFileIconProvider::Folder));
    const QIcon genericFile =
        QIcon::fromTheme(QStringLiteral("text-x-generic"), standardIcons.icon(QFileIconProvider::File));
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
                                         LocalizedText("IDS_BR_260"));
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

    QMenu *groups = menu->addMenu(LocalizedText("IDS_BR_147"));
    auto *groupKeys = new QActionGroup(groups);
    addChoice(groups, groupKeys, "IDS_BR_139", settings.groupSortKey == GroupKey::color,
              then([&actions] { actions.groupSortByTags(); }));
    addChoice(groups, groupKeys, "IDS_BR_140", settings.groupSortKey == GroupKey::title,
              then([&actions] { actions.groupSortByName(); }));
    addChoice(groups, groupKeys, "IDS_BR_143", settings.groupSortKey == GroupKey::none,
              then([&actions] { actions.groupSortByNone(); }));
    groups->addSeparator();
    auto *groupDirections = new QActionGroup(groups);
    addChoice(groups, groupDirections, "IDS_BR_141", settings.groupSortAscending,
              then([&actions] { actions.groupSortAscending(); }));
    addChoice(groups, groupDirections, "IDS_BR_142", !settings.groupSortAscending,
              then([&actions] { actions.groupSortDescending(); }));

    QMenu *items = menu->addMenu(LocalizedText("IDS_BR_148"));
    auto *itemKeys = new QActionGroup(items);
    addChoice(items, itemKeys, "IDS_BR_144", settings.itemSortKey == ItemKey::date,
              then([&actions] { actions.sortByDate(); }));
    addChoice(items, itemKeys, "IDS_BR_140", settings.itemSortKey == ItemKey::title,
              then([&actions] { actions.sortByName(); }));
    items->addSeparator();
    auto *itemDirections = new QActionGroup(items);
    addChoice(items, itemDirections, "IDS_BR_141", settings.itemSortAscending,
              then([&actions] { actions.sortAscending(); }));
    addChoice(items, itemDirections, "IDS_BR_142", !settings.itemSortAscending,
              then([&actions] { actions.sortDescending(); }));
    return menu;
}

QMenu *settingsMenu(const std::function<void()> &manageShortcut, const std::function<void()> &showPreferences,
                    const std::function<void()> &quitapp, QWidget *parent)
{
    QMenu *menu = newMenu(QStringLiteral("settingsMenu"), parent);
    QObject::connect(menu->addAction(LocalizedText("IDS_BR_3")), &QAction::triggered, menu, manageShortcut);
    QObject::connect(menu->addAction(LocalizedText("IDS_BR_6")), &QAction::triggered, menu, showPreferences);
    QObject::connect(menu->addAction(LocalizedText("IDS_BR_120")), &QAction::triggered, menu, quitapp);
    return menu;
}

QMenu *addItemMenu(const std::array<std::function<void()>, 4> &entries, QWidget *parent)
{
    QMenu *menu = newMenu(QStringLiteral("itemmenu"), parent);
    const char *const keys[] = {"IDS_BR_70", "IDS_BR_71", "IDS_BR_72", "IDS_BR_73"};
    for (size_t index = 0; index < entries.size(); ++index) {
        QAction *action = menu->addAction(LocalizedText(keys[index]));
        action->setEnabled(bool(entries[index]));
        if (entries[index])
            QObject::connect(action, &QAction::triggered, menu, entries[index]);
    }
    return menu;
}

} // namespace QuickListMenus
