#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace zr::widgets {

// 0x00BBGGRR, as the station's colours are written everywhere.
using Colour = std::uint32_t;

constexpr Colour rgb(int red, int green, int blue) {
    return static_cast<Colour>(red & 0xFF) | (static_cast<Colour>(green & 0xFF) << 8U) |
           (static_cast<Colour>(blue & 0xFF) << 16U);
}

constexpr int redOf(Colour colour) {
    return static_cast<int>(colour & 0xFFU);
}
constexpr int greenOf(Colour colour) {
    return static_cast<int>((colour & 0xFF00U) / 256U);
}
constexpr int blueOf(Colour colour) {
    return static_cast<int>((colour & 0xFF0000U) / 65536U);
}

inline constexpr Colour kWhite = 0xFFFFFF;
inline constexpr Colour kBlack = 0x000000;

// Each channel moved by `amount`, taken as its absolute value and clamped to 255, so a
// darkening below zero comes back up rather than wrapping.
Colour lighten(Colour colour, int amount);
Colour darken(Colour colour, int amount);
Colour invert(Colour colour);

// count + 1 colours from `from` to `to`: per channel, step = (to - from) / count (0 when the
// count or the difference is 0), entry i = from + step × i rounded to a byte.
std::vector<Colour> gradientTable(int count, Colour from, Colour to);

// Geometry derived from the control size is rounded to nearest, ties to even.
inline int roundEven(double value) {
    return static_cast<int>(std::nearbyint(value));
}

} // namespace zr::widgets
