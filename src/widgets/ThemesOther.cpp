// Themes 1, 2, 5 and 6: glass, classic bevel, silver and dark glass.
#include "widgets/Themes.h"

namespace zr::widgets {

namespace {

Rect upperHalf(const ThemeContext& t, int inset) {
    return {inset, inset, t.SW - inset, t.half()};
}

Rect lowerHalf(const ThemeContext& t, int inset) {
    return {inset, t.half(), t.SW - inset, t.SH - inset};
}

} // namespace

void paintTheme1(Look look, const ThemeContext& t) {
    const int SW = t.SW;
    const int SH = t.SH;
    const Rect frame{0, 0, SW, SH};
    if (look == Look::Disabled) {
        t.band(frame, rgb(244, 244, 244), rgb(228, 228, 228));
        t.outline(frame, rgb(183, 182, 186));
        return;
    }
    const Colour lowBottom = rgb(166, 184, 207);
    const bool pressed = look == Look::Pressed;
    const int depth = pressed ? 18 : 0;
    t.band({0, 3, SW, t.half()}, darken(rgb(253, 254, 254), depth),
           darken(rgb(227, 235, 243), depth));
    t.band({0, t.half(), SW, SH - 3}, darken(rgb(208, 220, 235), depth), darken(lowBottom, depth));
    t.row(1, 1, SW - 2, rgb(213, 222, 236));
    t.row(2, 1, SW - 2, rgb(249, 253, 255));
    t.column(1, 3, SH - 4, rgb(243, 248, 255));
    t.column(SW - 2, 3, SH - 4, rgb(223, 232, 245));
    t.outline(frame, darken(lowBottom, 60));
    switch (look) {
    case Look::Hover:
    case Look::Pressed:
        t.row(pressed ? SH - 3 : 2, 2, SW - 3, rgb(245, 232, 161));
        t.outline(frame, rgb(218, 121, 38));
        t.row(SH - 2, 2, SW - 3, rgb(230, 170, 69));
        return;
    case Look::Focus:
        t.outline({1, 1, SW - 1, SH - 1}, rgb(113, 161, 217));
        t.outline(frame, rgb(85, 138, 202));
        return;
    case Look::Normal:
    case Look::Disabled:
        return;
    }
}

// Every colour comes from the colour helpers, starting from the inverse of the caption
// colour, so the bevel follows whatever caption colour the button has.
void paintTheme2(Look look, const ThemeContext& t) {
    const int SW = t.SW;
    const int SH = t.SH;
    const Colour base = invert(t.properties.ForeColor);
    Colour face = darken(base, 24);
    if (look == Look::Hover) {
        face = lighten(face, 12);
    } else if (look == Look::Pressed) {
        face = darken(face, 16);
    } else if (look == Look::Disabled) {
        face = lighten(face, 8);
    }
    const Colour light = lighten(face, 24);
    const Colour shadow = darken(face, 80);
    const Colour frame = look == Look::Disabled ? darken(face, 48) : darken(face, 140);
    const bool sunken = look == Look::Pressed;
    t.band({0, 0, SW, SH}, lighten(face, 8), darken(face, 8));
    t.row(1, 1, SW - 2, sunken ? shadow : light);
    t.column(1, 1, SH - 2, sunken ? shadow : light);
    t.row(SH - 2, 1, SW - 2, sunken ? light : shadow);
    t.column(SW - 2, 1, SH - 2, sunken ? light : shadow);
    t.outline({0, 0, SW, SH}, frame);
    if (look == Look::Focus) {
        t.outline({1, 1, SW - 1, SH - 1}, darken(frame, 40));
    }
}

void paintTheme5(Look look, const ThemeContext& t) {
    const Rect frame{0, 0, t.SW, t.SH};
    const Colour lightBlue = rgb(183, 226, 249);
    const Colour midBlue = rgb(153, 216, 250);
    const Colour deepBlue = rgb(128, 207, 250);
    switch (look) {
    case Look::Normal:
    case Look::Focus:
        t.band(upperHalf(t, 1), rgb(213, 213, 214), rgb(239, 239, 239));
        t.band(lowerHalf(t, 1), rgb(193, 194, 195), rgb(213, 213, 214));
        if (look == Look::Focus) {
            t.outline({1, 1, t.SW - 1, t.SH - 1}, deepBlue);
        }
        break;
    case Look::Hover:
        t.band(upperHalf(t, 1), lightBlue, midBlue);
        t.band(lowerHalf(t, 1), deepBlue, midBlue);
        break;
    case Look::Pressed:
        t.band(upperHalf(t, 1), midBlue, deepBlue);
        t.band(lowerHalf(t, 1), darken(deepBlue, 24), lightBlue);
        break;
    case Look::Disabled:
        t.flat({1, 1, t.SW - 1, t.SH - 1}, rgb(238, 238, 238));
        t.outline(frame, rgb(178, 178, 178));
        return;
    }
    t.outline(frame, rgb(99, 99, 99));
}

void paintTheme6(Look look, const ThemeContext& t) {
    const Rect frame{0, 0, t.SW, t.SH};
    if (look == Look::Disabled) {
        t.outline(frame, rgb(160, 160, 160));
        t.band({1, 1, t.SW - 1, t.SH - 1}, rgb(112, 112, 112), rgb(88, 88, 88));
        return;
    }
    t.outline(frame, rgb(196, 204, 204));
    const bool pressed = look == Look::Pressed;
    t.band(upperHalf(t, 1), pressed ? darken(rgb(85, 100, 119), 40) : rgb(85, 100, 119), kBlack);
    switch (look) {
    case Look::Normal:
        t.band(lowerHalf(t, 1), kBlack, rgb(13, 29, 51));
        return;
    case Look::Hover:
        t.fourCorner(lowerHalf(t, 1),
                     {rgb(25, 79, 111), rgb(25, 79, 111), rgb(84, 172, 188), rgb(84, 172, 188)});
        return;
    case Look::Focus:
        t.band(lowerHalf(t, 1), kBlack, rgb(13, 29, 51));
        t.outline({1, 1, t.SW - 1, t.SH - 1}, rgb(44, 141, 196));
        return;
    case Look::Pressed:
        t.band(lowerHalf(t, 1), rgb(25, 79, 111), rgb(44, 141, 196));
        return;
    case Look::Disabled:
        return;
    }
}

} // namespace zr::widgets
