#pragma once

#include "widgets/Canvas.h"

namespace zr::widgets {

// The rounded rectangle (0, 0, width, height) with corner ellipses cornerWidth × cornerHeight:
// a pixel belongs to it when its centre lies inside the rounded outline. Corners of 0 or 1
// give the plain rectangle; ellipses larger than the control are clamped to it.
WindowRegion roundedRegion(int width, int height, int cornerWidth, int cornerHeight);

} // namespace zr::widgets
