#pragma once

#include <QDBusConnection>
#include <QDBusContext>
#include <QHash>
#include <QObject>
#include <QPointer>

class QAction;
class DBusMenuAdaptor;
class QMenu;

// Publishes a QMenu on the bus as com.canonical.dbusmenu, so that a tray
// host draws it as its own menu: every action becomes an item (its text,
// enabled and visible state, check mark, submenu), a click the host reports
// triggers the action, and changes to the menu reach the host as they happen.
class DBusMenuExporter final : public QObject, protected QDBusContext
{
    Q_OBJECT

public:
    // Exports the menu at path on bus; the menu may be set later.
    DBusMenuExporter(const QDBusConnection &bus, const QString &path, QObject *parent = nullptr);
    ~DBusMenuExporter() override;

    void setMenu(QMenu *menu);
    QString path() const { return m_path; }
    bool isExported() const { return m_exported; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    friend class DBusMenuAdaptor;

    // The item's number; the menu itself is 0.
    int idOf(QAction *action);
    QAction *actionOf(int id) const;
    // The menu an item opens (the menu itself for 0); null for a plain item.
    QMenu *menuOf(int id) const;
    bool isKnown(int id) const { return id == 0 ? !m_menu.isNull() : actionOf(id) != nullptr; }
    void watch(QMenu *menu);
    // Tells the host what changed, once the changes of one turn of the event loop are in.
    void menuChanged(QAction *changed);
    void sendChanges();

    QDBusConnection m_bus;
    QString m_path;
    QPointer<QMenu> m_menu;
    QHash<QAction *, int> m_ids;
    QHash<int, QPointer<QAction>> m_actions;
    int m_lastId = 0;
    uint m_revision = 1;
    // Until the host has read the menu, a change is nothing to tell.
    bool m_layoutRead = false;
    bool m_layoutChanged = false;
    QList<QPointer<QAction>> m_changedActions;
    bool m_changesQueued = false;
    bool m_exported = false;
    DBusMenuAdaptor *m_adaptor = nullptr;
};
