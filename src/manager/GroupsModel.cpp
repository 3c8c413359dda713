#include "manager/GroupsModel.h"

#include "manager/ManagerGroups.h"
#include "store/LocalizedText.h"

#include <QTimer>

GroupsModel::GroupsModel(ManagerGroups &groups, QObject *parent)
    : QAbstractListModel(parent)
    , m_groups(groups)
{
    connect(&groups, &ManagerGroups::groupsReset, this, [this] {
        beginResetModel();
        endResetModel();
    });
    connect(&groups, &ManagerGroups::groupChanged, this, [this](int row) {
        if (row >= 0 && row < rowCount())
            Q_EMIT dataChanged(index(row), index(row));
    });
}

int GroupsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_groups.groupCount();
}

QVariant GroupsModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const Group &group = m_groups.grouparr().at(index.row());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
    case Qt::AccessibleTextRole:
        return group.title();
    case Qt::AccessibleDescriptionRole:
    case int(Role::countText):
        return itemCountText(m_groups.itemCount(index.row()));
    case int(Role::color):
        return group.tagColor();
    default:
        return {};
    }
}

bool GroupsModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    const bool allowed = !m_editsAllowed || m_editsAllowed();
    const int row = index.row();
    const QString old = m_groups.groupTitle(row);
    const QString title = value.toString();
    // The rename rebuilds the rows, which must wait until the view has
    // closed the name field that sent it.
    m_pendingRename = [this, allowed, row, old, title] {
        if (!allowed) {
            m_groups.loadGroups();
            return;
        }
        if (m_groups.groupTitle(row) != old)
            return;
        Q_EMIT renameFinished(row, int(m_groups.rename(row, title)));
    };
    QTimer::singleShot(0, this, &GroupsModel::applyPendingRename);
    return allowed;
}

void GroupsModel::applyPendingRename()
{
    if (const auto rename = std::exchange(m_pendingRename, nullptr))
        rename();
}

Qt::ItemFlags GroupsModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable | Qt::ItemIsDragEnabled
           | Qt::ItemIsDropEnabled;
}

Qt::DropActions GroupsModel::supportedDropActions() const
{
    return Qt::CopyAction | Qt::MoveAction | Qt::LinkAction;
}
