#pragma once

#include <vector>

namespace app {

struct TileRect {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const TileRect&) const = default;
};

// Where `count` document windows go when tiled over an area of `width` x
// `height`, in the order given. Tiled horizontally, the windows lie one above
// another in columns of rows (two windows: one above the other, each the full
// width); tiled vertically, side by side in rows of columns (two windows: side
// by side, each the full height). With more windows, the columns (or rows) are
// the integer square root of the count, and the last ones take one window more
// when the count does not divide evenly. The rectangles cover the area exactly.
std::vector<TileRect> tileRects(int count, int width, int height, bool horizontally);

// Where a new document window of `width` x `height` goes when `others` are
// open: one cascade step (`step` pixels right and down) per other window, as
// far as the whole window stays inside the area, then from the top left again;
// a window larger than the area is made to fit it.
TileRect newWindowRect(int others, int width, int height, int areaWidth, int areaHeight, int step);

}  // namespace app
