#include "widgets/PopupGeometry.h"

#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QWidget>
#include <QWindow>

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

QPoint place(const QRect &anchor, const QSize &windowSize, const QRect &availableArea, Side side)
{
    // Edges as exclusive coordinates, so that a point (an empty rect) works too.
    const int left = anchor.x();
    const int top = anchor.y();
    const int right = anchor.x() + anchor.width();
    const int bottom = anchor.y() + anchor.height();
    const int width = windowSize.width();
    const int height = windowSize.height();
    QPoint topLeft;
    if (side == Side::right) {
        topLeft = QPoint(right, top + anchor.height() / 2 - height / 2);
        const bool fitsRight = right + width <= availableArea.x() + availableArea.width();
        if (!availableArea.isEmpty() && !fitsRight && left - availableArea.x() > availableArea.right() + 1 - right)
            topLeft.setX(left - width);
    } else {
        topLeft = QPoint(side == Side::belowCentred ? left + anchor.width() / 2 - width / 2 : left, bottom);
        const bool fitsBelow = bottom + height <= availableArea.y() + availableArea.height();
        if (!availableArea.isEmpty() && !fitsBelow && top - availableArea.y() > availableArea.bottom() + 1 - bottom)
            topLeft.setY(top - height);
    }
    if (availableArea.isEmpty())
        return topLeft;
    const int maxX = std::max(availableArea.left(), availableArea.right() + 1 - width);
    const int maxY = std::max(availableArea.top(), availableArea.bottom() + 1 - height);
    return QPoint(std::clamp(topLeft.x(), availableArea.left(), maxX),
                  std::clamp(topLeft.y(), availableArea.top(), maxY));
}

QPoint place(const QPoint &anchor, const QSize &windowSize, const QRect &availableArea, Side side)
{
    return place(QRect(anchor, QSize(0, 0)), windowSize, availableArea, side);
}

QPoint popupPosition(const QRect &trayIconGeometry, const QPoint &cursor, const QRect &availableArea,
                     const QSize &popupSize)
{
    if (trayIconGeometry.isEmpty())
        return place(cursor, popupSize, availableArea);
    return place(trayIconGeometry, popupSize, availableArea, Side::belowCentred);
}

QRect availableAreaAt(const QPoint &point)
{
    QScreen *screen = QGuiApplication::screenAt(point);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->availableGeometry() : QRect();
}

void moveTo(QWidget *window, const QRect &anchor, Side side)
{
    // A window not shown yet has not been laid out: its size would grow to
    // the layout's minimum only after it was placed.
    window->ensurePolished();
    if (QLayout *layout = window->layout())
        layout->activate();
    const QSize size = window->size().expandedTo(window->minimumSizeHint()).expandedTo(window->minimumSize());
    if (size != window->size())
        window->resize(size);
    // move() places the frame, which the platform window knows once it exists.
    window->winId();
    const QMargins frame = window->windowHandle() ? window->windowHandle()->frameMargins() : QMargins();
    const QSize frameSize = size.grownBy(frame);
    const QPoint centre(anchor.x() + anchor.width() / 2, anchor.y() + anchor.height() / 2);
    window->move(place(anchor, frameSize, availableAreaAt(centre), side));
}

} // namespace PopupGeometry
