#include "imaging/ImageReaders.h"

#include "imaging/cPNGparser.h"

#include <array>

namespace zr::imaging {

namespace {

bool readPng(std::span<const std::uint8_t> data, c32bppDIB& surface, std::int32_t, std::int32_t) {
    return cPNGparser().LoadStream(data, surface);
}

// PNG first: its signature is unambiguous. Each further format reader is one more entry here,
// in this order: GIF, icon/cursor, BMP (the last also takes what the platform picture loader
// accepts).
constexpr std::array<ImageReader, 1> kReaders{&readPng};

} // namespace

std::span<const ImageReader> imageReaders() {
    return kReaders;
}

} // namespace zr::imaging
