#include "ReferenceDecoder.h"

#include <cstring>
#include <memory>
#include <spng.h>

namespace zr::imaging::test {

namespace {

struct ContextFree {
    void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};

} // namespace

std::optional<ReferenceImage> referenceDecode(const std::vector<std::uint8_t>& png,
                                              bool ignoreCrc) {
    const std::unique_ptr<spng_ctx, ContextFree> context(spng_ctx_new(0));
    if (!context || spng_set_png_buffer(context.get(), png.data(), png.size()) != 0) {
        return std::nullopt;
    }
    if (ignoreCrc) {
        spng_set_crc_action(context.get(), SPNG_CRC_USE, SPNG_CRC_USE);
    }
    spng_ihdr header{};
    if (spng_get_ihdr(context.get(), &header) != 0) {
        return std::nullopt;
    }
    // libspng brings 16-bit samples to 8 bits by their high byte, as this reader does.
    std::size_t size = 0;
    if (spng_decoded_image_size(context.get(), SPNG_FMT_RGBA8, &size) != 0) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> decoded(size);
    if (spng_decode_image(context.get(), decoded.data(), size, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS) !=
        0) {
        return std::nullopt;
    }
    ReferenceImage image;
    image.width = static_cast<std::int32_t>(header.width);
    image.height = static_cast<std::int32_t>(header.height);
    image.bottomUpPremultipliedBgra.assign(size, 0);
    const std::size_t pixelCount = std::size_t{header.width} * header.height;
    for (std::size_t i = 0; i < pixelCount; ++i) {
        const std::uint8_t* rgba = decoded.data() + i * 4;
        const std::size_t x = i % header.width;
        const std::size_t y = i / header.width;
        std::uint8_t* out = image.bottomUpPremultipliedBgra.data() +
                            ((header.height - 1 - y) * header.width + x) * 4;
        const unsigned alpha = rgba[3];
        if (alpha == 0) {
            continue;
        }
        out[0] = static_cast<std::uint8_t>(rgba[2] * alpha / 255);
        out[1] = static_cast<std::uint8_t>(rgba[1] * alpha / 255);
        out[2] = static_cast<std::uint8_t>(rgba[0] * alpha / 255);
        out[3] = static_cast<std::uint8_t>(alpha);
    }
    return image;
}

} // namespace zr::imaging::test
