#pragma once

#include <QListView>

class QMimeData;

// The internal row drag's type on the drag's data.
inline constexpr QLatin1String tableViewDragType("MoveRowsType");

// What the manager's two lists have in common: one column of painted rows
// of equal height, one selected at a time, a context menu, and a row
// dragged as its row number.
class ManagerListView : public QListView
{
    Q_OBJECT

public:
    explicit ManagerListView(QWidget *parent = nullptr);

protected:
    // A drag's data that names row (of tableViewDragType).
    static QMimeData *rowDragData(int row);
    // The current row and the selected row are one: the keys act on the row
    // the focus shows, wherever the focus came from.
    void focusInEvent(QFocusEvent *event) override;
    // Shift+F10 opens the current row's context menu, as the Menu key does.
    void keyPressEvent(QKeyEvent *event) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;

private:
    void selectCurrentRow();
};
