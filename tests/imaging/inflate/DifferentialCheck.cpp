#include "DifferentialCheck.h"

#include "ZlibPeer.h"
#include "imaging/inflate/Inflate.h"

#include <algorithm>

namespace zr::imaging::test {

std::string compareWithZlib(std::span<const std::uint8_t> input) {
    if (input.size() < 2) {
        return {};
    }
    const std::size_t capacity = (std::size_t{input[0]} | std::size_t{input[1]} << 8) * 4;
    const std::span<const std::uint8_t> deflateData = input.subspan(2);

    Bytes stream(2 + deflateData.size());
    stream[0] = 0x78;
    stream[1] = 0x9C;
    std::copy(deflateData.begin(), deflateData.end(), stream.begin() + 2);
    Bytes own(capacity);
    const InflateResult result = inflateZlib(stream, own);
    if (result.written > capacity) {
        return "claims to have written past its output";
    }

    const std::optional<Bytes> reference = zlibInflateRaw(deflateData, capacity);
    const bool ownOk = result.status == InflateStatus::Ok;
    if (ownOk != reference.has_value()) {
        return ownOk ? "accepted data that zlib rejects"
                     : "rejected data that zlib accepts, status " +
                           std::to_string(static_cast<int>(result.status));
    }
    if (ownOk && (result.written != reference->size() ||
                  !std::equal(reference->begin(), reference->end(), own.begin()))) {
        return "inflated to different bytes";
    }
    return {};
}

} // namespace zr::imaging::test
