#pragma once

#include <QColor>
#include <QIcon>
#include <QPainterPath>

class QPainter;

// Brimble's tray and window icon: a bookmark ribbon, drawn at every size the
// panel asks for so that it stays sharp.
QIcon brimbleIcon();

// The installed icons' name in the icon theme, and that of the monochrome
// variant the panels of some desktops show in the tray instead.
inline constexpr char brimbleIconName[] = "org.brimble.Brimble";
inline constexpr char brimbleSymbolicIconName[] = "org.brimble.Brimble-symbolic";

// The icon's shapes in a square box: the ribbon, and the round hole near
// its top drawn over it. The installed icon files are drawn from these too.
struct BrimbleIconShapes
{
    QPainterPath ribbon;
    QPointF holeCentre;
    qreal holeRadius = 0;

    static constexpr QColor ribbonColor = QColor(71, 206, 100);
    static constexpr QColor disabledColor = QColor(150, 150, 150);
    static constexpr QColor holeColor = QColor(255, 255, 255, 230);
};
BrimbleIconShapes brimbleIconShapes(const QRectF &box);

// Draws the icon centred in rect, grey when disabled.
void paintBrimbleIcon(QPainter &painter, const QRectF &rect, bool disabled = false);
