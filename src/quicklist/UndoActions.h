#pragma once

#include <QObject>
#include <QString>

#include <functional>

class FavoritesHistory;
class QAction;
class QMenu;
class QWidget;

// A window's Undo and Redo: Ctrl+Z and Ctrl+Shift+Z anywhere in it (a text
// field keeps them for its own text), and entries for its rows' menus,
// named after the step they act on. Both windows act on the one history.
class UndoActions final : public QObject
{
    Q_OBJECT

public:
    // tell shows the user what could not be undone or redone.
    UndoActions(FavoritesHistory &history, QWidget *window, std::function<void(const QString &)> tell);

    QAction *undoAction() const { return m_undo; }
    QAction *redoAction() const { return m_redo; }
    // Adds both entries, after a separator, to menu.
    void addTo(QMenu *menu) const;

private:
    void update();

    FavoritesHistory &m_history;
    std::function<void(const QString &)> m_tell;
    QAction *m_undo = nullptr;
    QAction *m_redo = nullptr;
};
