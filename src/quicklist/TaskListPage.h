#pragma once

#include <QWidget>

class QListView;
class TaskList;
class TaskListModel;

// The popup's list of tasks, whose check boxes tick them off, with a button
// to the task editor, where titles change.
// Known elsewhere as popoverTaskVc.
class TaskListPage final : public QWidget
{
    Q_OBJECT

public:
    explicit TaskListPage(TaskList &tasks, QWidget *parent = nullptr);

    QListView *tblview() const { return m_tblview; }
    TaskListModel *model() const { return m_model; }

Q_SIGNALS:
    void editRequested();

private:
    TaskListModel *m_model = nullptr;
    QListView *m_tblview = nullptr;
};
