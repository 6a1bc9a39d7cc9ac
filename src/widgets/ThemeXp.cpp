// The face-and-frame themes 7, 8 and 9: a gradient face inside one rounded frame, with
// coloured lines inside the frame for hover and focus.
#include "widgets/Themes.h"

#include <array>

namespace zr::widgets {

namespace {

struct XpScheme {
    Colour faceTop;
    Colour faceBottom;
    Colour frame;
    // Top line, left column, inner left column, second top line, right column, bottom line,
    // second bottom line.
    std::array<Colour, 7> hoverLines;
    Colour pressedTop;
    Colour pressedBottom;
    bool accentsWhenPressed;
};

constexpr std::array<Colour, 7> kOrangeLines = {
    rgb(255, 240, 207), rgb(250, 195, 88), rgb(252, 202, 105), rgb(253, 216, 137),
    rgb(251, 200, 96),  rgb(248, 179, 48), rgb(250, 199, 97)};

// Top line, second top line, side columns, bottom line.
constexpr std::array<Colour, 4> kFocusBlues = {rgb(206, 231, 255), rgb(188, 212, 246),
                                               rgb(137, 173, 228), rgb(105, 130, 238)};

void frameLines(const ThemeContext& t, const std::array<Colour, 7>& c) {
    const int right = t.SW - 2;
    const int bottom = t.SH - 2;
    t.row(1, 2, right - 1, c[0]);
    t.column(1, 2, bottom - 1, c[1]);
    t.column(2, 3, bottom - 2, c[2]);
    t.row(2, 3, right - 2, c[3]);
    t.column(right, 2, bottom - 1, c[4]);
    t.row(bottom, 2, right - 1, c[5]);
    t.row(bottom - 1, 3, right - 2, c[6]);
}

void focusLines(const ThemeContext& t) {
    const int right = t.SW - 2;
    const int bottom = t.SH - 2;
    t.row(1, 2, right - 1, kFocusBlues[0]);
    t.row(2, 2, right - 1, kFocusBlues[1]);
    t.column(1, 2, bottom - 1, kFocusBlues[2]);
    t.column(right, 2, bottom - 1, kFocusBlues[2]);
    t.row(bottom, 2, right - 1, kFocusBlues[3]);
}

void paintXp(const XpScheme& s, Look look, const ThemeContext& t) {
    const Rect whole{0, 0, t.SW, t.SH};
    switch (look) {
    case Look::Normal:
        t.band(whole, s.faceTop, s.faceBottom);
        t.outline(whole, s.frame);
        return;
    case Look::Hover:
        frameLines(t, s.hoverLines);
        return;
    case Look::Focus:
        focusLines(t);
        return;
    case Look::Pressed:
        t.band({1, 1, t.SW - 1, t.SH - 1}, s.pressedTop, s.pressedBottom);
        t.outline(whole, s.frame);
        if (s.accentsWhenPressed) {
            frameLines(t, s.hoverLines);
        }
        return;
    case Look::Disabled:
        t.flat(whole, rgb(245, 244, 234));
        t.outline(whole, rgb(201, 199, 186));
        return;
    }
}

} // namespace

void paintTheme7(Look look, const ThemeContext& t) {
    paintXp({rgb(252, 252, 251), rgb(240, 240, 234), rgb(0, 60, 116), kOrangeLines,
             rgb(229, 228, 221), rgb(226, 226, 218), false},
            look, t);
}

void paintTheme8(Look look, const ThemeContext& t) {
    const std::array<Colour, 7> greenAccents = {
        rgb(252, 197, 149), rgb(232, 170, 118), rgb(232, 170, 118), rgb(252, 197, 149),
        rgb(231, 166, 111), rgb(207, 114, 37),  rgb(231, 166, 111)};
    paintXp({rgb(254, 255, 242), rgb(243, 238, 219), rgb(55, 98, 6), greenAccents,
             darken(rgb(243, 238, 219), 16), darken(rgb(254, 255, 242), 8), true},
            look, t);
}

void paintTheme9(Look look, const ThemeContext& t) {
    paintXp({kWhite, rgb(198, 197, 215), rgb(0, 60, 116), kOrangeLines, rgb(198, 197, 215), kWhite,
             false},
            look, t);
}

} // namespace zr::widgets
