#include "widgets/Gradients.h"

#include <vector>

namespace zr::widgets {

int gradientChannel(int from, int to, int index, int count) {
    if (count <= 1) {
        return from;
    }
    return roundEven(from + static_cast<double>(to - from) * index / (count - 1));
}

Colour gradientColour(Colour from, Colour to, int index, int count) {
    return rgb(gradientChannel(redOf(from), redOf(to), index, count),
               gradientChannel(greenOf(from), greenOf(to), index, count),
               gradientChannel(blueOf(from), blueOf(to), index, count));
}

void fillRectGradient(Canvas& canvas, const Rect& rect, Colour first, Colour second,
                      GradientDirection direction) {
    if (rect.right <= rect.left || rect.bottom <= rect.top) {
        return;
    }
    canvas.fillGradient(rect, first, second, direction);
}

void DrawGradientFourColour(Canvas& ObjectHDC, std::int32_t Left, std::int32_t Top,
                            std::int32_t Width, std::int32_t Height, Colour TopLeftColour,
                            Colour TopRightColour, Colour BottomLeftColour,
                            Colour BottomRightColour) {
    if (Width < 1 || Height < 1) {
        return;
    }
    const std::vector<Colour> leftEdge = gradientTable(Height, TopLeftColour, BottomLeftColour);
    const std::vector<Colour> rightEdge = gradientTable(Height, TopRightColour, BottomRightColour);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(Width) * 3);
    for (std::int32_t y = 0; y < Height; ++y) {
        const auto at = static_cast<std::size_t>(y);
        const std::vector<Colour> across = gradientTable(Width, leftEdge[at], rightEdge[at]);
        for (std::size_t x = 0; x < static_cast<std::size_t>(Width); ++x) {
            row[x * 3] = static_cast<std::uint8_t>(blueOf(across[x]));
            row[x * 3 + 1] = static_cast<std::uint8_t>(greenOf(across[x]));
            row[x * 3 + 2] = static_cast<std::uint8_t>(redOf(across[x]));
        }
        ObjectHDC.bitmapRow(Left, Top + y, row);
    }
}

} // namespace zr::widgets
