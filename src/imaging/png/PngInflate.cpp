#include "imaging/png/PngInflate.h"

#include "imaging/ImageLimits.h"
#include "imaging/inflate/Inflate.h"
#include "imaging/inflate/ZlibRuntime.h"

#include <algorithm>

namespace zr::imaging {

namespace {

bool inflateWithZlib(std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                     const ZlibRuntime* zlib, std::size_t& written) {
    return zlib != nullptr && zlib->hasInflate() &&
           zlib->inflate(input, output, limits::maxInflateBlocks(output.size()), written);
}

bool inflateOwn(std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                std::size_t& written) {
    const InflateResult result =
        inflateZlib(input, output, limits::maxInflateBlocks(output.size()));
    written = result.written;
    return result.status == InflateStatus::Ok;
}

} // namespace

PngError inflateImageData(const std::vector<std::span<const std::uint8_t>>& pieces,
                          std::size_t totalBytes, std::span<std::uint8_t> output,
                          const ZlibRuntime* zlib) {
    std::vector<std::uint8_t> joined;
    std::span<const std::uint8_t> input;
    if (pieces.size() == 1) {
        input = pieces.front();
    } else {
        joined.reserve(totalBytes);
        for (const auto& piece : pieces) {
            joined.insert(joined.end(), piece.begin(), piece.end());
        }
        input = joined;
    }
    std::size_t written = 0;
    if (!inflateWithZlib(input, output, zlib, written) && !inflateOwn(input, output, written)) {
        return PngError::InflateFailed;
    }
    // A complete stream that ends short of the image leaves its last rows as zero bytes
    // (filter 0, all samples 0), as a zero-filled buffer would.
    std::fill(output.begin() + static_cast<std::ptrdiff_t>(written), output.end(), 0);
    return PngError::None;
}

} // namespace zr::imaging
