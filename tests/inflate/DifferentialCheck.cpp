#include "DifferentialCheck.h"

#include "ZlibPeer.h"
#include "imaging/inflate/Inflate.h"

namespace zr::imaging::test {

std::string compareWithZlib(std::span<const std::uint8_t> input) {
    if (input.size() < 2) {
        return {};
    }
    const std::size_t capacity = (std::size_t{input[0]} | std::size_t{input[1]} << 8) * 4;
    const std::span<const std::uint8_t> deflateData = input.subspan(2);

    Bytes stream{0x78, 0x9C};
    stream.insert(stream.end(), deflateData.begin(), deflateData.end());
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
