#pragma once

#include "manager/ManagerServices.h"

#include <QWidget>

#include <memory>

class DimmingLayer;
class GroupsDropTarget;
class GroupsPane;
class ItemsPane;
class QSplitter;
class ManagerGroups;
class ManagerItems;

// The manager window's page of groups and items: the groups pane on the
// left, the selected group's items on the right, side by side in a splitter
// over the page's groups and items. Alerts and panels dim the window through the
// container's dimming layer. Created once per process.
// Known elsewhere as makeshortcutsVc.
class ManagerPage final : public QWidget
{
    Q_OBJECT

public:
    ManagerPage(const ManagerServices &services, DimmingLayer &blackLayer, QWidget *parent = nullptr);
    ~ManagerPage() override;

    ManagerGroups &groups() const { return *m_groups; }
    ManagerItems &items() const { return *m_items; }
    GroupsDropTarget &drops() const { return *m_drops; }
    GroupsPane &groupsPane() const { return *m_groupsPane; }
    ItemsPane &itemsPane() const { return *m_itemsPane; }

    // The split between the groups and the items panes, as the splitter saves it.
    QByteArray paneSplit() const;
    void restorePaneSplit(const QByteArray &split);
    // Selects the group of that title, when there is one.
    void selectGroupTitled(const QString &title);

public Q_SLOTS:
    // Reads the stored groups again (after the popup or the window
    // container changed them).
    void reloadGroups();

private:
    ManagerServices m_services;
    ManagerGroups *m_groups = nullptr;
    ManagerItems *m_items = nullptr;
    std::unique_ptr<GroupsDropTarget> m_drops;
    GroupsPane *m_groupsPane = nullptr;
    ItemsPane *m_itemsPane = nullptr;
    QSplitter *m_splitter = nullptr;
};
