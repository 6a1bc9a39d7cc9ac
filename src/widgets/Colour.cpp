#include "widgets/Colour.h"

#include <algorithm>
#include <cstdlib>

namespace zr::widgets {

namespace {

int composeChannel(int value) {
    return std::min(std::abs(value), 255);
}

Colour composeClamped(int red, int green, int blue) {
    return rgb(composeChannel(red), composeChannel(green), composeChannel(blue));
}

} // namespace

Colour lighten(Colour colour, int amount) {
    return composeClamped(redOf(colour) + amount, greenOf(colour) + amount,
                          blueOf(colour) + amount);
}

Colour darken(Colour colour, int amount) {
    return composeClamped(redOf(colour) - amount, greenOf(colour) - amount,
                          blueOf(colour) - amount);
}

Colour invert(Colour colour) {
    return composeClamped(255 - redOf(colour), 255 - greenOf(colour), 255 - blueOf(colour));
}

std::vector<Colour> gradientTable(int count, Colour from, Colour to) {
    if (count < 0) {
        return {};
    }
    const auto channel = [count](int start, int end, int index) {
        if (count == 0 || start == end) {
            return start;
        }
        const double step = static_cast<double>(end - start) / count;
        return std::clamp(roundEven(start + step * index), 0, 255);
    };
    std::vector<Colour> table;
    table.reserve(static_cast<std::size_t>(count) + 1);
    for (int i = 0; i <= count; ++i) {
        table.push_back(rgb(channel(redOf(from), redOf(to), i),
                            channel(greenOf(from), greenOf(to), i),
                            channel(blueOf(from), blueOf(to), i)));
    }
    return table;
}

} // namespace zr::widgets
