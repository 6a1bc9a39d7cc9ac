#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace zr::imaging::test {

// Qt's own decoding of a file, as straight B, G, R, A rows, top-down.
struct QtImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> bgra;
    bool premultiplied = false; // Qt decoded to premultiplied pixels: straight ones may be 1 off

    const std::uint8_t* pixel(std::int32_t x, std::int32_t y) const {
        return bgra.data() + (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                              static_cast<std::size_t>(x)) *
                                 4;
    }
};

// Image `index` of the file (a frame of a GIF, an entry of an icon) as Qt's reader gives it.
std::optional<QtImage> qtDecode(const std::vector<std::uint8_t>& bytes, int index = 0);

// Premultiplies straight B, G, R, A the way the readers do (c × a div 255, alpha-0 all zero).
void premultiplyStraight(std::uint8_t* bgra);

} // namespace zr::imaging::test
