// Tiling document windows: both arrangements cover the area exactly, without
// overlap, for any number of windows.
#include <gtest/gtest.h>

#include "app/windowArrangement.h"

using app::TileRect;
using app::tileRects;

TEST(WindowTiling, EveryPixelOfTheAreaBelongsToExactlyOneWindow)
{
    for (bool horizontally : {true, false})
        for (int count = 1; count <= 9; ++count) {
            const int width = 997, height = 613;
            const std::vector<TileRect> rects = tileRects(count, width, height, horizontally);
            ASSERT_EQ(static_cast<int>(rects.size()), count);
            std::vector<int> owners(static_cast<std::size_t>(width * height), 0);
            for (const TileRect& r : rects) {
                ASSERT_GT(r.width, 0);
                ASSERT_GT(r.height, 0);
                for (int y = r.y; y < r.y + r.height; ++y)
                    for (int x = r.x; x < r.x + r.width; ++x)
                        ++owners[static_cast<std::size_t>(y * width + x)];
            }
            for (int owner : owners)
                ASSERT_EQ(owner, 1) << count << (horizontally ? " horizontally" : " vertically");
        }
}

TEST(WindowTiling, TheTwoDirectionsDiffer)
{
    // Two: one above the other, or side by side.
    EXPECT_EQ(tileRects(2, 800, 600, true), (std::vector<TileRect>{{0, 0, 800, 300}, {0, 300, 800, 300}}));
    EXPECT_EQ(tileRects(2, 800, 600, false), (std::vector<TileRect>{{0, 0, 400, 600}, {400, 0, 400, 600}}));
    // Three: one column (or row) of three.
    EXPECT_EQ(tileRects(3, 900, 600, true)[2], (TileRect{0, 400, 900, 200}));
    EXPECT_EQ(tileRects(3, 900, 600, false)[2], (TileRect{600, 0, 300, 600}));
    // Five: two columns of two and three windows, or two rows of them.
    const auto h = tileRects(5, 800, 600, true);
    EXPECT_EQ(h[0], (TileRect{0, 0, 400, 300}));
    EXPECT_EQ(h[4], (TileRect{400, 400, 400, 200}));
    const auto v = tileRects(5, 800, 600, false);
    EXPECT_EQ(v[0], (TileRect{0, 0, 400, 300}));
    EXPECT_EQ(v[4], (TileRect{533, 300, 267, 300}));
    EXPECT_TRUE(tileRects(0, 800, 600, true).empty());
}

TEST(WindowArrangement, ANewWindowStaysWhollyInsideTheArea)
{
    // The fourth window one step further than the third.
    EXPECT_EQ(app::newWindowRect(3, 600, 400, 1200, 800, 30), (TileRect{90, 90, 600, 400}));
    // Room for one step only: the third window one step in, the fourth back at the top left.
    EXPECT_EQ(app::newWindowRect(3, 1100, 750, 1200, 800, 30), (TileRect{30, 30, 1100, 750}));
    EXPECT_EQ(app::newWindowRect(4, 1100, 750, 1200, 800, 30), (TileRect{0, 0, 1100, 750}));
    // Larger than the area: the area's size.
    EXPECT_EQ(app::newWindowRect(2, 1500, 900, 1200, 800, 30), (TileRect{0, 0, 1200, 800}));
    for (int others = 0; others < 40; ++others) {
        const TileRect r = app::newWindowRect(others, 700, 500, 1000, 640, 27);
        EXPECT_LE(r.x + r.width, 1000);
        EXPECT_LE(r.y + r.height, 640);
    }
}
