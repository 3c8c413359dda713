#include "widgets/PopupGeometry.h"

#include <gtest/gtest.h>

#include <optional>
#include <tuple>

TEST(PopupGeometryTest, EveryWindowStaysWhollyOnTheScreenOfItsAnchor)
{
    // The list box: at least 430, the rows plus 50, at most the screen less 150.
    for (const auto &[rows, screen, height] : {std::tuple{379, std::optional<int>(900), 430},
                                               {0, std::nullopt, 430},
                                               {500, 900, 550},
                                               {800, 900, 750},
                                               {5000, std::nullopt, 5050}})
        EXPECT_EQ(PopupGeometry::listBoxHeight(rows, screen), height) << rows;

    const QRect screen(0, 0, 1920, 1080);
    const QSize size(360, 500);
    // Centred under a tray icon in a top panel, above one in a bottom panel.
    EXPECT_EQ(PopupGeometry::popupPosition(QRect(1000, 0, 24, 24), {}, screen, size), QPoint(832, 24));
    EXPECT_EQ(PopupGeometry::popupPosition(QRect(1000, 1056, 24, 24), {}, screen, size), QPoint(832, 556));
    // No tray geometry: at the cursor, clamped; near the bottom above it, as a menu opens.
    EXPECT_EQ(PopupGeometry::popupPosition(QRect(), QPoint(100, 200), screen, size), QPoint(100, 200));
    EXPECT_EQ(PopupGeometry::popupPosition(QRect(), QPoint(1900, 1000), screen, size), QPoint(1560, 500));
    EXPECT_EQ(PopupGeometry::popupPosition(QRect(), QPoint(1900, 1000), QRect(1920, 0, 1280, 1024), size),
              QPoint(1920, 500));

    using PopupGeometry::Side;
    const QRect small(0, 0, 1280, 800);
    const struct
    {
        QRect anchor;
        QSize size;
        Side side;
        QPoint expected;
    } cases[] = {
        {QRect(894, 300, 24, 24), QSize(484, 400), Side::below, QPoint(796, 324)}, // moved left, not cut
        {QRect(100, 700, 24, 24), QSize(300, 200), Side::below, QPoint(100, 500)}, // above, near the bottom
        // Taller than the room on either side: on the side with more room, pushed on screen.
        {QRect(100, 400, 24, 24), QSize(300, 700), Side::below, QPoint(100, 0)},
        {QRect(1250, 100, 20, 20), QSize(200, 40), Side::right, QPoint(1050, 90)}, // flipped left at the edge
        {QRect(100, 5, 20, 20), QSize(200, 40), Side::right, QPoint(120, 0)},
        {QRect(10, 10, 10, 10), QSize(2000, 900), Side::below, QPoint(0, 0)}, // larger: top-left visible
    };
    for (const auto &c : cases)
        EXPECT_EQ(PopupGeometry::place(c.anchor, c.size, small, c.side), c.expected) << c.anchor.x();
    // A second screen to the right: kept on the anchor's screen.
    EXPECT_EQ(PopupGeometry::place(QPoint(1290, 1070), QSize(300, 300), QRect(1280, 0, 1920, 1080)), QPoint(1290, 770));
    EXPECT_EQ(PopupGeometry::place(QPoint(5, 5), QSize(30, 30), QRect()), QPoint(5, 5)) << "no screen known";
}
