#include "widgets/WindowRegion.h"

#include <algorithm>
#include <cmath>

namespace zr::widgets {

WindowRegion roundedRegion(int width, int height, int cornerWidth, int cornerHeight) {
    WindowRegion region;
    region.width = std::max(width, 0);
    region.height = std::max(height, 0);
    region.inset.assign(static_cast<std::size_t>(region.height), 0);
    const double rx = std::min(cornerWidth, region.width) / 2.0;
    const double ry = std::min(cornerHeight, region.height) / 2.0;
    if (rx < 1.0 || ry < 1.0) {
        return region;
    }
    for (int y = 0; y < region.height; ++y) {
        const double fromEdge = std::min(y, region.height - 1 - y) + 0.5;
        if (fromEdge >= ry) {
            continue;
        }
        const double dy = (ry - fromEdge) / ry;
        const double dx = rx * std::sqrt(1.0 - dy * dy);
        const int inset = static_cast<int>(std::ceil(rx - dx - 0.5));
        region.inset[static_cast<std::size_t>(y)] = std::clamp(inset, 0, region.width / 2);
    }
    return region;
}

} // namespace zr::widgets
