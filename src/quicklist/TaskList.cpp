#include "quicklist/TaskList.h"

#include "platform/PreferencesStore.h"
#include "store/Records.h"
#include "store/StoreKeys.h"

namespace {

constexpr QLatin1String titleKey("title");
constexpr QLatin1String isCompletedKey("isCompleted");

QVariantMap task(const QString &title, bool completed)
{
    return {{titleKey, title}, {isCompletedKey, completed}};
}

QVariantMap sampleTask()
{
    return task(QStringLiteral("task"), true);
}

} // namespace

TaskList::TaskList(PreferencesStore &preferences, QObject *parent)
    : QObject(parent)
    , m_preferences(preferences)
    , m_tasks(storedTasks())
{
}

QList<QVariantMap> TaskList::storedTasks() const
{
    QList<QVariantMap> tasks;
    for (const QVariantMap &record : Records::recordsOf(m_preferences.arrayForKey(StoreKeys::tasks).value_or(QVariantList()))) {
        // Damaged records keep their place with sound values.
        tasks.append(task(StoredValue::stringIn(record, titleKey).value_or(QString()),
                          StoredValue::flagIn(record, isCompletedKey)));
    }
    return tasks;
}

void TaskList::reload()
{
    QList<QVariantMap> tasks = storedTasks();
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
    return m_tasks.value(row).value(titleKey).toString();
}

bool TaskList::isCompleted(int row) const
{
    return m_tasks.value(row).value(isCompletedKey).toBool();
}

void TaskList::store()
{
    m_showsSample = false;
    m_preferences.setObject(Records::arrayOf(m_tasks), StoreKeys::tasks);
}

void TaskList::append(const QString &title, bool completed)
{
    Q_EMIT aboutToInsert(count());
    m_tasks.append(task(title, completed));
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
    m_tasks[row].insert(isCompletedKey, completed);
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
    m_tasks[row].insert(titleKey, newTitle);
    store();
    Q_EMIT taskChanged(row);
    return Edit::renamed;
}
