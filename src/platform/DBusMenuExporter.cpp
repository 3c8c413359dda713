#include "platform/DBusMenuExporter.h"

#include "platform/DBusTrayTypes.h"

#include <QActionEvent>
#include <QActionGroup>
#include <QDBusAbstractAdaptor>
#include <QDBusContext>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QMenu>
#include <QTimer>

Q_LOGGING_CATEGORY(lcTrayMenu, "brimble.platform.traymenu")

namespace {

// Properties an item has only in some states: the host is told when they go.
const QStringList optionalProperties{QStringLiteral("toggle-type"), QStringLiteral("toggle-state"),
                                     QStringLiteral("children-display"), QStringLiteral("icon-name")};

// Qt marks the mnemonic with '&' ("&&" for '&' itself), dbusmenu with '_'
// ("__" for '_' itself); a shortcut shown after a tab is Qt's own.
QString dbusLabel(const QString &text)
{
    const QString shown = text.section(u'\t', 0, 0);
    QString label;
    label.reserve(shown.size() + 1);
    for (qsizetype i = 0; i < shown.size(); ++i) {
        if (shown.at(i) == u'&' && i + 1 < shown.size()) {
            ++i;
            if (shown.at(i) == u'&') {
                label += u'&';
                continue;
            }
            label += u'_';
        }
        label += shown.at(i) == u'_' ? QStringLiteral("__") : QString(shown.at(i));
    }
    return label;
}

QVariantMap propertiesOf(const QAction &action)
{
    QVariantMap properties;
    if (action.isSeparator()) {
        properties.insert(QStringLiteral("type"), QStringLiteral("separator"));
    } else {
        properties.insert(QStringLiteral("label"), dbusLabel(action.text()));
        if (action.isCheckable()) {
            const bool radio = action.actionGroup() && action.actionGroup()->isExclusive();
            properties.insert(QStringLiteral("toggle-type"),
                              radio ? QStringLiteral("radio") : QStringLiteral("checkmark"));
            properties.insert(QStringLiteral("toggle-state"), action.isChecked() ? 1 : 0);
        }
        if (action.menu())
            properties.insert(QStringLiteral("children-display"), QStringLiteral("submenu"));
        if (!action.icon().name().isEmpty())
            properties.insert(QStringLiteral("icon-name"), action.icon().name());
    }
    properties.insert(QStringLiteral("enabled"), action.isEnabled());
    properties.insert(QStringLiteral("visible"), action.isVisible());
    return properties;
}

// Only the properties asked for; all of them when none is named.
QVariantMap filtered(QVariantMap properties, const QStringList &names)
{
    if (names.isEmpty())
        return properties;
    for (auto it = properties.begin(); it != properties.end();)
        it = names.contains(it.key()) ? std::next(it) : properties.erase(it);
    return properties;
}

} // namespace

// The com.canonical.dbusmenu interface over the exporter's menu.
class DBusMenuAdaptor final : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "com.canonical.dbusmenu")
    Q_PROPERTY(uint Version READ version)
    Q_PROPERTY(QString TextDirection READ textDirection)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(QStringList IconThemePath READ iconThemePath)

public:
    explicit DBusMenuAdaptor(DBusMenuExporter *exporter)
        : QDBusAbstractAdaptor(exporter)
        , m_exporter(*exporter)
    {
    }

    uint version() const { return 3; }
    QString textDirection() const
    {
        return QGuiApplication::isRightToLeft() ? QStringLiteral("rtl") : QStringLiteral("ltr");
    }
    QString status() const { return QStringLiteral("normal"); }
    QStringList iconThemePath() const { return {}; }

public Q_SLOTS:
    uint GetLayout(int parentId, int recursionDepth, const QStringList &propertyNames, DBusMenuLayout &layout)
    {
        if (!known(parentId))
            return 0;
        layout = layoutOf(parentId, recursionDepth, propertyNames);
        m_exporter.m_layoutRead = true;
        return m_exporter.m_revision;
    }

    QList<DBusMenuItem> GetGroupProperties(const QList<int> &ids, const QStringList &propertyNames)
    {
        QList<DBusMenuItem> items;
        for (const int id : ids) {
            if (m_exporter.isKnown(id))
                items.append({id, filtered(propertiesOf(id), propertyNames)});
        }
        return items;
    }

    QDBusVariant GetProperty(int id, const QString &name)
    {
        const QVariantMap properties = m_exporter.isKnown(id) ? propertiesOf(id) : QVariantMap();
        if (!properties.contains(name)) {
            refuse(QStringLiteral("No property %1 on menu item %2").arg(name).arg(id));
            return QDBusVariant(QString());
        }
        return QDBusVariant(properties.value(name));
    }

    void Event(int id, const QString &eventId, const QDBusVariant &, uint)
    {
        if (known(id))
            handleEvent(id, eventId);
    }

    // Returns the items that do not exist.
    QList<int> EventGroup(const QList<DBusMenuEvent> &events)
    {
        QList<int> unknown;
        for (const DBusMenuEvent &event : events) {
            if (m_exporter.isKnown(event.id))
                handleEvent(event.id, event.eventId);
            else
                unknown.append(event.id);
        }
        if (!events.isEmpty() && unknown.size() == events.size())
            refuse(QStringLiteral("None of the menu items exists"));
        return unknown;
    }

    // Whether the host should ask for the layout again.
    bool AboutToShow(int id)
    {
        if (!known(id))
            return false;
        return aboutToShow(id);
    }

    QList<int> AboutToShowGroup(const QList<int> &ids, QList<int> &idErrors)
    {
        QList<int> needUpdate;
        for (const int id : ids) {
            if (!m_exporter.isKnown(id))
                idErrors.append(id);
            else if (aboutToShow(id))
                needUpdate.append(id);
        }
        return needUpdate;
    }

Q_SIGNALS:
    void ItemsPropertiesUpdated(const QList<DBusMenuItem> &updatedProps, const QList<DBusMenuItemKeys> &removedProps);
    void LayoutUpdated(uint revision, int parent);
    void ItemActivationRequested(int id, uint timestamp);

private:
    bool known(int id)
    {
        if (m_exporter.isKnown(id))
            return true;
        refuse(QStringLiteral("No menu item %1").arg(id));
        return false;
    }

    // Qt gives the call's context to the object the adaptor serves.
    void refuse(const QString &message)
    {
        if (m_exporter.calledFromDBus())
            m_exporter.sendErrorReply(QDBusError::InvalidArgs, message);
    }

    QVariantMap propertiesOf(int id) const
    {
        if (id == 0)
            return {{QStringLiteral("children-display"), QStringLiteral("submenu")}};
        const QAction *action = m_exporter.actionOf(id);
        return action ? ::propertiesOf(*action) : QVariantMap();
    }

    DBusMenuLayout layoutOf(int id, int depth, const QStringList &names)
    {
        DBusMenuLayout layout{id, filtered(propertiesOf(id), names), {}};
        QMenu *menu = m_exporter.menuOf(id);
        if (!menu || depth == 0)
            return layout;
        m_exporter.watch(menu);
        const QList<QAction *> actions = menu->actions();
        for (QAction *action : actions)
            layout.children.append(layoutOf(m_exporter.idOf(action), depth < 0 ? depth : depth - 1, names));
        return layout;
    }

    void handleEvent(int id, const QString &eventId)
    {
        if (eventId == u"clicked") {
            QAction *action = m_exporter.actionOf(id);
            // After the reply: the action may end the program or open a dialog.
            if (action && action->isEnabled() && action->isVisible() && !action->menu())
                QTimer::singleShot(0, action, &QAction::trigger);
        } else if (QMenu *menu = m_exporter.menuOf(id); menu && eventId == u"closed") {
            Q_EMIT menu->aboutToHide();
        } else if (menu && eventId == u"opened") {
            Q_EMIT menu->aboutToShow();
        }
    }

    bool aboutToShow(int id)
    {
        QMenu *menu = m_exporter.menuOf(id);
        if (!menu)
            return false;
        // A menu filled when it opens fills now; the host then asks again.
        Q_EMIT menu->aboutToShow();
        return m_exporter.m_layoutChanged;
    }

    DBusMenuExporter &m_exporter;
};

DBusMenuExporter::DBusMenuExporter(const QDBusConnection &bus, const QString &path, QObject *parent)
    : QObject(parent)
    , m_bus(bus)
    , m_path(path)
{
    registerDBusTrayTypes();
    m_adaptor = new DBusMenuAdaptor(this);
    m_exported = m_bus.isConnected() && m_bus.registerObject(m_path, this, QDBusConnection::ExportAdaptors);
    if (m_bus.isConnected() && !m_exported)
        qCWarning(lcTrayMenu) << "Cannot export the tray menu at" << m_path;
}

DBusMenuExporter::~DBusMenuExporter()
{
    if (m_exported)
        m_bus.unregisterObject(m_path);
}

void DBusMenuExporter::setMenu(QMenu *menu)
{
    if (menu == m_menu)
        return;
    m_menu = menu;
    if (menu)
        watch(menu);
    menuChanged(nullptr);
}

bool DBusMenuExporter::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ActionAdded:
    case QEvent::ActionRemoved:
        menuChanged(nullptr);
        break;
    case QEvent::ActionChanged:
        menuChanged(static_cast<QActionEvent *>(event)->action());
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

int DBusMenuExporter::idOf(QAction *action)
{
    // An address may come back for a new action once the old one is gone.
    const auto found = m_ids.constFind(action);
    if (found != m_ids.cend() && m_actions.value(*found) == action)
        return *found;
    const int id = ++m_lastId;
    m_ids.insert(action, id);
    m_actions.insert(id, action);
    return id;
}

QAction *DBusMenuExporter::actionOf(int id) const
{
    return m_actions.value(id);
}

QMenu *DBusMenuExporter::menuOf(int id) const
{
    if (id == 0)
        return m_menu;
    const QAction *action = actionOf(id);
    return action ? action->menu() : nullptr;
}

void DBusMenuExporter::watch(QMenu *menu)
{
    // Installing again moves the filter to the front; it is never doubled.
    menu->installEventFilter(this);
}

void DBusMenuExporter::menuChanged(QAction *changed)
{
    if (!m_layoutRead)
        return;
    if (!changed || changed->menu())
        m_layoutChanged = true;
    else if (!m_changedActions.contains(changed))
        m_changedActions.append(changed);
    if (m_changesQueued)
        return;
    m_changesQueued = true;
    QTimer::singleShot(0, this, &DBusMenuExporter::sendChanges);
}

void DBusMenuExporter::sendChanges()
{
    m_changesQueued = false;
    const QList<QPointer<QAction>> changed = std::exchange(m_changedActions, {});
    if (std::exchange(m_layoutChanged, false)) {
        Q_EMIT m_adaptor->LayoutUpdated(++m_revision, 0);
        return;
    }
    QList<DBusMenuItem> updated;
    QList<DBusMenuItemKeys> removed;
    for (QAction *action : changed) {
        // Items the host has not seen yet come with the layout it asks for.
        const int id = action ? m_ids.value(action, -1) : -1;
        if (id < 0 || actionOf(id) != action)
            continue;
        const QVariantMap properties = propertiesOf(*action);
        updated.append({id, properties});
        QStringList gone;
        for (const QString &name : optionalProperties) {
            if (!properties.contains(name))
                gone.append(name);
        }
        removed.append({id, gone});
    }
    if (!updated.isEmpty())
        Q_EMIT m_adaptor->ItemsPropertiesUpdated(updated, removed);
}

#include "DBusMenuExporter.moc"
