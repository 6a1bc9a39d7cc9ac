#include "imaging/ico/IcoBitmap.h"

#include "imaging/ByteView.h"
#include "imaging/CheckedMath.h"
#include "imaging/Premultiply.h"
#include "imaging/c32bppDIB.h"
#include "imaging/ico/IcoDirectory.h"
#include "imaging/mdlGDI.h"

#include <cstddef>

namespace zr::imaging {

namespace {

constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::uint32_t kUncompressed = 0;

struct Layout {
    std::int32_t width = 0;
    std::int32_t rows = 0;
    std::uint16_t bitCount = 0;
    std::span<const std::uint8_t> palette; // B, G, R, unused per entry
    std::span<const std::uint8_t> colour;
    std::span<const std::uint8_t> mask; // empty when the data ends before it
    std::size_t colourStride = 0;
    std::size_t maskStride = 0;
};

bool supportedDepth(std::uint16_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// The header must describe the entry's own size (its height counting the colour rows and the
// mask rows): the directory entry, at most 256 × 256, sizes the surface.
std::optional<Layout> readLayout(const ByteView& view, std::uint16_t bitCount,
                                 std::int32_t entryWidth, std::int32_t entryHeight) {
    const auto headerBytes = view.u32(0);
    const auto width = view.i32(4);
    const auto doubledHeight = view.i32(8);
    const auto compression = view.u32(16);
    const auto usedColours = view.u32(32);
    if (!headerBytes || *headerBytes < kInfoHeaderBytes || !width || !doubledHeight ||
        !compression || !usedColours || *compression != kUncompressed ||
        !supportedDepth(bitCount) || *width != entryWidth ||
        *doubledHeight != std::int64_t{entryHeight} * 2) {
        return std::nullopt;
    }
    Layout layout;
    layout.width = *width;
    layout.rows = *doubledHeight / 2; // the colour rows and the mask rows
    layout.bitCount = bitCount;
    layout.colourStride = static_cast<std::size_t>(
        mdlGDI::ScanlineBytes(static_cast<std::uint8_t>(bitCount), layout.width));
    layout.maskStride = static_cast<std::size_t>(mdlGDI::ScanlineBytes(1, layout.width));
    std::size_t paletteEntries = 0;
    if (bitCount <= 8) {
        paletteEntries = *usedColours != 0 ? *usedColours : std::size_t{1} << bitCount;
        if (paletteEntries > 256) {
            return std::nullopt;
        }
    }
    const auto rows = static_cast<std::size_t>(layout.rows);
    std::size_t colourBytes = 0;
    std::size_t maskBytes = 0;
    if (layout.colourStride == 0 || !checkedMul(layout.colourStride, rows, colourBytes) ||
        !checkedMul(layout.maskStride, rows, maskBytes)) {
        return std::nullopt;
    }
    const auto palette = view.slice(*headerBytes, paletteEntries * 4);
    const std::size_t colourStart = std::size_t{*headerBytes} + paletteEntries * 4;
    const auto colour = view.slice(colourStart, colourBytes);
    if (!palette || !colour) {
        return std::nullopt;
    }
    layout.palette = *palette;
    layout.colour = *colour;
    layout.mask =
        view.slice(colourStart + colourBytes, maskBytes).value_or(std::span<const std::uint8_t>());
    return layout;
}

bool maskBit(const Layout& layout, std::size_t x, std::size_t row) {
    const std::uint8_t bits = layout.mask[row * layout.maskStride + x / 8];
    return ((bits >> (7 - x % 8)) & 1U) != 0;
}

// The colour of pixel x of a row as B, G, R; false for an index beyond the colour table.
bool colourAt(const Layout& layout, const std::uint8_t* row, std::size_t x, std::uint8_t* bgr) {
    std::size_t index = 0;
    switch (layout.bitCount) {
    case 1:
        index = (row[x / 8] >> (7 - x % 8)) & 1U;
        break;
    case 4:
        index = (row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0FU;
        break;
    case 8:
        index = row[x];
        break;
    case 16: {
        const unsigned value = row[2 * x] | row[2 * x + 1] << 8U;
        const unsigned channels[3] = {value & 31U, (value >> 5) & 31U, (value >> 10) & 31U};
        for (std::size_t c = 0; c < 3; ++c) {
            bgr[c] = static_cast<std::uint8_t>(channels[c] << 3 | channels[c] >> 2);
        }
        return true;
    }
    default: { // 24 and 32
        const std::size_t step = layout.bitCount / 8U;
        bgr[0] = row[step * x];
        bgr[1] = row[step * x + 1];
        bgr[2] = row[step * x + 2];
        return true;
    }
    }
    if (index * 4 >= layout.palette.size()) {
        return false;
    }
    bgr[0] = layout.palette[index * 4];
    bgr[1] = layout.palette[index * 4 + 1];
    bgr[2] = layout.palette[index * 4 + 2];
    return true;
}

// Writes every pixel through the AND mask; returns whether any became transparent, or nothing
// on a bad palette index.
std::optional<bool> paintMasked(const Layout& layout, c32bppDIB& surface) {
    const auto width = static_cast<std::size_t>(layout.width);
    const auto rowBytes = static_cast<std::size_t>(surface.ScanWidth());
    auto target = surface.Bits();
    bool translucent = false;
    for (std::size_t row = 0; row < static_cast<std::size_t>(layout.rows); ++row) {
        const std::uint8_t* line = layout.colour.data() + row * layout.colourStride;
        std::uint8_t* out = target.data() + row * rowBytes;
        for (std::size_t x = 0; x < width; ++x, out += 4) {
            if (!colourAt(layout, line, x, out)) {
                return std::nullopt;
            }
            if (!layout.mask.empty() && maskBit(layout, x, row)) {
                out[0] = out[1] = out[2] = out[3] = 0;
                translucent = true;
            } else {
                out[3] = 255;
            }
        }
    }
    return translucent;
}

// 32-bit rows through their own alpha; returns whether any pixel is not opaque.
bool paintOwnAlpha(const Layout& layout, c32bppDIB& surface) {
    const auto width = static_cast<std::size_t>(layout.width);
    const auto rowBytes = static_cast<std::size_t>(surface.ScanWidth());
    auto target = surface.Bits();
    bool translucent = false;
    for (std::size_t row = 0; row < static_cast<std::size_t>(layout.rows); ++row) {
        translucent = premultiplyPixels(layout.colour.data() + row * layout.colourStride,
                                        target.data() + row * rowBytes, width) ||
                      translucent;
    }
    return translucent;
}

} // namespace

bool decodeIcoBitmap(std::span<const std::uint8_t> image, const IcoEntry& entry, bool cursor,
                     c32bppDIB& surface) {
    const std::uint16_t bitCount = entry.bitCount;
    const auto layout = readLayout(ByteView(image), bitCount, entry.width, entry.height);
    // Without its mask a masked image cannot say which pixels are transparent.
    if (!layout || (bitCount != 32 && layout->mask.empty()) ||
        !surface.InitializeDIB(layout->width, layout->rows)) {
        return false;
    }
    const bool useOwnAlpha = bitCount == 32;
    const auto translucent = useOwnAlpha ? std::optional<bool>(paintOwnAlpha(*layout, surface))
                                         : paintMasked(*layout, surface);
    if (!translucent) {
        surface.DestroyDIB();
        return false;
    }
    surface.SetAlpha(*translucent);
    if (useOwnAlpha) {
        surface.SetImageType(cursor ? ImageKind::Cursor32 : ImageKind::Icon32);
    } else {
        surface.SetImageType(cursor ? ImageKind::CursorMasked : ImageKind::IconMasked);
    }
    return true;
}

} // namespace zr::imaging
