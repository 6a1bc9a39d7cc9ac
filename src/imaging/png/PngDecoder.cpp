#include "imaging/png/PngDecoder.h"

#include "imaging/CheckedMath.h"
#include "imaging/ImageLimits.h"
#include "imaging/c32bppDIB.h"
#include "imaging/png/PngChunks.h"
#include "imaging/png/PngInflate.h"
#include "imaging/png/PngPixels.h"
#include "imaging/png/PngUnfilter.h"

#include <algorithm>
#include <memory>
#include <new>

namespace zr::imaging {

namespace {

// Refuses, before anything is allocated, an image whose surface, inflate buffer and joined
// compressed data together pass the load budget, or whose declared size its compressed data
// could not possibly inflate to.
PngError checkPlausibleSize(const PngChunks& chunks, std::size_t& inflatedSize) {
    const PngHeader& header = chunks.header;
    const auto surface = limits::surfaceBytes(header.width, header.height);
    const auto expected = expectedInflatedSize(header);
    const std::size_t joined = chunks.imageData.size() > 1 ? chunks.imageDataBytes : 0;
    if (!surface || !expected || !limits::fitsLoadBudget({*surface, *expected, joined})) {
        return PngError::TooLarge;
    }
    std::size_t reachable = 0;
    if (checkedMul(chunks.imageDataBytes, limits::kMaxInflateRatio, reachable) &&
        checkedAdd(reachable, limits::kInflateSlackBytes, reachable) && *expected > reachable) {
        return PngError::ImplausibleRatio;
    }
    inflatedSize = *expected;
    return PngError::None;
}

// The inflate buffer is reused by the next decode on the same thread: mapping and faulting in a
// fresh multi-megabyte buffer for every large image cost more than unfiltering it. Buffers
// above the kept size are released right after use so one huge image does not stay resident.
class InflateScratch {
  public:
    std::span<std::uint8_t> take(std::size_t size) {
        if (size > capacity_) {
            bytes_.reset();
            capacity_ = 0; // stays consistent if the allocation below throws
            bytes_ = std::make_unique_for_overwrite<std::uint8_t[]>(size);
            capacity_ = size;
        }
        return {bytes_.get(), size};
    }
    void trim() {
        if (capacity_ > kKeptBytes) {
            bytes_.reset();
            capacity_ = 0;
        }
    }

  private:
    static constexpr std::size_t kKeptBytes = std::size_t{16} << 20;
    std::unique_ptr<std::uint8_t[]> bytes_;
    std::size_t capacity_ = 0;
};

// Returns the buffer to the thread's scratch (trimmed) however the decode ends.
class ScratchLease {
  public:
    explicit ScratchLease(InflateScratch& scratch) : scratch_(scratch) {}
    ~ScratchLease() { scratch_.trim(); }
    ScratchLease(const ScratchLease&) = delete;
    ScratchLease& operator=(const ScratchLease&) = delete;

  private:
    InflateScratch& scratch_;
};

std::uint8_t* surfaceRow(c32bppDIB& surface, std::int32_t imageRow) {
    const auto memoryRow = static_cast<std::size_t>(surface.Height() - 1 - imageRow);
    return surface.Bits().data() + memoryRow * static_cast<std::size_t>(surface.ScanWidth());
}

PngError convertPasses(std::span<std::uint8_t> inflated, const PngChunks& chunks,
                       c32bppDIB& surface) {
    const PngPixelConverter converter(chunks);
    const PngPassList list = pngPasses(chunks.header);
    const std::size_t stride = filterStride(chunks.header);
    std::vector<std::uint8_t> passRow;
    std::size_t offset = 0;
    for (std::size_t p = 0; p < list.count; ++p) {
        const PngPass& pass = list.passes[p];
        if (pass.width == 0 || pass.height == 0) {
            continue;
        }
        const std::size_t passBytes = (pass.rowBytes + 1) * static_cast<std::size_t>(pass.height);
        const auto rows = inflated.subspan(offset, passBytes);
        offset += passBytes;
        const bool wholeRows = pass.columnStep == 1;
        if (!wholeRows) {
            passRow.resize(static_cast<std::size_t>(pass.width) * 4);
        }
        // Each row is converted right after it is unfiltered, while it is still in cache.
        const std::uint8_t* above = nullptr;
        for (std::int32_t j = 0; j < pass.height; ++j) {
            std::uint8_t* row = rows.data() + static_cast<std::size_t>(j) * (pass.rowBytes + 1);
            if (!unfilterRow(row, above, pass.rowBytes, stride)) {
                return PngError::BadFilter;
            }
            above = row + 1;
            const std::int32_t y = pass.firstRow + j * pass.rowStep;
            std::uint8_t* target = wholeRows ? surfaceRow(surface, y) : passRow.data();
            if (!converter.convertRow(row + 1, pass.width, target)) {
                return PngError::BadPaletteIndex;
            }
            if (wholeRows) {
                continue;
            }
            std::uint8_t* destRow = surfaceRow(surface, y);
            for (std::int32_t i = 0; i < pass.width; ++i) {
                const std::size_t x =
                    static_cast<std::size_t>(pass.firstColumn) +
                    static_cast<std::size_t>(i) * static_cast<std::size_t>(pass.columnStep);
                std::copy_n(passRow.data() + static_cast<std::size_t>(i) * 4, 4, destRow + x * 4);
            }
        }
    }
    surface.SetAlpha(converter.hasAlpha());
    return PngError::None;
}

PngError decodeInto(std::span<const std::uint8_t> data, c32bppDIB& surface,
                    const ZlibRuntime* zlib) {
    PngChunks chunks;
    if (const PngError error = walkPngChunks(data, zlib, chunks); error != PngError::None) {
        return error;
    }
    std::size_t inflatedSize = 0;
    if (const PngError error = checkPlausibleSize(chunks, inflatedSize); error != PngError::None) {
        return error;
    }
    // Every byte is written by the inflater before it is read, so stale contents do not matter.
    thread_local InflateScratch scratch;
    const ScratchLease lease(scratch);
    const std::span<std::uint8_t> inflated = scratch.take(inflatedSize);
    if (const PngError error =
            inflateImageData(chunks.imageData, chunks.imageDataBytes, inflated, zlib);
        error != PngError::None) {
        return error;
    }
    if (!surface.InitializeDIB(chunks.header.width, chunks.header.height)) {
        return PngError::TooLarge;
    }
    if (const PngError error = convertPasses(inflated, chunks, surface); error != PngError::None) {
        return error;
    }
    surface.SetImageType(ImageKind::Png);
    return PngError::None;
}

} // namespace

PngError decodePng(std::span<const std::uint8_t> data, c32bppDIB& surface,
                   const ZlibRuntime* zlib) {
    if (!hasPngSignature(data)) {
        return PngError::NotPng;
    }
    surface.DestroyDIB();
    PngError error = PngError::OutOfMemory;
    try {
        error = decodeInto(data, surface, zlib);
    } catch (const std::exception&) {
        error = PngError::OutOfMemory;
    }
    if (error != PngError::None) {
        surface.DestroyDIB();
    }
    return error;
}

} // namespace zr::imaging
