#pragma once

#include "widgets/ButtonProperties.h"
#include "widgets/Canvas.h"
#include "widgets/Gradients.h"

#include <cstdint>

namespace zr::widgets {

enum class Look { Normal, Hover, Focus, Pressed, Disabled };

struct CornerColours {
    Colour topLeft;
    Colour topRight;
    Colour bottomLeft;
    Colour bottomRight;
};

// The layer kinds every theme is built from, on one control of SW × SH pixels.
struct ThemeContext {
    Canvas& canvas;
    int SW;
    int SH;
    int RV; // corner rounding, at least 1
    const ButtonProperties& properties;

    // Geometry from the control size, rounded to nearest with ties to even.
    int half(double offset = 0.0) const { return roundEven(SH / 2.0 + offset); }

    void band(const Rect& rect, Colour top, Colour bottom) const {
        fillRectGradient(canvas, rect, top, bottom, GradientDirection::Vertical);
    }
    void flat(const Rect& rect, Colour colour) const { band(rect, colour, colour); }
    void outline(const Rect& rect, Colour pen) const { canvas.roundRectOutline(rect, RV, RV, pen); }
    void fourCorner(const Rect& rect, const CornerColours& c) const {
        DrawGradientFourColour(canvas, rect.left, rect.top, rect.right - rect.left,
                               rect.bottom - rect.top, c.topLeft, c.topRight, c.bottomLeft,
                               c.bottomRight);
    }
    // One-pixel lines, the end pixel included.
    void row(int y, int x1, int x2, Colour pen) const { canvas.line(x1, y, x2 + 1, y, pen); }
    void column(int x, int y1, int y2, Colour pen) const { canvas.line(x, y1, x, y2 + 1, pen); }
};

// Paints one look of a theme's background; theme numbers without a branch paint nothing.
void paintThemeLook(std::int32_t theme, Look look, const ThemeContext& context);

void paintTheme3(Look look, const ThemeContext& t);
void paintTheme4(Look look, const ThemeContext& t);
void paintTheme7(Look look, const ThemeContext& t);
void paintTheme8(Look look, const ThemeContext& t);
void paintTheme9(Look look, const ThemeContext& t);
void paintTheme1(Look look, const ThemeContext& t);
void paintTheme2(Look look, const ThemeContext& t);
void paintTheme5(Look look, const ThemeContext& t);
void paintTheme6(Look look, const ThemeContext& t);

} // namespace zr::widgets
