#include "imaging/ImageReaders.h"

#include "imaging/bmp/cBMPparser.h"
#include "imaging/cPNGparser.h"
#include "imaging/gif/cGIFparser.h"
#include "imaging/ico/cICOparser.h"

#include <array>

namespace zr::imaging {

namespace {

bool readPng(std::span<const std::uint8_t> data, c32bppDIB& surface, std::int32_t, std::int32_t) {
    return cPNGparser().LoadStream(data, surface);
}

bool readGif(std::span<const std::uint8_t> data, c32bppDIB& surface, std::int32_t, std::int32_t) {
    return cGIFparser().LoadStream(data, surface);
}

bool readIcon(std::span<const std::uint8_t> data, c32bppDIB& surface, std::int32_t iconCx,
              std::int32_t iconCy) {
    return cICOparser().LoadStream(data, surface, iconCx, iconCy);
}

bool readBmp(std::span<const std::uint8_t> data, c32bppDIB& surface, std::int32_t, std::int32_t) {
    return cBMPparser().LoadStream(data, surface);
}

// PNG and GIF first: their signatures are unambiguous. The icon directory has no signature, so
// it comes after them; the BMP reader is last because it also hands anything else to the
// platform picture loader.
constexpr std::array<ImageReader, 4> kReaders{&readPng, &readGif, &readIcon, &readBmp};

} // namespace

std::span<const ImageReader> imageReaders() {
    return kReaders;
}

} // namespace zr::imaging
