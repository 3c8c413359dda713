#include "manager/RowPainting.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QStyleOptionViewItem>
#include <QToolTip>

namespace RowPainting {

void paintBackground(QPainter *painter, const QStyleOptionViewItem &option)
{
    const QWidget *widget = option.widget;
    QStyle *style = widget ? widget->style() : QApplication::style();
    QStyleOptionViewItem background = option;
    background.text.clear();
    background.icon = QIcon();
    style->drawControl(QStyle::CE_ItemViewItem, &background, painter, widget);
    // The row with the focus shows it in both lists, also when it is the
    // selected row, on whose highlight the style's own focus frame is lost.
    if (option.state & QStyle::State_HasFocus) {
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, false);
        painter->setPen(QPen(textColor(option, false), 1, Qt::DotLine));
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(option.rect.adjusted(focusInset, focusInset, -focusInset - 1, -focusInset - 1));
        painter->restore();
    }
}

QColor textColor(const QStyleOptionViewItem &option, bool secondary)
{
    const QPalette::ColorGroup group = option.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    if (option.state & QStyle::State_Selected)
        return option.palette.color(group, QPalette::HighlightedText);
    return option.palette.color(group, secondary ? QPalette::PlaceholderText : QPalette::Text);
}

void paintSwatch(QPainter *painter, const QRect &rect, const QColor &color)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing);
    painter->setPen(QPen(QColor(0, 0, 0, 50), 1));
    painter->setBrush(color);
    painter->drawEllipse(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5));
    painter->restore();
}

QFont secondLineFont(const QFont &font)
{
    QFont small = font;
    small.setPointSizeF(small.pointSizeF() * 0.85);
    return small;
}

void paintTwoLines(QPainter *painter, const QStyleOptionViewItem &option, const QRect &first, const QString &name,
                   const QRect &second, const QString &secondText, Qt::TextElideMode secondElide)
{
    painter->save();
    painter->setPen(textColor(option, false));
    painter->setFont(option.font);
    painter->drawText(first, Qt::AlignLeft | Qt::AlignBottom,
                      option.fontMetrics.elidedText(name, Qt::ElideRight, first.width()));
    const QFont small = secondLineFont(option.font);
    painter->setFont(small);
    painter->setPen(textColor(option, true));
    painter->drawText(second, Qt::AlignLeft | Qt::AlignTop,
                      QFontMetrics(small).elidedText(secondText, secondElide, second.width()));
    painter->restore();
}

bool showRowTip(QHelpEvent *event, QAbstractItemView *view, const QRect &row, const QString &tip)
{
    if (tip.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPos(), tip, view ? view->viewport() : nullptr, row);
    return true;
}

} // namespace RowPainting
