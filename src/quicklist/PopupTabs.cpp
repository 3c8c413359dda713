#include "quicklist/PopupTabs.h"

#include "store/LocalizedText.h"
#include "store/TextKeys.h"

#include <QGridLayout>
#include <QPushButton>
#include <QStackedWidget>
#include <QVBoxLayout>

namespace {

const QColor btnSelectedcolor(255, 255, 255);
const QColor btnNormalColor(246, 246, 246);
const QColor btnHoverColor(255, 255, 255);
const QColor btnDownColor(230, 230, 230);

QString buttonStyle(bool selected)
{
    const QColor normal = selected ? btnSelectedcolor : btnNormalColor;
    const QColor hover = selected ? btnSelectedcolor : btnHoverColor;
    const QColor down = selected ? btnSelectedcolor : btnDownColor;
    return QStringLiteral("QPushButton { background: %1; color: #202020; border: %2px solid #D0D0D0; padding: 6px; }"
                          "QPushButton:hover { background: %3; } QPushButton:pressed { background: %4; }")
        .arg(normal.name())
        .arg(selected ? 1 : 0)
        .arg(hover.name(), down.name());
}

} // namespace

PopupTabs::PopupTabs(QWidget *quickListView, QWidget *taskView, QWidget *taskEditor, QWidget *parent)
    : QWidget(parent)
    , m_quickListView(quickListView)
    , m_taskView(taskView)
    , m_taskEditor(taskEditor)
{
    setObjectName(QStringLiteral("popoverContainerVc"));
    m_tabBar = new QWidget(this);
    auto *tabs = new QGridLayout(m_tabBar);
    tabs->setContentsMargins(0, 0, 0, 0);
    tabs->setSpacing(0);
    m_btnshortcut = new QPushButton(LocalizedText(Text::favouritesTab), m_tabBar);
    m_btnshortcut->setObjectName(QStringLiteral("btnshortcut"));
    m_btntask = new QPushButton(LocalizedText(Text::tasksTab), m_tabBar);
    m_btntask->setObjectName(QStringLiteral("btntask"));
    for (QPushButton *button : {m_btnshortcut, m_btntask}) {
        button->setFlat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->setCursor(Qt::PointingHandCursor);
    }
    m_boxShortcut = new QWidget(m_tabBar);
    m_boxtask = new QWidget(m_tabBar);
    for (QWidget *underline : {m_boxShortcut, m_boxtask}) {
        underline->setFixedHeight(2);
        underline->setStyleSheet(QStringLiteral("background: palette(highlight);"));
    }
    tabs->addWidget(m_btnshortcut, 0, 0);
    tabs->addWidget(m_btntask, 0, 1);
    tabs->addWidget(m_boxShortcut, 1, 0);
    tabs->addWidget(m_boxtask, 1, 1);

    m_customView = new QStackedWidget(this);
    m_customView->setObjectName(QStringLiteral("customView"));
    for (QWidget *view : {m_quickListView, m_taskView, m_taskEditor})
        m_customView->addWidget(view);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_tabBar);
    layout->addWidget(m_customView, 1);

    connect(m_btnshortcut, &QPushButton::clicked, this, &PopupTabs::btnshortcut);
    connect(m_btntask, &QPushButton::clicked, this, &PopupTabs::btntask);
    btnshortcut();
}

void PopupTabs::selectTab(bool tasks)
{
    m_showsTasks = tasks;
    m_btnshortcut->setStyleSheet(buttonStyle(!tasks));
    m_btntask->setStyleSheet(buttonStyle(tasks));
    m_boxShortcut->setVisible(!tasks);
    m_boxtask->setVisible(tasks);
}

void PopupTabs::btnshortcut()
{
    selectTab(false);
    m_customView->setCurrentWidget(m_quickListView);
}

void PopupTabs::btntask()
{
    selectTab(true);
    m_customView->setCurrentWidget(m_taskView);
}

void PopupTabs::showTaskEditor()
{
    selectTab(true);
    m_customView->setCurrentWidget(m_taskEditor);
}

QWidget *PopupTabs::currentview() const
{
    return m_customView->currentWidget();
}

int PopupTabs::tabBarHeight() const
{
    return m_tabBar->sizeHint().height();
}
