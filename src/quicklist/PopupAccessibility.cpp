#include "quicklist/PopupAccessibility.h"

#include "quicklist/QuickListModel.h"
#include "quicklist/QuickListView.h"

#include <QAccessibleWidget>
#include <QApplication>
#include <QHash>
#include <QPointer>

namespace {

constexpr char accessibleWindowProperty[] = "brimbleAccessibleWindow";

QHash<const QObject *, PopupAccessibility::RowActions> &actionSources()
{
    static QHash<const QObject *, PopupAccessibility::RowActions> sources;
    return sources;
}

QList<PopupRowAction> actionsOf(const QuickListView *view, int row)
{
    const PopupAccessibility::RowActions source = view ? actionSources().value(view) : nullptr;
    return source ? source(row) : QList<PopupRowAction>();
}

// The popup has the keyboard: its highlighted row is the current item.
bool popupHasFocus(const QuickListView *view)
{
    const QWidget *focus = QApplication::focusWidget();
    return focus && focus->window() == view->window();
}

// One row of the popup, read from the model each time: the rows are
// rebuilt after every change.
class PopupRowInterface final : public QAccessibleInterface, public QAccessibleActionInterface
{
public:
    PopupRowInterface(QuickListView *view, int row)
        : m_view(view)
        , m_row(row)
    {
    }

    bool isValid() const override { return m_view && m_view->model() && m_row < m_view->model()->rowCount(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_view ? m_view->window()->windowHandle() : nullptr; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_view.data()); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    void setText(QAccessible::Text, const QString &) override { }
    QAccessible::Role role() const override { return QAccessible::ListItem; }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        const QModelIndex index = this->index();
        switch (t) {
        case QAccessible::Name:
            return index.data(Qt::DisplayRole).toString();
        case QAccessible::Description: {
            const QString description = index.data(Qt::AccessibleDescriptionRole).toString();
            return description.isEmpty() ? index.data(int(QuickListModel::Role::itemCountText)).toString()
                                         : description;
        }
        default:
            return {};
        }
    }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const QRect rect = m_view->visualRect(index());
        return QRect(m_view->viewport()->mapToGlobal(rect.topLeft()), rect.size());
    }

    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid())
            return state;
        const QModelIndex index = this->index();
        state.focusable = true;
        state.selectable = true;
        state.selected = state.active = m_view->hoverRow() == m_row;
        state.focused = state.selected && popupHasFocus(m_view);
        if (index.data(int(QuickListModel::Role::isHeading)).toBool()) {
            state.expandable = true;
            state.expanded = index.data(int(QuickListModel::Role::isExpanded)).toBool();
            state.collapsed = !state.expanded;
        }
        if (!m_view->viewport()->rect().intersects(m_view->visualRect(index)))
            state.invisible = state.offscreen = true;
        return state;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface *>(this) : nullptr;
    }

    QStringList actionNames() const override
    {
        QStringList names{setFocusAction()};
        for (const PopupRowAction &action : actionsOf(m_view, m_row))
            names.append(action.name);
        return names;
    }

    QString localizedActionName(const QString &name) const override
    {
        return name == setFocusAction() ? QAccessibleActionInterface::localizedActionName(name) : name;
    }

    QStringList keyBindingsForAction(const QString &name) const override
    {
        for (const PopupRowAction &action : actionsOf(m_view, m_row)) {
            if (action.name == name && !action.keys.isEmpty())
                return {action.keys.toString(QKeySequence::NativeText)};
        }
        return {};
    }

    void doAction(const QString &name) override
    {
        if (!isValid())
            return;
        if (name == setFocusAction()) {
            m_view->highlightRow(m_row);
            return;
        }
        for (const PopupRowAction &action : actionsOf(m_view, m_row)) {
            if (action.name == name && action.trigger) {
                action.trigger();
                return;
            }
        }
    }

private:
    QModelIndex index() const { return m_view->model()->index(m_row, 0); }

    QPointer<QuickListView> m_view;
    const int m_row;
};

// The list: its children are its rows, one interface per row number, kept
// until the list goes. The highlighted row is the one with the focus.
class PopupListInterface final : public QAccessibleWidget
{
public:
    explicit PopupListInterface(QuickListView *view)
        : QAccessibleWidget(view, QAccessible::List)
    {
    }

    ~PopupListInterface() override
    {
        for (const QAccessible::Id id : std::as_const(m_rows))
            QAccessible::deleteAccessibleInterface(id);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.focusable = true;
        return state;
    }

    int childCount() const override { return view()->model() ? view()->model()->rowCount() : 0; }

    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        QAccessible::Id &id = m_rows[index];
        if (!id)
            id = QAccessible::registerAccessibleInterface(new PopupRowInterface(view(), index));
        return QAccessible::accessibleInterface(id);
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (auto it = m_rows.cbegin(); it != m_rows.cend(); ++it) {
            if (QAccessible::accessibleInterface(it.value()) == child)
                return it.key() < childCount() ? it.key() : -1;
        }
        return -1;
    }

    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QModelIndex index = view()->indexAt(view()->viewport()->mapFromGlobal(QPoint(x, y)));
        return index.isValid() ? child(index.row()) : nullptr;
    }

    QAccessibleInterface *focusChild() const override
    {
        const int row = view()->hoverRow();
        return row >= 0 && popupHasFocus(view()) ? child(row) : nullptr;
    }

private:
    QuickListView *view() const { return static_cast<QuickListView *>(widget()); }

    mutable QHash<int, QAccessible::Id> m_rows;
};

QAccessibleInterface *popupFactory(const QString &className, QObject *object)
{
    if (!object || !object->isWidgetType() || className != QLatin1String(object->metaObject()->className()))
        return nullptr;
    auto *widget = static_cast<QWidget *>(object);
    if (widget->property(accessibleWindowProperty).toBool())
        return new QAccessibleWidget(widget, QAccessible::Window);
    if (auto *view = qobject_cast<QuickListView *>(object); view && actionSources().contains(view))
        return new PopupListInterface(view);
    return nullptr;
}

void installFactory()
{
    static const bool installed = [] {
        QAccessible::installFactory(popupFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace

namespace PopupAccessibility {

void installList(QuickListView *view, RowActions actionsOf)
{
    installFactory();
    actionSources().insert(view, std::move(actionsOf));
    QObject::connect(view, &QObject::destroyed, [view] { actionSources().remove(view); });
}

void installWindow(QWidget *window)
{
    installFactory();
    window->setProperty(accessibleWindowProperty, true);
}

void announceCurrentRow(QuickListView *view, int row)
{
    // Sent also while no screen reader listens (a rare event, made by a
    // key): the bridge that starts later reads the state it describes.
    if (!view->model() || row < 0 || row >= view->model()->rowCount())
        return;
    QAccessibleEvent event(view, QAccessible::Focus);
    event.setChild(row);
    QAccessible::updateAccessibility(&event);
}

} // namespace PopupAccessibility
