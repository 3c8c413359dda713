#pragma once

#include "manager/ManagerServices.h"

#include <QWidget>

class DimmingLayer;
class GroupsPane;
class ItemsPane;
class ManagerController;

// The manager window's page of groups and items: the groups pane on the
// left, the selected group's items on the right, side by side in a splitter
// over one controller. Alerts and panels dim the window through the
// container's dimming layer. Created once per process.
class MakeshortcutsVc final : public QWidget
{
    Q_OBJECT

public:
    MakeshortcutsVc(const ManagerServices &services, DimmingLayer &blackLayer, QWidget *parent = nullptr);
    ~MakeshortcutsVc() override;

    ManagerController &controller() const { return *m_controller; }
    GroupsPane &groupsPane() const { return *m_groupsPane; }
    ItemsPane &itemsPane() const { return *m_itemsPane; }

public Q_SLOTS:
    // Reads the stored groups again (after the popup or the window
    // container changed them).
    void reloadGroups();

private:
    ManagerServices m_services;
    ManagerController *m_controller = nullptr;
    GroupsPane *m_groupsPane = nullptr;
    ItemsPane *m_itemsPane = nullptr;
};
