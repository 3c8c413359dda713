#include "app/TrayIconImage.h"

#include <QIconEngine>
#include <QPainter>
#include <QPainterPath>

namespace {

class RibbonIconEngine final : public QIconEngine
{
public:
    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State) override
    {
        paintBrimbleIcon(*painter, rect, mode == QIcon::Disabled);
    }

    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap pixmap(size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        paint(&painter, QRect(QPoint(), size), mode, state);
        return pixmap;
    }

    QIconEngine *clone() const override { return new RibbonIconEngine; }
};

} // namespace

BrimbleIconShapes brimbleIconShapes(const QRectF &box)
{
    const qreal side = qMin(box.width(), box.height());
    const qreal left = box.left() + side * 0.22;
    const qreal right = box.right() - side * 0.22;
    const qreal top = box.top() + side * 0.1;
    const qreal bottom = box.bottom() - side * 0.08;

    BrimbleIconShapes shapes;
    QPainterPath &ribbon = shapes.ribbon;
    ribbon.moveTo(left, top + side * 0.08);
    ribbon.quadTo(left, top, left + side * 0.08, top);
    ribbon.lineTo(right - side * 0.08, top);
    ribbon.quadTo(right, top, right, top + side * 0.08);
    ribbon.lineTo(right, bottom);
    ribbon.lineTo((left + right) / 2, bottom - side * 0.2);
    ribbon.lineTo(left, bottom);
    ribbon.closeSubpath();
    shapes.holeCentre = QPointF((left + right) / 2, top + side * 0.3);
    shapes.holeRadius = side * 0.09;
    return shapes;
}

void paintBrimbleIcon(QPainter &painter, const QRectF &rect, bool disabled)
{
    const qreal side = qMin(rect.width(), rect.height());
    const QRectF box(rect.x() + (rect.width() - side) / 2, rect.y() + (rect.height() - side) / 2, side, side);
    const BrimbleIconShapes shapes = brimbleIconShapes(box);

    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(disabled ? BrimbleIconShapes::disabledColor : BrimbleIconShapes::ribbonColor);
    painter.drawPath(shapes.ribbon);
    painter.setBrush(BrimbleIconShapes::holeColor);
    painter.drawEllipse(shapes.holeCentre, shapes.holeRadius, shapes.holeRadius);
    painter.restore();
}

QIcon brimbleIcon()
{
    QIcon icon(new RibbonIconEngine);
    // Panels that read the icon as pixmaps (XEmbed trays) find these sizes.
    QIcon sized;
    for (int side : {16, 22, 24, 32, 48, 64, 128})
        sized.addPixmap(icon.pixmap(side, side));
    return sized;
}
