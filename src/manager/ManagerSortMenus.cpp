#include "manager/ManagerSortMenus.h"

#include "manager/ManagerGroups.h"
#include "manager/ManagerItems.h"
#include "store/LocalizedText.h"
#include "store/Sorting.h"
#include "store/TextKeys.h"

#include <QActionGroup>
#include <QMenu>

#include <functional>
#include <initializer_list>

namespace {

struct Choice
{
    TextKey key;
    bool checked;
    std::function<void()> choose;
};

// One block of exclusive, checkable entries.
void addChoices(QMenu *menu, std::initializer_list<Choice> choices)
{
    auto *group = new QActionGroup(menu);
    for (const Choice &choice : choices) {
        QAction *action = menu->addAction(LocalizedText(choice.key));
        action->setCheckable(true);
        action->setChecked(choice.checked);
        action->setActionGroup(group);
        QObject::connect(action, &QAction::triggered, menu, choice.choose);
    }
}

// After the keys, a block of its own: which way the sort goes.
void addDirectionChoices(QMenu *menu, bool ascending, const std::function<void(bool ascending)> &setAscending)
{
    menu->addSeparator();
    addChoices(menu, {{Text::sortAscending, ascending, [setAscending] { setAscending(true); }},
                      {Text::sortDescending, !ascending, [setAscending] { setAscending(false); }}});
}

QMenu *newMenu(const char *name, QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->setObjectName(QString::fromLatin1(name));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    return menu;
}

} // namespace

namespace ManagerSortMenus {

QMenu *groupSortMenu(ManagerGroups &groups, const SortSettings &settings, QWidget *parent)
{
    using Key = SortSettings::GroupKey;
    QMenu *menu = newMenu("groupSortMenu", parent);
    ManagerGroups *target = &groups;
    addChoices(
        menu,
        {{Text::sortByColour, settings.groupSortKey == Key::color, [target] { target->setGroupSortKey(Key::color); }},
         {Text::sortByName, settings.groupSortKey == Key::title, [target] { target->setGroupSortKey(Key::title); }},
         {Text::unsorted, settings.groupSortKey == Key::none, [target] { target->setGroupSortKey(Key::none); }}});
    addDirectionChoices(menu, settings.groupSortAscending,
                        [target](bool ascending) { target->setGroupSortAscending(ascending); });
    return menu;
}

QMenu *itemSortMenu(ManagerItems &items, const SortSettings &settings, QWidget *parent)
{
    using Key = SortSettings::ItemKey;
    QMenu *menu = newMenu("itemSortMenu", parent);
    ManagerItems *target = &items;
    addChoices(
        menu,
        {{Text::sortByDateAdded, settings.itemSortKey == Key::date, [target] { target->setItemSortKey(Key::date); }},
         {Text::sortByName, settings.itemSortKey == Key::title, [target] { target->setItemSortKey(Key::title); }}});
    addDirectionChoices(menu, settings.itemSortAscending,
                        [target](bool ascending) { target->setItemSortAscending(ascending); });
    return menu;
}

} // namespace ManagerSortMenus
