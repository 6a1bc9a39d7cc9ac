#include "imaging/bmp/cBMPparser.h"

#include "imaging/ByteView.h"
#include "imaging/CheckedMath.h"
#include "imaging/PictureToSurface.h"
#include "imaging/StreamSlice.h"
#include "imaging/bmp/BmpAlpha.h"
#include "imaging/c32bppDIB.h"

#include <cstring>
#include <limits>

namespace zr::imaging {

namespace {

constexpr std::uint16_t kBmpSignature = 0x4D42; // "BM"
constexpr std::uint32_t kInfoHeaderBytes = 40;  // the smallest header with 32-bit fields
constexpr std::uint32_t kUncompressed = 0;

struct BmpHeader {
    std::uint32_t pixelOffset = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
};

// The fields of a file that starts with "BM" and has an information header of at least 40
// bytes; nothing for an older (OS/2) header, whose fields lie elsewhere.
std::optional<BmpHeader> readHeader(const ByteView& view) {
    const auto headerBytes = view.u32(14);
    if (!headerBytes || *headerBytes < kInfoHeaderBytes) {
        return std::nullopt;
    }
    const auto pixelOffset = view.u32(10);
    const auto width = view.i32(18);
    const auto height = view.i32(22);
    const auto bitCount = view.u16(28);
    const auto compression = view.u32(30);
    if (!pixelOffset || !width || !height || !bitCount || !compression) {
        return std::nullopt;
    }
    return BmpHeader{*pixelOffset, *width, *height, *bitCount, *compression};
}

// Copies uncompressed 32-bit rows into the surface (bottom-up, as the surface keeps them) and
// settles the alpha. False, surface empty, when the rows are not all in the data.
bool loadOwn32(const ByteView& view, const BmpHeader& header, c32bppDIB& surface) {
    if (header.height == std::numeric_limits<std::int32_t>::min()) {
        return false;
    }
    const std::int32_t rows = header.height < 0 ? -header.height : header.height;
    const auto byteCount = surfaceByteCount(header.width, rows);
    if (!byteCount || !view.holds(header.pixelOffset, static_cast<std::size_t>(*byteCount)) ||
        !surface.InitializeDIB(header.width, rows)) {
        return false;
    }
    const auto source = view.bytes().subspan(header.pixelOffset);
    auto target = surface.Bits();
    if (header.height > 0) {
        std::memcpy(target.data(), source.data(), target.size());
    } else {
        const auto rowBytes = static_cast<std::size_t>(surface.ScanWidth());
        const auto count = static_cast<std::size_t>(rows);
        for (std::size_t y = 0; y < count; ++y) {
            std::memcpy(target.data() + (count - 1 - y) * rowBytes, source.data() + y * rowBytes,
                        rowBytes);
        }
    }
    settleAlpha(surface);
    return true;
}

} // namespace

bool cBMPparser::LoadStream(std::span<const std::uint8_t> inStream, c32bppDIB& dibClass,
                            std::int32_t streamStart, std::int32_t streamLength) {
    const auto slice = streamSlice(inStream, streamStart, streamLength);
    if (!slice) {
        return false;
    }
    const ByteView view(*slice);
    if (view.u16(0) == kBmpSignature) {
        if (const auto header = readHeader(view)) {
            if (header->width < 1 || header->height == 0) {
                return false;
            }
            if (header->bitCount == 32 && header->compression == kUncompressed) {
                return loadOwn32(view, *header, dibClass);
            }
        }
    }
    const auto picture = mdlGDI::PictureFromBytes(*slice);
    return picture && ConvertstdPicTo32bpp(&*picture, dibClass);
}

bool cBMPparser::ConvertstdPicTo32bpp(const mdlGDI::Picture* stdPic, c32bppDIB& cHost) {
    return stdPic != nullptr && pictureToSurface(*stdPic, cHost);
}

} // namespace zr::imaging
