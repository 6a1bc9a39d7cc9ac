// The dispatcher and the two band themes (3 and 4) the main window uses most.
#include "widgets/Themes.h"

namespace zr::widgets {

void paintThemeLook(std::int32_t theme, Look look, const ThemeContext& context) {
    switch (theme) {
    case 1:
        return paintTheme1(look, context);
    case 2:
        return paintTheme2(look, context);
    case 3:
        return paintTheme3(look, context);
    case 4:
        return paintTheme4(look, context);
    case 5:
        return paintTheme5(look, context);
    case 6:
        return paintTheme6(look, context);
    case 7:
        return paintTheme7(look, context);
    case 8:
        return paintTheme8(look, context);
    case 9:
        return paintTheme9(look, context);
    default:
        return;
    }
}

namespace {

struct Theme3Bands {
    Colour U1;
    Colour U2;
    Colour L1;
    Colour L2;
};

Theme3Bands theme3Bands(Look look) {
    switch (look) {
    case Look::Normal:
        return {rgb(246, 249, 251), rgb(168, 208, 229), rgb(146, 193, 217), rgb(213, 236, 247)};
    case Look::Hover:
        return {rgb(245, 249, 252), rgb(122, 183, 222), rgb(78, 153, 200), rgb(162, 217, 252)};
    case Look::Focus:
        return {rgb(245, 249, 252), rgb(148, 197, 222), rgb(123, 179, 209), rgb(162, 217, 252)};
    case Look::Pressed:
        return {rgb(239, 245, 251), rgb(97, 162, 214), rgb(78, 149, 205), rgb(162, 202, 235)};
    case Look::Disabled:
        break;
    }
    return {rgb(246, 249, 251), rgb(168, 208, 229), rgb(163, 203, 223), rgb(213, 236, 247)};
}

} // namespace

void paintTheme3(Look look, const ThemeContext& t) {
    const Theme3Bands c = theme3Bands(look);
    const int SW = t.SW;
    const int SH = t.SH;
    const int middle = t.half(-1.0);
    t.canvas.clear(kWhite);
    t.band({3, 3, SW - 4, middle}, c.U1, c.U2);
    t.band({3, middle, SW - 4, SH - 4}, c.L1, c.L2);
    t.outline({0, 0, SW - 1, SH - 1}, rgb(161, 189, 207));
    t.outline({1, 1, SW - 2, SH - 2}, kWhite);
    t.outline({2, 2, SW - 3, SH - 3}, kWhite);
    t.canvas.point(3, SH - 5, kWhite);
    t.canvas.point(3, 3, kWhite);
    t.canvas.point(SW - 5, SH - 5, kWhite);
    t.canvas.point(SW - 5, 3, kWhite);
}

void paintTheme4(Look look, const ThemeContext& t) {
    const int SW = t.SW;
    const int SH = t.SH;
    const int middle = roundEven(SH / 2.0 - SH / 6.0);
    const Rect upper{1, 1, SW - 2, middle};
    const Rect lower{1, middle, SW - 1, SH - 2};
    const Rect outer{0, 0, SW - 1, SH - 1};
    const Rect inner{1, 1, SW - 2, SH - 2};
    switch (look) {
    case Look::Normal:
    case Look::Focus: {
        const bool focus = look == Look::Focus;
        t.band(upper, rgb(207, 211, 218), rgb(193, 198, 207));
        t.band(lower, rgb(180, 187, 197), focus ? rgb(255, 241, 199) : rgb(231, 240, 241));
        t.outline(outer, focus ? rgb(216, 201, 149) : rgb(174, 176, 180));
        t.outline(inner, rgb(232, 234, 237));
        return;
    }
    case Look::Hover:
        t.fourCorner(upper, {rgb(255, 253, 228), rgb(254, 253, 232), rgb(255, 231, 145),
                             rgb(255, 233, 169)});
        t.fourCorner(
            lower, {rgb(255, 213, 69), rgb(255, 213, 94), rgb(255, 230, 148), rgb(255, 241, 199)});
        t.outline(outer, rgb(216, 201, 149));
        return;
    case Look::Pressed:
        t.fourCorner(upper, {rgb(243, 175, 105), rgb(254, 192, 107), rgb(247, 161, 101),
                             rgb(255, 181, 102)});
        t.fourCorner(
            lower, {rgb(253, 151, 62), rgb(255, 169, 78), rgb(254, 196, 114), rgb(255, 209, 137)});
        t.outline(outer, rgb(197, 155, 96));
        t.outline(inner, rgb(232, 183, 114));
        return;
    case Look::Disabled:
        t.band(upper, rgb(240, 240, 240), rgb(230, 230, 230));
        t.band(lower, rgb(225, 225, 225), rgb(240, 240, 240));
        t.outline(outer, rgb(198, 197, 201));
        return;
    }
}

} // namespace zr::widgets
