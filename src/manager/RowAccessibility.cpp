#include "manager/RowAccessibility.h"

#include <QListView>

namespace {

AccessibleRowActionSources &actionSources()
{
    static AccessibleRowActionSources sources;
    return sources;
}

// One row of the list, also a cell of a one-column table.
class RowInterface final : public AccessibleListRow, public QAccessibleTableCellInterface
{
public:
    RowInterface(QAbstractItemView *view, int row)
        : AccessibleListRow(view, row, actionSources())
    {
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableCellInterface)
            return static_cast<QAccessibleTableCellInterface *>(this);
        return AccessibleListRow::interface_cast(type);
    }

    bool isSelected() const override { return state().selected; }
    QList<QAccessibleInterface *> columnHeaderCells() const override { return {}; }
    QList<QAccessibleInterface *> rowHeaderCells() const override { return {}; }
    int columnIndex() const override { return 0; }
    int rowIndex() const override { return row(); }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface *table() const override { return parent(); }

protected:
    QString rowText(QAccessible::Text t, const QModelIndex &index) const override
    {
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

    void addRowState(QAccessible::State &state, const QModelIndex &index) const override
    {
        state.selected = view()->selectionModel() && view()->selectionModel()->isSelected(index);
        state.focused = view()->currentIndex() == index && view()->hasFocus();
    }

    void focusRow() override
    {
        view()->setCurrentIndex(index());
        view()->setFocus(Qt::OtherFocusReason);
    }
};

// The list, also a table of one column, as screen readers know lists.
class RowListInterface final : public AccessibleRowList, public QAccessibleTableInterface
{
public:
    explicit RowListInterface(QListView *view)
        : AccessibleRowList(view)
    {
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface *>(this);
        return AccessibleRowList::interface_cast(type);
    }

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

protected:
    AccessibleListRow *createRow(int row) const override { return new RowInterface(view(), row); }

    int focusedRow() const override
    {
        const QModelIndex current = view()->currentIndex();
        return current.isValid() && view()->hasFocus() ? current.row() : -1;
    }
};

QAccessibleInterface *rowListFactory(const QString &className, QObject *object)
{
    auto *view = qobject_cast<QListView *>(object);
    if (!view || className != QLatin1String(object->metaObject()->className()) || !actionSources().contains(object))
        return nullptr;
    return new RowListInterface(view);
}

} // namespace

void RowAccessibility::install(QListView *view, AccessibleRowActions actionsOf)
{
    static const bool installed = [] {
        QAccessible::installFactory(rowListFactory);
        return true;
    }();
    Q_UNUSED(installed);
    actionSources().insert(view, std::move(actionsOf));
}
