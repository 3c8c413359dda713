#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>

#include <optional>

// Where the popup opens and how tall its list box is.
namespace PopupGeometry {

// The height of the box that holds the list, for rows contentHeight tall
// on a screen whose available height is screenHeight: 430 for short lists,
// else the rows plus 50 while they fit with 200 to spare, else the screen
// height less 150. Without a known screen, the rows plus 50.
int listBoxHeight(int contentHeight, std::optional<int> screenHeight);

// The popup's top-left corner. Under the tray icon (above it when the icon
// sits in the lower half of the screen), centred on it; at the cursor when
// the tray gives no geometry. Always kept inside availableArea.
QPoint popupPosition(const QRect &trayIconGeometry, const QPoint &cursor, const QRect &availableArea,
                     const QSize &popupSize);

} // namespace PopupGeometry
