#include "imaging/gif/cGIFparser.h"

#include "imaging/CheckedMath.h"
#include "imaging/ImageLimits.h"
#include "imaging/StreamSlice.h"
#include "imaging/c32bppDIB.h"
#include "imaging/gif/GifLzw.h"
#include "imaging/gif/GifStructure.h"

#include <new>
#include <vector>

namespace zr::imaging {

namespace {

// Image data shorter than this (code size byte, one sub-block size byte, a code) holds nothing.
constexpr std::size_t kMinimumImageDataBytes = 3;

// A code yields at most one string of the table, and a string of more than 2048 indices needs
// a code above 2048, which is 12 bits wide; shorter codes yield proportionally less. So data of
// n bytes cannot describe more than 4096 indices per 12 bits (plus one string of slack). A
// larger image is refused before its pixels are allocated.
bool plausibleSize(const GifFrame& frame, std::size_t pixelCount) {
    std::size_t codeBits = 0;
    std::size_t reachable = 0;
    return checkedMul(frame.codes.size(), 8U, codeBits) &&
           checkedMul(codeBits / 12U + 1U, 4096U, reachable) && pixelCount <= reachable;
}

// Stored row r of an interlaced image is picture row interlacedRow(r): every 8th row from 0,
// every 8th from 4, every 4th from 2, every 2nd from 1.
std::size_t interlacedRow(std::size_t stored, std::size_t height) {
    constexpr std::size_t kStart[] = {0, 4, 2, 1};
    constexpr std::size_t kStep[] = {8, 8, 4, 2};
    for (std::size_t pass = 0; pass < 4; ++pass) {
        const std::size_t rows =
            height > kStart[pass] ? (height - kStart[pass] + kStep[pass] - 1) / kStep[pass] : 0;
        if (stored < rows) {
            return kStart[pass] + stored * kStep[pass];
        }
        stored -= rows;
    }
    return stored;
}

void paint(const GifFrame& frame, const std::vector<std::uint8_t>& indices, c32bppDIB& surface) {
    const std::size_t entries = frame.colourTable.size() / 3;
    const std::size_t width = frame.width;
    const std::size_t height = frame.height;
    const auto rowBytes = static_cast<std::size_t>(surface.ScanWidth());
    auto target = surface.Bits();
    for (std::size_t stored = 0; stored < height; ++stored) {
        const std::size_t row = frame.interlaced ? interlacedRow(stored, height) : stored;
        std::uint8_t* out = target.data() + (height - 1 - row) * rowBytes;
        const std::uint8_t* in = indices.data() + stored * width;
        for (std::size_t x = 0; x < width; ++x, out += 4) {
            const std::uint8_t index = in[x];
            if (static_cast<std::int32_t>(index) == frame.transparentIndex) {
                continue;
            }
            // An index with no colour in the table (or without any table) is opaque black, as
            // a decoder that pads a short table draws it.
            if (index >= entries) {
                out[3] = 255;
                continue;
            }
            const std::uint8_t* rgb = frame.colourTable.data() + std::size_t{index} * 3;
            out[0] = rgb[2];
            out[1] = rgb[1];
            out[2] = rgb[0];
            out[3] = 255;
        }
    }
}

bool decodeFrame(const GifFrame& frame, c32bppDIB& surface) {
    if (frame.imageDataBytes < kMinimumImageDataBytes || frame.width == 0 || frame.height == 0) {
        return false;
    }
    const std::size_t pixelCount = std::size_t{frame.width} * frame.height;
    // The joined codes, one index per pixel and the surface are held at once.
    const auto surfaceBytes = limits::surfaceBytes(frame.width, frame.height);
    if (!surfaceBytes || !limits::fitsLoadBudget({*surfaceBytes, pixelCount, frame.codes.size()}) ||
        !plausibleSize(frame, pixelCount)) {
        return false;
    }
    std::vector<std::uint8_t> indices;
    if (!decodeGifLzw(frame.codes, frame.minimumCodeSize, pixelCount, indices) ||
        !surface.InitializeDIB(frame.width, frame.height)) {
        return false;
    }
    paint(frame, indices, surface);
    surface.SetAlpha(frame.transparentIndex >= 0);
    surface.SetImageType(ImageKind::Gif);
    return true;
}

} // namespace

bool cGIFparser::LoadStream(std::span<const std::uint8_t> inStream, c32bppDIB& dibClass,
                            std::int32_t streamStart, std::int32_t streamLength) {
    const auto slice = streamSlice(inStream, streamStart, streamLength);
    if (!slice) {
        return false;
    }
    try {
        GifFrame frame;
        const GifScan scan = scanGif(*slice, frame);
        if (scan == GifScan::NotGif) {
            return false;
        }
        dibClass.DestroyDIB();
        if (scan == GifScan::Image && !decodeFrame(frame, dibClass)) {
            dibClass.DestroyDIB();
        }
    } catch (const std::bad_alloc&) {
        dibClass.DestroyDIB();
    }
    return true;
}

} // namespace zr::imaging
