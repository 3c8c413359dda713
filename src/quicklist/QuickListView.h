#pragma once

#include "quicklist/RowDelegate.h"

#include <QListView>

// The popup's table: a list view that reports which row and which of its
// controls was clicked, and which row is under the pointer. It keeps no
// selection and leaves the keyboard to the popup.
class QuickListView final : public QListView
{
    Q_OBJECT

public:
    explicit QuickListView(QWidget *parent = nullptr);

    void setRowDelegate(RowDelegate *delegate);
    RowDelegate *rowDelegate() const { return m_delegate; }

    // While false (an inline box is open) the pointer highlights nothing.
    void setHoverEnabled(bool enabled);
    // Highlights row (HoverRow), or nothing for -1.
    void setHoverRow(int row);
    // Highlights row as the keyboard moved there, scrolls to it and makes
    // it the current item of screen readers.
    void highlightRow(int row);
    int hoverRow() const;

    // The total height of the rows.
    int contentHeight() const;
    // Where control part of row is drawn, in global coordinates.
    QRect globalPartRect(int row, RowDelegate::Part part) const;

Q_SIGNALS:
    void rowClicked(int row, RowDelegate::Part part);
    void hoverRowChanged(int row);
    // The pointer moved onto row (never sent for -1).
    void pointerEnteredRow(int row);
    void contextMenuRequested(int row, const QPoint &globalPos);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    RowDelegate *m_delegate = nullptr;
    bool m_hoverEnabled = true;
    int m_pressedRow = -1;
};
