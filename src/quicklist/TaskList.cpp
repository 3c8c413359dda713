#include "quicklist/TaskList.h"

#include "platform/PreferencesStore.h"
#include "store/StoreKeys.h"

namespace {

constexpr QLatin1String titleKey("title");
constexpr QLatin1String isCompletedKey("isCompleted");

} // namespace

TaskList::TaskList(PreferencesStore &preferences, QObject *parent)
    : QObject(parent)
    , m_preferences(preferences)
    , m_tasks(storedTasks())
{
}

QList<TaskList::Task> TaskList::storedTasks() const
{
    QList<Task> tasks;
    for (const QVariant &element : m_preferences.arrayForKey(StoreKeys::tasks).value_or(QVariantList())) {
        if (!StoredValue::isDictionary(element))
            continue;
        // Damaged records keep their place with sound values.
        const QVariantMap record = element.toMap();
        tasks.append(
            {StoredValue::stringIn(record, titleKey).value_or(QString()), StoredValue::flagIn(record, isCompletedKey)});
    }
    return tasks;
}

void TaskList::reload()
{
    QList<Task> tasks = storedTasks();
    if (m_showsSample && !m_preferences.hasObjectForKey(StoreKeys::tasks))
        tasks = {sampleTask()};
    if (tasks == m_tasks)
        return;
    Q_EMIT aboutToReset();
    m_tasks = tasks;
    Q_EMIT reset();
}

QString TaskList::title(int row) const
{
    return m_tasks.value(row).title;
}

bool TaskList::isCompleted(int row) const
{
    return m_tasks.value(row).completed;
}

void TaskList::store()
{
    m_showsSample = false;
    QVariantList stored;
    stored.reserve(m_tasks.size());
    for (const Task &task : std::as_const(m_tasks))
        stored.append(QVariantMap{{titleKey, task.title}, {isCompletedKey, task.completed}});
    m_preferences.setObject(stored, StoreKeys::tasks);
}

void TaskList::append(const QString &title, bool completed)
{
    Q_EMIT aboutToInsert(count());
    m_tasks.append({title, completed});
    store();
    Q_EMIT inserted();
}

void TaskList::remove(int row)
{
    if (row < 0 || row >= m_tasks.size())
        return;
    Q_EMIT aboutToRemove(row);
    m_tasks.removeAt(row);
    store();
    Q_EMIT removed();
}

void TaskList::setCompleted(int row, bool completed)
{
    if (row < 0 || row >= m_tasks.size() || isCompleted(row) == completed)
        return;
    m_tasks[row].completed = completed;
    store();
    Q_EMIT taskChanged(row);
}

void TaskList::addSampleTaskIfNew()
{
    if (m_showsSample || m_preferences.hasObjectForKey(StoreKeys::tasks))
        return;
    // Shown, not stored: opening the popup changes nothing on disk. The list
    // is stored, example and all, once the user changes it.
    Q_EMIT aboutToInsert(count());
    m_tasks.append(sampleTask());
    m_showsSample = true;
    Q_EMIT inserted();
}

TaskList::Edit TaskList::didEditTextField(int row, const QString &newTitle)
{
    if (row < 0 || row >= m_tasks.size())
        return Edit::unchanged;
    const QString old = title(row);
    if (old.isEmpty() && newTitle.isEmpty()) {
        remove(row);
        return Edit::removed;
    }
    if (newTitle == old)
        return Edit::unchanged;
    if (newTitle.isEmpty())
        return Edit::restored;
    for (int other = 0; other < m_tasks.size(); ++other) {
        if (other != row && title(other) == newTitle)
            return Edit::duplicate;
    }
    m_tasks[row].title = newTitle;
    store();
    Q_EMIT taskChanged(row);
    return Edit::renamed;
}
