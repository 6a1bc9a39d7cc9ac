#pragma once

#include <cstdint>
#include <span>

namespace zr::imaging {

class c32bppDIB;

// What the fourth byte of 32-bit pixel data means.
enum class AlphaMeaning { Unused, Straight, Premultiplied };

// Looks at every B, G, R, A pixel: all alpha 0 means the byte is unused; a colour above its
// alpha, or any colour under alpha 0 beside visible pixels, means straight alpha; otherwise
// the colours are already premultiplied.
AlphaMeaning classifyAlpha(std::span<const std::uint8_t> bgra);

// Classifies the surface's pixels and settles them: unused alpha clears the alpha flag (kind 1,
// drawn opaque); straight alpha is premultiplied as c × a div 255 with alpha-0 pixels zeroed
// (kind 6); premultiplied data stays as it is (kind 7).
void settleAlpha(c32bppDIB& surface);

} // namespace zr::imaging
