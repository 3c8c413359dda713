#include "quicklist/UndoActions.h"

#include "store/FavoritesHistory.h"

#include <QAction>
#include <QKeySequence>
#include <QMenu>
#include <QWidget>

UndoActions::UndoActions(FavoritesHistory &history, QWidget *window, std::function<void(const QString &)> tell)
    : QObject(window)
    , m_history(history)
    , m_tell(std::move(tell))
    , m_undo(new QAction(window))
    , m_redo(new QAction(window))
{
    m_undo->setObjectName(QStringLiteral("undoAction"));
    m_redo->setObjectName(QStringLiteral("redoAction"));
    m_undo->setShortcut(QKeySequence::Undo);
    QList<QKeySequence> redoKeys{QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)};
    for (const QKeySequence &keys : QKeySequence::keyBindings(QKeySequence::Redo)) {
        if (!redoKeys.contains(keys))
            redoKeys.append(keys);
    }
    m_redo->setShortcuts(redoKeys);
    for (QAction *action : {m_undo, m_redo}) {
        action->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        window->addAction(action);
    }
    connect(m_undo, &QAction::triggered, this, [this] {
        if (const QString message = m_history.undo(); !message.isEmpty())
            m_tell(message);
    });
    connect(m_redo, &QAction::triggered, this, [this] {
        if (const QString message = m_history.redo(); !message.isEmpty())
            m_tell(message);
    });
    connect(&m_history, &FavoritesHistory::changed, this, &UndoActions::update);
    update();
}

void UndoActions::addTo(QMenu *menu) const
{
    menu->addSeparator();
    menu->addAction(m_undo);
    menu->addAction(m_redo);
}

void UndoActions::update()
{
    m_undo->setText(m_history.undoText());
    m_undo->setEnabled(m_history.canUndo());
    m_redo->setText(m_history.redoText());
    m_redo->setEnabled(m_history.canRedo());
}
