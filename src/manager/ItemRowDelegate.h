#pragma once

#include <QStyledItemDelegate>

// Paints an item row: icon or colour swatch, name, second line, pin mark
// and edit button.
class ItemRowDelegate final : public QStyledItemDelegate
{
    Q_OBJECT

public:
    enum class Part { none, icon, edit, pin };
    static constexpr int rowHeight = 48;

    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override;
    bool helpEvent(QHelpEvent *event, QAbstractItemView *view, const QStyleOptionViewItem &option,
                   const QModelIndex &index) override;

    static QRect partRect(const QRect &rowRect, Part part);
    // Where the name goes; the second line sits below it.
    static QRect titleRect(const QRect &rowRect, bool pinned);
};
