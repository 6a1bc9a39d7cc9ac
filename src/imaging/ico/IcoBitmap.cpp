#include "imaging/ico/IcoBitmap.h"

#include "imaging/BitFields.h"
#include "imaging/ByteView.h"
#include "imaging/CheckedMath.h"
#include "imaging/ImageLimits.h"
#include "imaging/Premultiply.h"
#include "imaging/c32bppDIB.h"
#include "imaging/ico/IcoDirectory.h"
#include "imaging/mdlGDI.h"

#include <cstddef>

namespace zr::imaging {

namespace {

constexpr std::uint32_t kInfoHeaderBytes = 40;
constexpr std::uint32_t kUncompressed = 0;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kAlphaBitFields = 6;
constexpr std::size_t kMasksInHeaderAt = 40;

struct Layout {
    std::int32_t width = 0;
    std::int32_t rows = 0;
    std::uint16_t bitCount = 0;
    std::optional<BitFields> fields;       // 16 bits, and 32-bit bit fields
    std::span<const std::uint8_t> palette; // B, G, R, unused per entry
    std::span<const std::uint8_t> colour;
    std::span<const std::uint8_t> mask; // empty when the data ends before it
    std::size_t colourStride = 0;
    std::size_t maskStride = 0;

    // 32-bit images carry their own alpha, unless their bit fields name no alpha mask.
    bool ownAlpha() const { return bitCount == 32 && (!fields || fields->hasAlpha()); }
};

bool supportedDepth(std::uint16_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

// The masks of a bit-field image stand inside a header of 52 bytes and more (the alpha mask
// from 56 on), else after the 40-byte header (four with the alpha bit-fields compression).
// Plain 16-bit images are 5-5-5. Returns the bytes of masks that come before the colour rows.
std::optional<std::size_t> readFields(const ByteView& view, std::uint32_t headerBytes,
                                      std::uint32_t compression, Layout& layout) {
    if (layout.bitCount != 16 && layout.bitCount != 32) {
        return compression == kUncompressed ? std::optional<std::size_t>(0) : std::nullopt;
    }
    if (compression == kUncompressed) {
        if (layout.bitCount == 16) {
            layout.fields = makeBitFields(0x7C00, 0x03E0, 0x001F, 0, 16);
        }
        return 0;
    }
    if (compression != kBitFields && compression != kAlphaBitFields) {
        return std::nullopt;
    }
    const bool inHeader = headerBytes >= 52;
    const std::size_t named =
        inHeader ? (headerBytes >= 56 ? 4 : 3) : (compression == kAlphaBitFields ? 4 : 3);
    std::uint32_t masks[4] = {};
    for (std::size_t i = 0; i < named; ++i) {
        const auto mask = view.u32(kMasksInHeaderAt + 4 * i);
        if (!mask) {
            return std::nullopt;
        }
        masks[i] = *mask;
    }
    layout.fields = makeBitFields(masks[0], masks[1], masks[2], masks[3], layout.bitCount);
    if (!layout.fields) {
        return std::nullopt;
    }
    return inHeader ? 0 : named * 4;
}

std::optional<Layout> readLayout(const ByteView& view, std::uint16_t bitCount) {
    const auto headerBytes = view.u32(0);
    const auto width = view.i32(4);
    const auto doubledHeight = view.i32(8);
    const auto compression = view.u32(16);
    const auto usedColours = view.u32(32);
    if (!headerBytes || *headerBytes < kInfoHeaderBytes || !width || !doubledHeight ||
        !compression || !usedColours || !supportedDepth(bitCount) || *width < 1 ||
        *doubledHeight < 2 || !limits::surfaceBytes(*width, *doubledHeight / 2)) {
        return std::nullopt;
    }
    Layout layout;
    layout.width = *width;
    layout.rows = *doubledHeight / 2; // the colour rows and the mask rows
    layout.bitCount = bitCount;
    const auto maskBytesBefore = readFields(view, *headerBytes, *compression, layout);
    if (!maskBytesBefore) {
        return std::nullopt;
    }
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
    const std::size_t paletteStart = std::size_t{*headerBytes} + *maskBytesBefore;
    const auto palette = view.slice(paletteStart, paletteEntries * 4);
    const std::size_t colourStart = paletteStart + paletteEntries * 4;
    const auto colour = view.slice(colourStart, colourBytes);
    if (!palette || !colour) {
        return std::nullopt;
    }
    layout.palette = *palette;
    layout.colour = *colour;
    layout.mask =
        view.slice(colourStart + colourBytes, maskBytes).value_or(std::span<const std::uint8_t>());
    // Without its mask an image without its own alpha cannot say which pixels are transparent.
    if (!layout.ownAlpha() && layout.mask.empty()) {
        return std::nullopt;
    }
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
    case 24:
        bgr[0] = row[3 * x];
        bgr[1] = row[3 * x + 1];
        bgr[2] = row[3 * x + 2];
        return true;
    default: // 16 and 32 through their fields
        unpackBitFields(row + layout.bitCount / 8U * x, bgr, 1, *layout.fields, layout.bitCount);
        return true;
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
            if (maskBit(layout, x, row)) {
                out[0] = out[1] = out[2] = out[3] = 0;
                translucent = true;
            } else {
                out[3] = 255;
            }
        }
    }
    return translucent;
}

// 32-bit rows through their own alpha (the fourth byte, or the alpha field); returns whether
// any pixel is not opaque.
bool paintOwnAlpha(const Layout& layout, c32bppDIB& surface) {
    const auto width = static_cast<std::size_t>(layout.width);
    const auto rowBytes = static_cast<std::size_t>(surface.ScanWidth());
    auto target = surface.Bits();
    bool translucent = false;
    for (std::size_t row = 0; row < static_cast<std::size_t>(layout.rows); ++row) {
        const std::uint8_t* in = layout.colour.data() + row * layout.colourStride;
        std::uint8_t* out = target.data() + row * rowBytes;
        if (layout.fields) {
            unpackBitFields(in, out, width, *layout.fields, layout.bitCount);
            in = out;
        }
        translucent = premultiplyPixels(in, out, width) || translucent;
    }
    return translucent;
}

} // namespace

std::optional<IcoBitmapSize> measureIcoBitmap(std::span<const std::uint8_t> image,
                                              std::uint16_t bitCount) {
    const auto layout = readLayout(ByteView(image), bitCount);
    if (!layout) {
        return std::nullopt;
    }
    return IcoBitmapSize{layout->width, layout->rows};
}

bool decodeIcoBitmap(std::span<const std::uint8_t> image, const IcoEntry& entry, bool cursor,
                     c32bppDIB& surface) {
    const auto layout = readLayout(ByteView(image), entry.bitCount);
    if (!layout || !surface.InitializeDIB(layout->width, layout->rows)) {
        return false;
    }
    const bool useOwnAlpha = layout->ownAlpha();
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
