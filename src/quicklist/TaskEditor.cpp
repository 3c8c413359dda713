#include "quicklist/TaskEditor.h"

#include "quicklist/TaskList.h"
#include "quicklist/TaskListModel.h"
#include "store/LocalizedText.h"
#include "store/TextKeys.h"
#include "store/ViewLinks.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int startEditingDelayMs = 100;

} // namespace

TaskEditor::TaskEditor(TaskList &tasks, ViewLinks &viewLinks, QWidget *parent)
    : QWidget(parent)
    , m_tasks(tasks)
{
    setObjectName(QStringLiteral("manageTask"));
    m_model = new TaskListModel(tasks, true, this);
    m_tblview = new QListView(this);
    m_tblview->setObjectName(QStringLiteral("tblview"));
    m_tblview->setModel(m_model);
    m_tblview->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed
                               | QAbstractItemView::SelectedClicked);
    m_tblview->setSelectionMode(QAbstractItemView::SingleSelection);

    auto *segments = new QWidget(this);
    segments->setObjectName(QStringLiteral("btnaddRemoveTask"));
    auto *segmentLayout = new QHBoxLayout(segments);
    segmentLayout->setContentsMargins(0, 0, 0, 0);
    segmentLayout->setSpacing(0);
    m_btnAdd = new QToolButton(segments);
    m_btnAdd->setObjectName(QStringLiteral("btnaddTask"));
    m_btnAdd->setText(QStringLiteral("+"));
    m_btnAdd->setToolTip(LocalizedText(Text::addTask));
    m_btnAdd->setAccessibleName(LocalizedText(Text::addTask));
    m_btnRemove = new QToolButton(segments);
    m_btnRemove->setObjectName(QStringLiteral("btnremoveTask"));
    m_btnRemove->setText(QStringLiteral("\u2212"));
    m_btnRemove->setToolTip(LocalizedText(Text::removeTask));
    m_btnRemove->setAccessibleName(LocalizedText(Text::removeTask));
    segmentLayout->addWidget(m_btnAdd);
    segmentLayout->addWidget(m_btnRemove);

    m_message = new QLabel(this);
    m_message->setStyleSheet(QStringLiteral("color: #D70015;"));
    m_message->setWordWrap(true);
    m_message->hide();

    auto *done = new QPushButton(LocalizedText(Text::done), this);

    auto *bottom = new QHBoxLayout;
    bottom->addWidget(segments);
    bottom->addStretch();
    bottom->addWidget(done);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(m_tblview, 1);
    layout->addWidget(m_message);
    layout->addLayout(bottom);

    connect(m_btnAdd, &QToolButton::clicked, this, [this] { btnaddremoveTask(0); });
    connect(m_btnRemove, &QToolButton::clicked, this, [this] { btnaddremoveTask(1); });
    connect(done, &QPushButton::clicked, this, &TaskEditor::doneClicked);
    connect(m_model, &TaskListModel::duplicateTitle, this, &TaskEditor::alertforSametask);
    connect(m_model, &TaskListModel::renamed, this, [this, &viewLinks] {
        m_message->hide();
        viewLinks.requestQuickListReload();
    });

    m_tasks.addSampleTaskIfNew();
}

void TaskEditor::btnaddremoveTask(int segment)
{
    // Ends an edit in progress (its editor commits when it loses the focus).
    m_tblview->setFocus();
    if (segment == 0) {
        m_tasks.append(QString(), false);
        const int last = m_tasks.count() - 1;
        m_tblview->setCurrentIndex(m_model->index(last, 0));
        QTimer::singleShot(startEditingDelayMs, this, [this, last] { makeLabelStartEditing(last); });
    } else if (segment == 1) {
        const QModelIndex current = m_tblview->currentIndex();
        if (current.isValid())
            m_tasks.remove(current.row());
    }
}

void TaskEditor::makeLabelStartEditing(int row)
{
    if (row < 0 || row >= m_model->rowCount())
        return;
    const QModelIndex index = m_model->index(row, 0);
    m_tblview->setCurrentIndex(index);
    m_tblview->edit(index);
    // The caret goes after the text.
    if (auto *field = qobject_cast<QLineEdit *>(m_tblview->indexWidget(index))) {
        field->deselect();
        field->end(false);
    }
}

void TaskEditor::alertforSametask(int row)
{
    m_message->setText(LocalizedText(Text::taskNameTaken));
    m_message->show();
    QTimer::singleShot(startEditingDelayMs, this, [this, row] { makeLabelStartEditing(row); });
}

QString TaskEditor::message() const
{
    return m_message->isVisibleTo(this) ? m_message->text() : QString();
}
