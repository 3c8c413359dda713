#pragma once

#include <QAbstractListModel>
#include <QList>

// The cells of the character palette: entries of the emoji catalog by index.
class EmojiListModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    enum class Role { text = Qt::UserRole + 1, name, catalogIndex };

    using QAbstractListModel::QAbstractListModel;

    void setEntries(const QList<int> &catalogIndexes);
    const QList<int> &entries() const { return m_entries; }
    // The row of the first cell showing catalogIndex, or -1.
    int rowOf(int catalogIndex, int from = 0) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

private:
    QList<int> m_entries;
};
