#include "imaging/png/PngInflate.h"

#include "imaging/inflate/Inflate.h"
#include "imaging/inflate/ZlibRuntime.h"

#include <algorithm>

namespace zr::imaging {

namespace {

bool inflateWithZlib(std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                     const ZlibRuntime* zlib) {
    if (zlib == nullptr || !zlib->hasUncompress()) {
        return false;
    }
    std::size_t written = 0;
    return zlib->uncompress(input, output, written) && written == output.size();
}

bool inflateOwn(std::span<const std::uint8_t> input, std::span<std::uint8_t> output) {
    const InflateResult result = inflateZlib(input, output);
    return result.status == InflateStatus::Ok && result.written == output.size();
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
    if (inflateWithZlib(input, output, zlib) || inflateOwn(input, output)) {
        return PngError::None;
    }
    return PngError::InflateFailed;
}

} // namespace zr::imaging
