#pragma once

#include <QColor>
#include <QStyledItemDelegate>

// Paints the popup's rows (one painter for thousands of rows, no widget per
// row) and tells which of a row's controls a point falls on.
//
// Heading: colour strip, expand glyph (U+25BD expanded, U+25B7 collapsed),
// title, item count, add control, colour control.
// Item: icon or colour swatch, title, pin mark, folder-contents control.
class RowDelegate final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    enum class Part { none, body, expand, add, color, folderContents };

    explicit RowDelegate(QObject *parent = nullptr);

    static constexpr int rowHeight = 34;
    // The highlight of the row under the pointer.
    static QColor hovercolor();

    // The row drawn highlighted (HoverRow), or -1.
    int hoverRow() const { return m_hoverRow; }
    void setHoverRow(int row) { m_hoverRow = row; }

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;

    // Where a heading's colour tag is drawn in its row.
    static QRect tagStripRect(const QRect &rowRect)
    {
        return QRect(rowRect.left() + 6, rowRect.top() + 7, 4, rowRect.height() - 14);
    }

    // The control of the row at index (drawn in rowRect) under point.
    Part hitTest(const QRect &rowRect, const QModelIndex &index, const QPoint &point) const;
    // Where a control is drawn in a row; empty when the row has none.
    QRect partRect(const QRect &rowRect, const QModelIndex &index, Part part) const;

private:
    int m_hoverRow = -1;
};
