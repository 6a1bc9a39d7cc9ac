#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace zr::imaging::test {

// giflib's reading of a GIF's first frame: where it lies, its colour indices in picture order
// (interlacing undone), the colour table in use (local, else global; red, green, blue) and the
// transparent index of its control extension (-1: none).
struct GifReferenceFrame {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> indices;
    std::vector<std::uint8_t> colourTable;
    std::int32_t transparentIndex = -1;
};

std::optional<GifReferenceFrame> giflibFirstFrame(const std::vector<std::uint8_t>& bytes);

} // namespace zr::imaging::test
