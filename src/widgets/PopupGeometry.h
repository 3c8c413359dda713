#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

class QWidget;

// Where the popup and the small windows it opens (colour-tag picker, colour
// chooser, character palette) go, and how tall the popup's list box is.
namespace PopupGeometry {

// The height of the box that holds the list, for rows contentHeight tall
// on a screen whose available height is screenHeight: 430 for short lists,
// else the rows plus 50 while they fit with 200 to spare, else the screen
// height less 150. Without a known screen, the rows plus 50.
int listBoxHeight(int contentHeight, std::optional<int> screenHeight);

// How a window stands against its anchor.
enum class Side {
    below,        // under it, left edges aligned; above it when that has more room
    belowCentred, // the same, centred on it
    right,        // on its right, centred on it; on its left when that has more room
};

// The top-left corner of a window of windowSize opened against anchor (all
// in global coordinates), kept wholly inside availableArea, the available
// geometry of the screen that holds the anchor. A point anchor puts the
// window's corner at the point. An empty availableArea keeps the place.
QPoint place(const QRect &anchor, const QSize &windowSize, const QRect &availableArea, Side side = Side::below);
QPoint place(const QPoint &anchor, const QSize &windowSize, const QRect &availableArea, Side side = Side::below);

// The popup's top-left corner: under the tray icon and centred on it (above
// it in a bottom panel); at the cursor when the tray gives no geometry.
QPoint popupPosition(const QRect &trayIconGeometry, const QPoint &cursor, const QRect &availableArea,
                     const QSize &popupSize);

// The available geometry of the screen that holds point (the primary
// screen's when none does); empty without any screen.
QRect availableAreaAt(const QPoint &point);

// Moves window against anchor on the screen that holds the anchor, at the
// size its layout gives it once shown.
void moveTo(QWidget *window, const QRect &anchor, Side side = Side::below);

} // namespace PopupGeometry
