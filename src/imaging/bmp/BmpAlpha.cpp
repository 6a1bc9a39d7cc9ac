#include "imaging/bmp/BmpAlpha.h"

#include "imaging/Premultiply.h"
#include "imaging/c32bppDIB.h"

#include <algorithm>
#include <cstddef>

namespace zr::imaging {

AlphaMeaning classifyAlpha(std::span<const std::uint8_t> bgra) {
    bool colourUnderZeroAlpha = false;
    std::size_t zeroAlpha = 0;
    for (std::size_t i = 0; i + 3 < bgra.size(); i += 4) {
        const std::uint8_t alpha = bgra[i + 3];
        const std::uint8_t brightest = std::max({bgra[i], bgra[i + 1], bgra[i + 2]});
        if (alpha == 0) {
            ++zeroAlpha;
            colourUnderZeroAlpha = colourUnderZeroAlpha || brightest != 0;
        } else if (colourUnderZeroAlpha || brightest > alpha) {
            return AlphaMeaning::Straight;
        }
    }
    if (zeroAlpha == bgra.size() / 4) {
        return AlphaMeaning::Unused;
    }
    // Colour under alpha 0 cannot be premultiplied data, wherever in the image it was seen.
    return colourUnderZeroAlpha ? AlphaMeaning::Straight : AlphaMeaning::Premultiplied;
}

void settleAlpha(c32bppDIB& surface) {
    const auto pixels = surface.Bits();
    switch (classifyAlpha(pixels)) {
    case AlphaMeaning::Unused:
        surface.SetAlpha(false);
        surface.SetImageType(ImageKind::BmpNoAlpha);
        return;
    case AlphaMeaning::Straight:
        premultiplyPixels(pixels.data(), pixels.data(), pixels.size() / 4);
        surface.SetAlpha(true);
        surface.SetImageType(ImageKind::BmpStraightAlpha);
        return;
    case AlphaMeaning::Premultiplied:
        surface.SetAlpha(true);
        surface.SetImageType(ImageKind::BmpPremultiplied);
        return;
    }
}

} // namespace zr::imaging
