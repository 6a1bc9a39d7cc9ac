#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace zr::imaging {

// Size arithmetic on untrusted header values goes through these so that an overflow becomes
// an ordinary "no" instead of a wrapped value that later sizes a buffer.
inline bool checkedMul(std::size_t a, std::size_t b, std::size_t& result) {
    return !__builtin_mul_overflow(a, b, &result);
}

inline bool checkedAdd(std::size_t a, std::size_t b, std::size_t& result) {
    return !__builtin_add_overflow(a, b, &result);
}

// width × height × 4 as a 32-bit signed byte count, or nothing when it does not fit.
inline std::optional<std::int32_t> surfaceByteCount(std::int32_t width, std::int32_t height) {
    std::int32_t rowBytes = 0;
    std::int32_t total = 0;
    if (width < 0 || height < 0 || __builtin_mul_overflow(width, 4, &rowBytes) ||
        __builtin_mul_overflow(rowBytes, height, &total)) {
        return std::nullopt;
    }
    return total;
}

} // namespace zr::imaging
