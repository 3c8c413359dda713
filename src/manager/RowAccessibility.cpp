#include "manager/RowAccessibility.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QListView>
#include <QPointer>

namespace {

using ActionSource = std::function<QList<RowAction>()>;

QHash<const QObject *, ActionSource> &actionSources()
{
    static QHash<const QObject *, ActionSource> sources;
    return sources;
}

QList<RowAction> actionsOf(const QListView *view)
{
    const ActionSource source = view ? actionSources().value(view) : ActionSource();
    return source ? source() : QList<RowAction>();
}

// One row of the list: read from the model each time, so it stays right
// while rows are added, removed and sorted under it.
class RowInterface final : public QAccessibleInterface,
                           public QAccessibleActionInterface,
                           public QAccessibleTableCellInterface
{
public:
    RowInterface(QListView *view, int row)
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
        case QAccessible::Name: {
            const QString name = index.data(Qt::AccessibleTextRole).toString();
            return name.isEmpty() ? index.data(Qt::DisplayRole).toString() : name;
        }
        case QAccessible::Description:
            return index.data(Qt::AccessibleDescriptionRole).toString();
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
        state.selectable = true;
        state.focusable = true;
        state.selected = m_view->selectionModel() && m_view->selectionModel()->isSelected(index);
        state.focused = m_view->currentIndex() == index && m_view->hasFocus();
        if (!m_view->viewport()->rect().intersects(m_view->visualRect(index)))
            state.invisible = state.offscreen = true;
        return state;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface *>(this);
        if (type == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface *>(this);
        return nullptr;
    }

    bool isSelected() const override { return state().selected; }
    QList<QAccessibleInterface *> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return 0; }
    int rowIndex() const override { return m_row; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface *table() const override { return parent(); }

    QStringList actionNames() const override
    {
        QStringList names{setFocusAction()};
        for (const RowAction &action : actionsOf(m_view))
            names.append(action.name);
        return names;
    }

    QString localizedActionName(const QString &name) const override
    {
        return name == setFocusAction() ? QAccessibleActionInterface::localizedActionName(name) : name;
    }

    QStringList keyBindingsForAction(const QString &name) const override
    {
        for (const RowAction &action : actionsOf(m_view)) {
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
            m_view->setCurrentIndex(index());
            m_view->setFocus(Qt::OtherFocusReason);
            return;
        }
        for (const RowAction &action : actionsOf(m_view)) {
            if (action.name == name && action.trigger) {
                action.trigger(m_row);
                return;
            }
        }
    }

private:
    QModelIndex index() const { return m_view->model()->index(m_row, 0); }

    QPointer<QListView> m_view;
    const int m_row;
};

// The list: its children are its rows, one interface per row number, kept
// until the list goes.
class RowListInterface final : public QAccessibleWidget, public QAccessibleTableInterface
{
public:
    explicit RowListInterface(QListView *view)
        : QAccessibleWidget(view, QAccessible::List)
    {
    }

    ~RowListInterface() override
    {
        for (const QAccessible::Id id : std::as_const(m_rows))
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return view()->model() ? view()->model()->rowCount() : 0; }

    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= childCount())
            return nullptr;
        QAccessible::Id &id = m_rows[index];
        if (!id)
            id = QAccessible::registerAccessibleInterface(new RowInterface(view(), index));
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
        const QModelIndex current = view()->currentIndex();
        return current.isValid() && view()->hasFocus() ? child(current.row()) : nullptr;
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    // The list as a table of one column, as screen readers know lists.
    QAccessibleInterface *caption() const override { return nullptr; }
    QAccessibleInterface *summary() const override { return nullptr; }
    QAccessibleInterface *cellAt(int row, int column) const override { return column == 0 ? child(row) : nullptr; }
    int selectedCellCount() const override { return selectedRowCount(); }
    QList<QAccessibleInterface *> selectedCells() const override
    {
        QList<QAccessibleInterface *> cells;
        for (const int row : selectedRows())
            cells.append(child(row));
        return cells;
    }
    QString columnDescription(int) const override { return {}; }
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override { return int(selectedRows().size()); }
    int columnCount() const override { return 1; }
    int rowCount() const override { return childCount(); }
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override
    {
        QList<int> rows;
        if (view()->selectionModel()) {
            for (const QModelIndex &index : view()->selectionModel()->selectedRows())
                rows.append(index.row());
        }
        return rows;
    }
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override { return selectedRows().contains(row); }
    bool selectRow(int row) override
    {
        if (row < 0 || row >= rowCount())
            return false;
        view()->setCurrentIndex(view()->model()->index(row, 0));
        return true;
    }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int row) override
    {
        if (row < 0 || row >= rowCount() || !view()->selectionModel())
            return false;
        view()->selectionModel()->select(view()->model()->index(row, 0), QItemSelectionModel::Deselect);
        return true;
    }
    bool unselectColumn(int) override { return false; }
    // The rows are read from the model each time: nothing to update.
    void modelChange(QAccessibleTableModelChangeEvent *) override { }

private:
    QListView *view() const { return static_cast<QListView *>(widget()); }

    mutable QHash<int, QAccessible::Id> m_rows;
};

QAccessibleInterface *rowListFactory(const QString &className, QObject *object)
{
    auto *view = qobject_cast<QListView *>(object);
    if (!view || className != QLatin1String(object->metaObject()->className()) || !actionSources().contains(object))
        return nullptr;
    return new RowListInterface(view);
}

} // namespace

void RowAccessibility::install(QListView *view, std::function<QList<RowAction>()> actions)
{
    static const bool installed = [] {
        QAccessible::installFactory(rowListFactory);
        return true;
    }();
    Q_UNUSED(installed);
    actionSources().insert(view, std::move(actions));
    QObject::connect(view, &QObject::destroyed, [view] { actionSources().remove(view); });
}
