#pragma once

#include <QWidget>

class QLabel;
class QListView;
class QPushButton;
class QToolButton;
class TaskList;
class TaskListModel;
class ViewLinks;

// The task editor: add and remove buttons, and the tasks with editable
// titles and completion check boxes. A title that another task has already
// is refused with a message, and editing starts again.
// Known elsewhere as manageTask.
class TaskEditor final : public QWidget
{
    Q_OBJECT

public:
    TaskEditor(TaskList &tasks, ViewLinks &viewLinks, QWidget *parent = nullptr);

    // The add (0) and remove (1) segments of btnaddRemoveTask.
    void btnaddremoveTask(int segment);
    QListView *tblview() const { return m_tblview; }
    TaskListModel *model() const { return m_model; }
    // The same-name message, or empty while none is shown.
    QString message() const;

Q_SIGNALS:
    void doneClicked();

private:
    void makeLabelStartEditing(int row);
    void alertforSametask(int row);

    TaskList &m_tasks;
    TaskListModel *m_model = nullptr;
    QListView *m_tblview = nullptr;
    QToolButton *m_btnAdd = nullptr;
    QToolButton *m_btnRemove = nullptr;
    QLabel *m_message = nullptr;
};
