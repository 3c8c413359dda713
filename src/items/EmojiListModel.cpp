#include "items/EmojiListModel.h"

#include "items/EmojiCatalog.h"

void EmojiListModel::setEntries(const QList<int> &catalogIndexes)
{
    beginResetModel();
    m_entries = catalogIndexes;
    endResetModel();
}

int EmojiListModel::rowOf(int catalogIndex, int from) const
{
    return int(m_entries.indexOf(catalogIndex, from));
}

int EmojiListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant EmojiListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const int catalogIndex = m_entries.at(index.row());
    const Emoji &emoji = EmojiCatalog::all().at(catalogIndex);
    switch (role) {
    case Qt::DisplayRole:
    case int(Role::text):
        return emoji.text;
    case Qt::ToolTipRole:
    case Qt::AccessibleTextRole:
    case int(Role::name):
        return emoji.localizedName();
    case int(Role::catalogIndex):
        return catalogIndex;
    case Qt::TextAlignmentRole:
        return int(Qt::AlignCenter);
    default:
        return {};
    }
}

QHash<int, QByteArray> EmojiListModel::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert(int(Role::text), "text");
    names.insert(int(Role::name), "name");
    names.insert(int(Role::catalogIndex), "catalogIndex");
    return names;
}
