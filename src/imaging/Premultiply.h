#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace zr::imaging {

// Copies `count` straight-alpha B, G, R, A pixels from `in` to `out` (which may be the same
// memory), premultiplied as c × a div 255: alpha 255 keeps the colour, alpha 0 gives four zero
// bytes. Returns whether any pixel is not opaque.
inline bool premultiplyPixels(const std::uint8_t* in, std::uint8_t* out, std::size_t count) {
    bool translucent = false;
    for (std::size_t i = 0; i < count; ++i, in += 4, out += 4) {
        const unsigned alpha = in[3];
        if (alpha == 255) {
            std::memmove(out, in, 4);
            continue;
        }
        translucent = true;
        out[0] = static_cast<std::uint8_t>(in[0] * alpha / 255U);
        out[1] = static_cast<std::uint8_t>(in[1] * alpha / 255U);
        out[2] = static_cast<std::uint8_t>(in[2] * alpha / 255U);
        out[3] = static_cast<std::uint8_t>(alpha);
    }
    return translucent;
}

} // namespace zr::imaging
