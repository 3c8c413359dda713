#include "manager/ManagerSortMenus.h"

#include "manager/ManagerGroups.h"
#include "manager/ManagerItems.h"
#include "store/LocalizedText.h"
#include "store/Sorting.h"

#include <QActionGroup>
#include <QMenu>

#include <functional>
#include <initializer_list>

namespace {

struct Choice
{
    const char *key;
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
    addChoices(menu, {{"IDS_BR_139", settings.groupSortKey == Key::color, [target] { target->setGroupSortKey(Key::color); }},
                      {"IDS_BR_140", settings.groupSortKey == Key::title, [target] { target->setGroupSortKey(Key::title); }},
                      {"IDS_BR_143", settings.groupSortKey == Key::none, [target] { target->setGroupSortKey(Key::none); }}});
    menu->addSeparator();
    addChoices(menu, {{"IDS_BR_141", settings.groupSortAscending, [target] { target->setGroupSortAscending(true); }},
                      {"IDS_BR_142", !settings.groupSortAscending, [target] { target->setGroupSortAscending(false); }}});
    return menu;
}

QMenu *itemSortMenu(ManagerItems &items, const SortSettings &settings, QWidget *parent)
{
    using Key = SortSettings::ItemKey;
    QMenu *menu = newMenu("itemSortMenu", parent);
    ManagerItems *target = &items;
    addChoices(menu, {{"IDS_BR_144", settings.itemSortKey == Key::date, [target] { target->setItemSortKey(Key::date); }},
                      {"IDS_BR_140", settings.itemSortKey == Key::title, [target] { target->setItemSortKey(Key::title); }}});
    menu->addSeparator();
    addChoices(menu, {{"IDS_BR_141", settings.itemSortAscending, [target] { target->setItemSortAscending(true); }},
                      {"IDS_BR_142", !settings.itemSortAscending, [target] { target->setItemSortAscending(false); }}});
    return menu;
}

} // namespace ManagerSortMenus
