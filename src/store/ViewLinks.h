#pragma once

#include <QObject>

// Ties the popup's list and the manager window together: each view says
// when it exists and asks the other to rebuild after a change of its own.
class ViewLinks final : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // The popup's rows exist, so the manager rebuilds them after its changes.
    bool popoverListLoaded = false;
    // The manager page exists, so the popup's changes reload its groups table.
    bool managerLoaded = false;

    void requestQuickListReload()
    {
        if (popoverListLoaded)
            Q_EMIT quickListReloadRequested();
    }
    void requestManagerGroupsReload()
    {
        if (managerLoaded)
            Q_EMIT managerGroupsReloadRequested();
    }
    // Another program changed the store: both views rebuild, and whatever
    // else keeps a copy of stored values reads them again.
    void storeChangedElsewhere()
    {
        requestQuickListReload();
        requestManagerGroupsReload();
        Q_EMIT storeReloaded();
    }

Q_SIGNALS:
    void quickListReloadRequested();
    void managerGroupsReloadRequested();
    void storeReloaded();
};
