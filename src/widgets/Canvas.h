#pragma once

#include "widgets/ButtonFont.h"
#include "widgets/Colour.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace zr::imaging {
class PixelSurface;
}

namespace zr::widgets {

// A rectangle as the drawing calls take it: right and bottom are one past the last pixel.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const Rect&) const = default;
};

struct TextExtent {
    int width = 0;
    int height = 0;
};

enum class GradientDirection { Horizontal = 0, Vertical = 1 };

// The control's window shape: row y holds the pixels inset[y] <= x < width - inset[y].
struct WindowRegion {
    int width = 0;
    int height = 0;
    std::vector<int> inset;
    bool operator==(const WindowRegion&) const = default;
};

// The drawing operations the painter needs, in the coordinates of the control's own surface
// (pixels, origin top-left). One implementation draws with the toolkit's painter on the widget
// or an image; the tests record the calls.
class Canvas {
  public:
    virtual ~Canvas() = default;

    // Pixels outside the region are no longer part of the control.
    virtual void setRegion(const WindowRegion& region) = 0;
    // The whole surface in one colour.
    virtual void clear(Colour colour) = 0;
    // Two-colour linear gradient over the rectangle (see gradientChannel for the colour of
    // each row or column).
    virtual void fillGradient(const Rect& rect, Colour from, Colour to,
                              GradientDirection direction) = 0;
    // Outline only: the pen runs along left .. right - 1 and top .. bottom - 1, with corner
    // ellipses cornerWidth × cornerHeight.
    virtual void roundRectOutline(const Rect& rect, int cornerWidth, int cornerHeight,
                                  Colour pen) = 0;
    virtual void point(int x, int y, Colour colour) = 0;
    // From (x1, y1) up to but not including (x2, y2).
    virtual void line(int x1, int y1, int x2, int y2, Colour pen) = 0;
    // Top-left corner of the text at (x, y).
    virtual void text(int x, int y, std::string_view text, const ButtonFont& font,
                      Colour colour) = 0;
    virtual TextExtent textExtent(std::string_view text, const ButtonFont& font) = 0;
    // One row of 24-bit pixels (blue, green, red), width = bgr.size() / 3.
    virtual void bitmapRow(int x, int y, std::span<const std::uint8_t> bgr) = 0;
    // A premultiplied image composited source-over at (x, y).
    virtual void image(int x, int y, const imaging::PixelSurface& pixels) = 0;
};

// Channel value of pixel `index` of `count` pixels along a gradient from `from` to `to`: the
// first pixel has `from`, the last `to`, the ones between are interpolated and rounded.
int gradientChannel(int from, int to, int index, int count);
Colour gradientColour(Colour from, Colour to, int index, int count);

} // namespace zr::widgets
