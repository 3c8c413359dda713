#include "quicklist/TaskListModel.h"

#include "quicklist/TaskList.h"

TaskListModel::TaskListModel(TaskList &tasks, bool editable, QObject *parent)
    : QAbstractListModel(parent)
    , m_tasks(tasks)
    , m_editable(editable)
{
    connect(&tasks, &TaskList::aboutToInsert, this, [this](int row) { beginInsertRows({}, row, row); });
    connect(&tasks, &TaskList::inserted, this, [this] { endInsertRows(); });
    connect(&tasks, &TaskList::aboutToRemove, this, [this](int row) { beginRemoveRows({}, row, row); });
    connect(&tasks, &TaskList::removed, this, [this] { endRemoveRows(); });
    connect(&tasks, &TaskList::aboutToReset, this, [this] { beginResetModel(); });
    connect(&tasks, &TaskList::reset, this, [this] { endResetModel(); });
    connect(&tasks, &TaskList::taskChanged, this,
            [this](int row) { Q_EMIT dataChanged(index(row, 0), index(row, 0)); });
}

int TaskListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_tasks.count();
}

QVariant TaskListModel::data(const QModelIndex &index, int role) const
{
    if (!isRow(index))
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_tasks.title(index.row());
    case Qt::CheckStateRole:
        return m_tasks.isCompleted(index.row()) ? Qt::Checked : Qt::Unchecked;
    default:
        return {};
    }
}

bool TaskListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!isRow(index))
        return false;
    const int row = index.row();
    if (role == Qt::CheckStateRole) {
        m_tasks.setCompleted(row, value.toInt() == Qt::Checked);
        return true;
    }
    if (!m_editable || role != Qt::EditRole)
        return false;
    switch (m_tasks.didEditTextField(row, value.toString())) {
    case TaskList::Edit::renamed:
        Q_EMIT renamed(row);
        return true;
    case TaskList::Edit::removed:
        return true;
    case TaskList::Edit::duplicate:
        Q_EMIT duplicateTitle(row);
        return false;
    case TaskList::Edit::restored:
        // The view shows the title it had again.
        Q_EMIT dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
        return false;
    case TaskList::Edit::unchanged:
        break;
    }
    return false;
}

Qt::ItemFlags TaskListModel::flags(const QModelIndex &index) const
{
    if (!isRow(index))
        return Qt::NoItemFlags;
    Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren | Qt::ItemIsUserCheckable;
    if (m_editable)
        flags |= Qt::ItemIsEditable;
    return flags;
}
