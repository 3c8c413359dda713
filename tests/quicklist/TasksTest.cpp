#include "platform/FakePreferencesStore.h"
#include "quicklist/TaskEditor.h"
#include "quicklist/TaskList.h"
#include "quicklist/TaskListModel.h"
#include "quicklist/TaskListPage.h"
#include "store/LocalizedText.h"
#include "store/StoreKeys.h"
#include "store/TextKeys.h"
#include "store/ViewLinks.h"

#include <QAbstractItemModelTester>
#include <QLineEdit>
#include <QListView>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QStringList titlesOf(const TaskList &tasks)
{
    QStringList titles;
    for (int row = 0; row < tasks.count(); ++row)
        titles.append(tasks.title(row));
    return titles;
}

} // namespace

TEST(TasksTest, EditRulesAndTasksSurviveARestart)
{
    FakePreferencesStore preferences;
    {
        TaskList tasks(preferences);
        tasks.addSampleTaskIfNew();
        tasks.addSampleTaskIfNew();
        EXPECT_EQ(titlesOf(tasks), QStringList({"task"}));
        EXPECT_TRUE(tasks.isCompleted(0));
        EXPECT_EQ(preferences.writeCount(), 0) << "shown, not stored, until the user changes a task";

        tasks.append("", false);
        EXPECT_EQ(tasks.didEditTextField(1, "task"), TaskList::Edit::duplicate);
        EXPECT_EQ(tasks.didEditTextField(1, "Buy milk"), TaskList::Edit::renamed);
        EXPECT_EQ(tasks.didEditTextField(1, ""), TaskList::Edit::restored);
        EXPECT_EQ(tasks.title(1), "Buy milk");
        EXPECT_EQ(tasks.didEditTextField(1, "Task"), TaskList::Edit::renamed) << "titles compare exactly";
        tasks.append("", false);
        EXPECT_EQ(tasks.didEditTextField(2, ""), TaskList::Edit::removed);
        tasks.setCompleted(1, true);
        EXPECT_EQ(tasks.didEditTextField(9, "x"), TaskList::Edit::unchanged);
    }
    TaskList restarted(preferences);
    EXPECT_EQ(titlesOf(restarted), QStringList({"task", "Task"}));
    EXPECT_TRUE(restarted.isCompleted(1));
    restarted.addSampleTaskIfNew();
    EXPECT_EQ(restarted.count(), 2) << "the example task is added to a new list only";

    // Damaged stored records keep their place with sound values.
    preferences.setObject(QVariantList{QVariantMap{{"title", 5}}, QStringLiteral("junk")}, StoreKeys::tasks);
    TaskList damaged(preferences);
    EXPECT_EQ(titlesOf(damaged), QStringList({""}));
    EXPECT_FALSE(damaged.isCompleted(0));

    // Changed by another program: read again, and the models follow.
    TaskListModel model(damaged, false);
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    preferences.setObject(QVariantList{QVariantMap{{"title", "Elsewhere"}, {"isCompleted", true}}, QVariantMap{}},
                          StoreKeys::tasks);
    damaged.reload();
    EXPECT_EQ(titlesOf(damaged), QStringList({"Elsewhere", ""}));
    EXPECT_EQ(model.rowCount(), 2);
}

TEST(TasksTest, TheEditorRefusesATakenTitleAndSurvivesARenameInItsView)
{
    Localization::setTable(loadLanguageTable(QStringLiteral("English")));
    FakePreferencesStore preferences;
    ViewLinks links;
    TaskList tasks(preferences);
    TaskListModel readOnly(tasks, false);
    TaskEditor editor(tasks, links);
    QAbstractItemModelTester tester(editor.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);

    // Two new tasks given the same title: the second keeps its empty title.
    editor.btnaddremoveTask(0);
    editor.btnaddremoveTask(0);
    TaskListModel *model = editor.model();
    EXPECT_TRUE(model->setData(model->index(1, 0), "Call Anna"));
    EXPECT_FALSE(model->setData(model->index(2, 0), "Call Anna"));
    EXPECT_EQ(editor.message(), LocalizedText(Text::taskNameTaken));
    EXPECT_TRUE(model->setData(model->index(1, 0), Qt::Checked, Qt::CheckStateRole));
    EXPECT_EQ(readOnly.index(1, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked) << "the other models follow";

    // The remove segment drops the current one.
    editor.tblview()->setCurrentIndex(model->index(0, 0));
    editor.btnaddremoveTask(1);
    EXPECT_EQ(titlesOf(tasks), QStringList({"Call Anna", ""}));

    // A rename through the view's editor keeps the view and its editor intact.
    editor.show();
    QListView *view = editor.tblview();
    view->setCurrentIndex(model->index(1, 0));
    view->edit(model->index(1, 0));
    auto *field = qobject_cast<QLineEdit *>(view->indexWidget(model->index(1, 0)));
    ASSERT_TRUE(field);
    field->setText("Renamed");
    QTest::keyClick(field, Qt::Key_Return);
    QCoreApplication::processEvents(); // the delegate commits on a queued call
    EXPECT_EQ(titlesOf(tasks), QStringList({"Call Anna", "Renamed"}));
    EXPECT_EQ(view->currentIndex().row(), 1) << "the list was not reset under the editor";
    Localization::setTable(std::nullopt);
}

TEST(TasksTest, ThePopupsTaskListTicksTasksOffButLeavesTitlesToTheEditor)
{
    FakePreferencesStore preferences;
    TaskList tasks(preferences);
    tasks.append("Water the plants", false);
    TaskListPage page(tasks);
    const int row = tasks.count() - 1;
    const QModelIndex index = page.model()->index(row, 0);
    EXPECT_FALSE(page.model()->setData(index, "changed"));
    EXPECT_TRUE(page.model()->setData(index, Qt::Checked, Qt::CheckStateRole));
    EXPECT_TRUE(tasks.isCompleted(row));
    EXPECT_EQ(tasks.title(row), "Water the plants");
}
