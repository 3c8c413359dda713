#include "quicklist/TaskListPage.h"

#include "quicklist/TaskListModel.h"
#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <QHBoxLayout>
#include <QListView>
#include <QPushButton>
#include <QVBoxLayout>

TaskListPage::TaskListPage(TaskList &tasks, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("popoverTaskVc"));
    m_model = new TaskListModel(tasks, false, this);
    m_tblview = new QListView(this);
    m_tblview->setObjectName(QStringLiteral("tblcell_setting"));
    m_tblview->setModel(m_model);
    m_tblview->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_tblview->setSelectionMode(QAbstractItemView::NoSelection);
    m_tblview->setFocusPolicy(Qt::NoFocus);
    m_tblview->setFrameShape(QFrame::NoFrame);

    auto *edit = new QPushButton(LocalizedText(Text::editTasks), this);
    edit->setObjectName(QStringLiteral("btnEditTasks"));
    connect(edit, &QPushButton::clicked, this, &TaskListPage::editRequested);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(edit);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(m_tblview, 1);
    layout->addLayout(bottom);
}
