#include "imaging/png/PngHeader.h"

#include "imaging/ByteView.h"
#include "imaging/CheckedMath.h"

namespace zr::imaging {

namespace {

bool depthAllowed(std::uint8_t colourType, std::uint8_t depth) {
    switch (colourType) {
    case PngColourType::Grey:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case PngColourType::Palette:
        return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case PngColourType::Rgb:
    case PngColourType::GreyAlpha:
    case PngColourType::Rgba:
        return depth == 8 || depth == 16;
    default:
        return false;
    }
}

constexpr std::array<PngPass, 7> kAdam7{{
    {0, 0, 8, 8},
    {4, 0, 8, 8},
    {0, 4, 4, 8},
    {2, 0, 4, 4},
    {0, 2, 2, 4},
    {1, 0, 2, 2},
    {0, 1, 1, 2},
}};

// Computed wide: a header may state a size up to 2^31 - 1, where size + step would overflow.
std::int32_t passExtent(std::int32_t size, std::int32_t first, std::int32_t step) {
    if (size <= first) {
        return 0;
    }
    return static_cast<std::int32_t>((std::int64_t{size} - first + step - 1) / step);
}

} // namespace

PngError parsePngHeader(std::span<const std::uint8_t> data, PngHeader& header) {
    if (data.size() < kPngHeaderLength) {
        return PngError::BadHeader;
    }
    const ByteView view(data);
    const std::uint32_t width = *view.u32be(0);
    const std::uint32_t height = *view.u32be(4);
    const std::uint8_t depth = data[8];
    const std::uint8_t colourType = data[9];
    const std::uint8_t compression = data[10];
    const std::uint8_t filter = data[11];
    const std::uint8_t interlace = data[12];
    if (width < 1 || height < 1 || width > INT32_MAX || height > INT32_MAX || compression != 0 ||
        filter != 0 || interlace > 1 || !depthAllowed(colourType, depth)) {
        return PngError::BadHeader;
    }
    header.width = static_cast<std::int32_t>(width);
    header.height = static_cast<std::int32_t>(height);
    header.bitDepth = depth;
    header.colourType = colourType;
    header.interlaced = interlace == 1;
    return PngError::None;
}

unsigned bitsPerPixel(const PngHeader& header) {
    switch (header.colourType) {
    case PngColourType::Rgba:
        return 4u * header.bitDepth;
    case PngColourType::GreyAlpha:
        return 2u * header.bitDepth;
    case PngColourType::Rgb:
        return 3u * header.bitDepth;
    default:
        return header.bitDepth;
    }
}

std::size_t filterStride(const PngHeader& header) {
    return (bitsPerPixel(header) + 7) / 8;
}

PngPassList pngPasses(const PngHeader& header) {
    PngPassList list;
    const unsigned bits = bitsPerPixel(header);
    const auto rowBytesFor = [bits](std::int32_t width) {
        return (static_cast<std::size_t>(width) * bits + 7) / 8;
    };
    if (!header.interlaced) {
        list.passes[0] = {0, 0, 1, 1, header.width, header.height, rowBytesFor(header.width)};
        list.count = 1;
        return list;
    }
    for (std::size_t i = 0; i < kAdam7.size(); ++i) {
        PngPass pass = kAdam7[i];
        pass.width = passExtent(header.width, pass.firstColumn, pass.columnStep);
        pass.height = passExtent(header.height, pass.firstRow, pass.rowStep);
        pass.rowBytes = rowBytesFor(pass.width);
        list.passes[i] = pass;
    }
    list.count = kAdam7.size();
    return list;
}

std::optional<std::size_t> expectedInflatedSize(const PngHeader& header) {
    std::size_t total = 0;
    const PngPassList list = pngPasses(header);
    for (std::size_t i = 0; i < list.count; ++i) {
        const PngPass& pass = list.passes[i];
        if (pass.width == 0 || pass.height == 0) {
            continue;
        }
        std::size_t passBytes = 0;
        if (!checkedMul(pass.rowBytes + 1, static_cast<std::size_t>(pass.height), passBytes) ||
            !checkedAdd(total, passBytes, total)) {
            return std::nullopt;
        }
    }
    return total;
}

} // namespace zr::imaging
