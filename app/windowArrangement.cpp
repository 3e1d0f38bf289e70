#include "app/windowArrangement.h"

#include <algorithm>
#include <cmath>

namespace app {

namespace {

// Edge i of `parts` equal parts of `length`.
int edge(int i, int parts, int length)
{
    return static_cast<int>(static_cast<long long>(length) * i / parts);
}

}  // namespace

std::vector<TileRect> tileRects(int count, int width, int height, bool horizontally)
{
    std::vector<TileRect> rects;
    if (count <= 0 || width <= 0 || height <= 0)
        return rects;
    // Horizontally: groups are columns split into rows; vertically, rows split into columns.
    const int groups = std::max(1, static_cast<int>(std::sqrt(static_cast<double>(count))));
    const int perGroup = count / groups;
    const int longer = count % groups;  // the last `longer` groups hold one window more
    const int across = horizontally ? width : height;
    const int along = horizontally ? height : width;
    for (int g = 0; g < groups; ++g) {
        const int inGroup = perGroup + (g >= groups - longer ? 1 : 0);
        const int a0 = edge(g, groups, across), a1 = edge(g + 1, groups, across);
        for (int k = 0; k < inGroup; ++k) {
            const int b0 = edge(k, inGroup, along), b1 = edge(k + 1, inGroup, along);
            rects.push_back(horizontally ? TileRect{a0, b0, a1 - a0, b1 - b0} : TileRect{b0, a0, b1 - b0, a1 - a0});
        }
    }
    return rects;
}

TileRect newWindowRect(int others, int width, int height, int areaWidth, int areaHeight, int step)
{
    const int w = std::max(1, std::min(width, areaWidth));
    const int h = std::max(1, std::min(height, areaHeight));
    const int steps = step > 0 ? std::max(0, std::min((areaWidth - w) / step, (areaHeight - h) / step)) : 0;
    const int at = (std::max(0, others) % (steps + 1)) * std::max(0, step);
    return TileRect{at, at, w, h};
}

}  // namespace app
