#pragma once

#include <QColor>
#include <QWidget>

class QPushButton;
class QStackedWidget;

// The popup's two tabs: the quick-access list and the tasks. One view is
// hosted at a time in customView.
// Known elsewhere as popoverContainerVc.
class PopupTabs final : public QWidget
{
    Q_OBJECT

public:
    PopupTabs(QWidget *quickListView, QWidget *taskView, QWidget *taskEditor, QWidget *parent = nullptr);

    void btnshortcut();
    void btntask();
    // The task editor, in the tasks tab.
    void showTaskEditor();

    QWidget *currentview() const;
    bool showsTasks() const { return m_showsTasks; }
    int tabBarHeight() const;

private:
    void selectTab(bool tasks);

    QPushButton *m_btnshortcut = nullptr;
    QPushButton *m_btntask = nullptr;
    QWidget *m_boxShortcut = nullptr;
    QWidget *m_boxtask = nullptr;
    QStackedWidget *m_customView = nullptr;
    QWidget *m_tabBar = nullptr;
    QWidget *m_quickListView = nullptr;
    QWidget *m_taskView = nullptr;
    QWidget *m_taskEditor = nullptr;
    bool m_showsTasks = false;
};
