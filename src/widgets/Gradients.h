#pragma once

#include "widgets/Canvas.h"

#include <cstdint>

namespace zr::widgets {

// The themes' band fill: a two-colour linear gradient over (left, top, right, bottom), mode 0
// horizontal (left colour to right colour), 1 vertical (top colour to bottom colour).
void fillRectGradient(Canvas& canvas, const Rect& rect, Colour first, Colour second,
                      GradientDirection direction);

// Bilinear four-corner gradient over Width × Height pixels at (Left, Top), drawn as one 24-bit
// bitmap row per pixel row. Nothing is drawn for a width or height below 1.
void DrawGradientFourColour(Canvas& ObjectHDC, std::int32_t Left, std::int32_t Top,
                            std::int32_t Width, std::int32_t Height, Colour TopLeftColour,
                            Colour TopRightColour, Colour BottomLeftColour,
                            Colour BottomRightColour);

} // namespace zr::widgets
