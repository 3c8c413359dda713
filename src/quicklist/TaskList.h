#pragma once

#include <QList>
#include <QObject>
#include <QString>

class PreferencesStore;

// The user's list of tasks: records with "title" (string) and "isCompleted"
// (boolean), kept in the preferences store under "tasks" so that they
// survive a restart. Every change is written at once, as a whole array.
class TaskList final : public QObject
{
    Q_OBJECT

public:
    explicit TaskList(PreferencesStore &preferences, QObject *parent = nullptr);

    int count() const { return int(m_tasks.size()); }
    QString title(int row) const;
    bool isCompleted(int row) const;

    void append(const QString &title, bool completed);
    void remove(int row);
    void setCompleted(int row, bool completed);
    // The example task a fresh list starts with; added only while no list
    // has ever been stored, and stored only with the user's first change.
    void addSampleTaskIfNew();
    // Reads the list again, when another program changed it in the store.
    void reload();

    // What an edit of a task's title did.
    enum class Edit {
        removed,   // an empty task left empty is dropped
        unchanged, // the same title
        restored,  // a title cleared: the old one stays
        duplicate, // another task has that title: the old one stays
        renamed,
    };
    Edit didEditTextField(int row, const QString &newTitle);

Q_SIGNALS:
    // Around each change, row by row, so that models follow without a
    // reset (which would close an editor that is open on another row).
    void aboutToInsert(int row);
    void inserted();
    void aboutToRemove(int row);
    void removed();
    void taskChanged(int row);
    void aboutToReset();
    void reset();

private:
    struct Task
    {
        QString title;
        bool completed = false;
        bool operator==(const Task &other) const = default;
    };

    // The example a fresh list shows.
    static Task sampleTask() { return {QStringLiteral("task"), true}; }
    void store();
    QList<Task> storedTasks() const;

    PreferencesStore &m_preferences;
    QList<Task> m_tasks;
    bool m_showsSample = false;
};
