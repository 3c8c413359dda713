#include "quicklist/PopupGeometry.h"

#include <algorithm>

namespace PopupGeometry {

int listBoxHeight(int contentHeight, std::optional<int> screenHeight)
{
    if (contentHeight < 380)
        return 430;
    if (!screenHeight)
        return contentHeight + 50;
    const int limit = *screenHeight - 200;
    if (limit > contentHeight)
        return contentHeight + 50;
    return *screenHeight - 150;
}

QPoint popupPosition(const QRect &trayIconGeometry, const QPoint &cursor, const QRect &availableArea,
                     const QSize &popupSize)
{
    QPoint topLeft;
    if (trayIconGeometry.isEmpty()) {
        topLeft = cursor;
    } else {
        const QPoint iconCentre = trayIconGeometry.topLeft()
            + QPoint(trayIconGeometry.width() / 2, trayIconGeometry.height() / 2);
        topLeft.setX(iconCentre.x() - popupSize.width() / 2);
        const bool iconAtBottom = iconCentre.y() > availableArea.top() + availableArea.height() / 2;
        topLeft.setY(iconAtBottom ? trayIconGeometry.top() - popupSize.height() : trayIconGeometry.bottom() + 1);
    }
    if (availableArea.isEmpty())
        return topLeft;
    const int maxX = std::max(availableArea.left(), availableArea.right() + 1 - popupSize.width());
    const int maxY = std::max(availableArea.top(), availableArea.bottom() + 1 - popupSize.height());
    return QPoint(std::clamp(topLeft.x(), availableArea.left(), maxX), std::clamp(topLeft.y(), availableArea.top(), maxY));
}

} // namespace PopupGeometry
