#pragma once

#include <QAbstractListModel>

class TaskList;

// The tasks as a list model: the title, and a check box for completion.
// The editor's model edits titles; the popup's list only ticks tasks off.
class TaskListModel final : public QAbstractListModel
{
    Q_OBJECT

public:
    TaskListModel(TaskList &tasks, bool editable, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

Q_SIGNALS:
    // An edit gave a task the title of another; the task kept its title.
    void duplicateTitle(int row);
    void renamed(int row);

private:
    // A valid row of this model.
    bool isRow(const QModelIndex &index) const
    {
        return index.isValid() && index.model() == this && index.row() < rowCount();
    }
    TaskList &m_tasks;
    bool m_editable;
};
