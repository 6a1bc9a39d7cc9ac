#include "imaging/bmp/cBMPparser.h"

#include "imaging/BitFields.h"
#include "imaging/ByteView.h"
#include "imaging/CheckedMath.h"
#include "imaging/ImageLimits.h"
#include "imaging/PictureToSurface.h"
#include "imaging/StreamSlice.h"
#include "imaging/bmp/BmpAlpha.h"
#include "imaging/c32bppDIB.h"

#include <cstring>
#include <limits>

namespace zr::imaging {

namespace {

constexpr std::uint32_t kOs2HeaderBytes = 12;
constexpr std::uint32_t kUncompressed = 0;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitFields = 3;
constexpr std::uint32_t kAlphaBitFields = 6;

struct BmpHeader {
    std::uint32_t pixelOffset = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::uint32_t masks[4] = {}; // red, green, blue, alpha; 0 where the file names none
};

bool knownHeaderSize(std::uint32_t bytes) {
    return bytes == kOs2HeaderBytes || bytes == 40 || bytes == 52 || bytes == 56 || bytes == 108 ||
           bytes == 124;
}

// Bit-field masks stand inside headers of 52 bytes and more (the alpha mask from 56 bytes on),
// and after a 40-byte header: three of them, or four with the alpha bit-fields compression.
void readMasks(const ByteView& view, std::uint32_t headerBytes, BmpHeader& header) {
    constexpr std::size_t kMasksAt = 54;
    std::size_t named = 0;
    if (headerBytes == 40) {
        named = header.compression == kBitFields        ? 3
                : header.compression == kAlphaBitFields ? 4
                                                        : 0;
    } else {
        named = headerBytes >= 56 ? 4 : 3;
    }
    for (std::size_t i = 0; i < named; ++i) {
        header.masks[i] = view.u32(kMasksAt + 4 * i).value_or(0);
    }
}

// The fields of a BMP header (OS/2 or Windows); nothing for a header size no writer uses.
std::optional<BmpHeader> readHeader(const ByteView& view) {
    const auto headerBytes = view.u32(14);
    const auto pixelOffset = view.u32(10);
    if (!headerBytes || !pixelOffset || !knownHeaderSize(*headerBytes)) {
        return std::nullopt;
    }
    if (*headerBytes == kOs2HeaderBytes) {
        const auto width = view.u16(18);
        const auto height = view.u16(20);
        const auto bitCount = view.u16(24);
        if (!width || !height || !bitCount) {
            return std::nullopt;
        }
        return BmpHeader{*pixelOffset, *width, *height, *bitCount, kUncompressed};
    }
    const auto width = view.i32(18);
    const auto height = view.i32(22);
    const auto bitCount = view.u16(28);
    const auto compression = view.u32(30);
    if (!width || !height || !bitCount || !compression) {
        return std::nullopt;
    }
    BmpHeader header{*pixelOffset, *width, *height, *bitCount, *compression};
    readMasks(view, *headerBytes, header);
    return header;
}

bool isUncompressed(std::uint32_t compression) {
    return compression == kUncompressed || compression == kBitFields ||
           compression == kAlphaBitFields;
}

// The depths and compressions the platform loader is given: every one a BMP writer produces
// besides the uncompressed 32-bit files read here.
bool forPlatform(const BmpHeader& header) {
    switch (header.bitCount) {
    case 1:
    case 24:
        return header.compression == kUncompressed;
    case 4:
        return header.compression == kUncompressed || header.compression == kRle4;
    case 8:
        return header.compression == kUncompressed || header.compression == kRle8;
    case 16:
        return isUncompressed(header.compression);
    case 32:
        return header.compression == kBitFields || header.compression == kAlphaBitFields;
    default:
        return false;
    }
}

// The rows of a file whose rows are stored uncompressed must all be in the data; compressed
// data must at least start inside it. And the picture and its surface, held at once, must fit
// the load budget.
bool plausible(const ByteView& view, const BmpHeader& header, std::int32_t rows) {
    const auto surface = limits::surfaceBytes(header.width, rows);
    if (!surface || !limits::fitsLoadBudget({*surface, *surface})) {
        return false;
    }
    if (!isUncompressed(header.compression)) {
        return header.pixelOffset < view.size();
    }
    std::size_t rowBytes = 0;
    return checkedMul(static_cast<std::size_t>(mdlGDI::ScanlineBytes(
                          static_cast<std::uint8_t>(header.bitCount), header.width)),
                      static_cast<std::size_t>(rows), rowBytes) &&
           view.holds(header.pixelOffset, rowBytes);
}

// Copies uncompressed 32-bit rows into the surface (bottom-up, as the surface keeps them) and
// settles the alpha.
bool loadOwn32(const ByteView& view, const BmpHeader& header, std::int32_t rows,
               c32bppDIB& surface) {
    if (!surface.InitializeDIB(header.width, rows)) {
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

// The fields of a 16- or 32-bit bit-field file that names an alpha mask: read here, as the
// platform loader scales a one-bit alpha to half opacity and cannot tell an unused alpha
// channel from a transparent picture. Nothing for every other file.
std::optional<BitFields> ownBitFields(const BmpHeader& header) {
    const bool bitFields =
        header.compression == kBitFields || header.compression == kAlphaBitFields;
    if (!bitFields || header.masks[3] == 0) {
        return std::nullopt;
    }
    return makeBitFields(header.masks[0], header.masks[1], header.masks[2], header.masks[3],
                         header.bitCount);
}

// Unpacks bit-field rows into the surface (bottom-up) as straight B, G, R, A and settles the
// alpha like that of any other 32-bit picture: all alpha 0 is drawn opaque.
bool loadOwnBitFields(const ByteView& view, const BmpHeader& header, const BitFields& fields,
                      std::int32_t rows, c32bppDIB& surface) {
    if (!surface.InitializeDIB(header.width, rows)) {
        return false;
    }
    const auto source = view.bytes().subspan(header.pixelOffset);
    const auto stride = static_cast<std::size_t>(
        mdlGDI::ScanlineBytes(static_cast<std::uint8_t>(header.bitCount), header.width));
    const auto rowBytes = static_cast<std::size_t>(surface.ScanWidth());
    const auto count = static_cast<std::size_t>(rows);
    auto target = surface.Bits();
    for (std::size_t y = 0; y < count; ++y) {
        const std::size_t surfaceRow = header.height > 0 ? y : count - 1 - y;
        unpackBitFields(source.data() + y * stride, target.data() + surfaceRow * rowBytes,
                        static_cast<std::size_t>(header.width), fields, header.bitCount);
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
    if (mdlGDI::PictureFormatOf(*slice) == mdlGDI::PictureFormat::Bmp) {
        const auto header = readHeader(view);
        if (!header || header->width < 1 || header->height == 0 ||
            header->height == std::numeric_limits<std::int32_t>::min()) {
            return false;
        }
        const std::int32_t rows = header->height < 0 ? -header->height : header->height;
        const bool own = header->bitCount == 32 && header->compression == kUncompressed;
        const auto fields = ownBitFields(*header);
        if ((!own && !fields && !forPlatform(*header)) || !plausible(view, *header, rows)) {
            return false;
        }
        if (own) {
            return loadOwn32(view, *header, rows, dibClass);
        }
        if (fields) {
            return loadOwnBitFields(view, *header, *fields, rows, dibClass);
        }
    }
    const auto picture = mdlGDI::PictureFromBytes(*slice);
    return picture && ConvertstdPicTo32bpp(&*picture, dibClass);
}

bool cBMPparser::ConvertstdPicTo32bpp(const mdlGDI::Picture* stdPic, c32bppDIB& cHost) {
    if (stdPic == nullptr) {
        return false;
    }
    // A 32-bit bitmap's fourth byte may be unused, straight or premultiplied alpha: it is
    // classified like the file's own 32-bit pixels, and the kind stays the picture's type.
    if (stdPic->sourceBits != 32) {
        return pictureToSurface(*stdPic, cHost, PictureAlpha::Straight);
    }
    if (!pictureToSurface(*stdPic, cHost, PictureAlpha::AsStored)) {
        return false;
    }
    settleAlpha(cHost);
    cHost.SetImageType(stdPic->type);
    return true;
}

} // namespace zr::imaging
