#include "widgets/AccessibleListRows.h"

void AccessibleRowActionSources::insert(QAbstractItemView *view, AccessibleRowActions actionsOf)
{
    m_sources.insert(view, std::move(actionsOf));
    QObject::connect(view, &QObject::destroyed, [this, view] { m_sources.remove(view); });
}

QList<AccessibleRowAction> AccessibleRowActionSources::actionsOf(const QAbstractItemView *view, int row) const
{
    const AccessibleRowActions source = view ? m_sources.value(view) : nullptr;
    return source ? source(row) : QList<AccessibleRowAction>();
}

AccessibleListRow::AccessibleListRow(QAbstractItemView *view, int row, const AccessibleRowActionSources &sources)
    : m_view(view)
    , m_row(row)
    , m_sources(sources)
{
}

bool AccessibleListRow::isValid() const
{
    return m_view && m_view->model() && m_row < m_view->model()->rowCount();
}

QWindow *AccessibleListRow::window() const
{
    return m_view ? m_view->window()->windowHandle() : nullptr;
}

QAccessibleInterface *AccessibleListRow::parent() const
{
    return QAccessible::queryAccessibleInterface(m_view.data());
}

QString AccessibleListRow::text(QAccessible::Text t) const
{
    return isValid() ? rowText(t, index()) : QString();
}

QRect AccessibleListRow::rect() const
{
    if (!isValid())
        return {};
    const QRect rect = m_view->visualRect(index());
    return QRect(m_view->viewport()->mapToGlobal(rect.topLeft()), rect.size());
}

QAccessible::State AccessibleListRow::state() const
{
    QAccessible::State state;
    if (!isValid())
        return state;
    const QModelIndex index = this->index();
    state.selectable = true;
    state.focusable = true;
    addRowState(state, index);
    if (!m_view->viewport()->rect().intersects(m_view->visualRect(index)))
        state.invisible = state.offscreen = true;
    return state;
}

void *AccessibleListRow::interface_cast(QAccessible::InterfaceType type)
{
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
}

QStringList AccessibleListRow::actionNames() const
{
    QStringList names{setFocusAction()};
    for (const AccessibleRowAction &action : m_sources.actionsOf(m_view, m_row))
        names.append(action.name);
    return names;
}

QString AccessibleListRow::localizedActionName(const QString &name) const
{
    return name == setFocusAction() ? QAccessibleActionInterface::localizedActionName(name) : name;
}

QStringList AccessibleListRow::keyBindingsForAction(const QString &name) const
{
    for (const AccessibleRowAction &action : m_sources.actionsOf(m_view, m_row)) {
        if (action.name == name && !action.keys.isEmpty())
            return {action.keys.toString(QKeySequence::NativeText)};
    }
    return {};
}

void AccessibleListRow::doAction(const QString &name)
{
    if (!isValid())
        return;
    if (name == setFocusAction()) {
        focusRow();
        return;
    }
    for (const AccessibleRowAction &action : m_sources.actionsOf(m_view, m_row)) {
        if (action.name == name && action.trigger) {
            action.trigger();
            return;
        }
    }
}

QModelIndex AccessibleListRow::index() const
{
    return m_view->model()->index(m_row, 0);
}

AccessibleRowList::AccessibleRowList(QAbstractItemView *view)
    : QAccessibleWidget(view, QAccessible::List)
{
}

AccessibleRowList::~AccessibleRowList()
{
    for (const QAccessible::Id id : std::as_const(m_rows))
        QAccessible::deleteAccessibleInterface(id);
}

int AccessibleRowList::childCount() const
{
    return view()->model() ? view()->model()->rowCount() : 0;
}

QAccessibleInterface *AccessibleRowList::child(int index) const
{
    if (index < 0 || index >= childCount())
        return nullptr;
    QAccessible::Id &id = m_rows[index];
    if (!id)
        id = QAccessible::registerAccessibleInterface(createRow(index));
    return QAccessible::accessibleInterface(id);
}

int AccessibleRowList::indexOfChild(const QAccessibleInterface *child) const
{
    for (auto it = m_rows.cbegin(); it != m_rows.cend(); ++it) {
        if (QAccessible::accessibleInterface(it.value()) == child)
            return it.key() < childCount() ? it.key() : -1;
    }
    return -1;
}

QAccessibleInterface *AccessibleRowList::childAt(int x, int y) const
{
    const QModelIndex index = view()->indexAt(view()->viewport()->mapFromGlobal(QPoint(x, y)));
    return index.isValid() ? child(index.row()) : nullptr;
}

QAccessibleInterface *AccessibleRowList::focusChild() const
{
    return child(focusedRow());
}

QAbstractItemView *AccessibleRowList::view() const
{
    return static_cast<QAbstractItemView *>(widget());
}
