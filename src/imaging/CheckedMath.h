#pragma once

#include <cstddef>

namespace zr::imaging {

// Size arithmetic on untrusted header values goes through these so that an overflow becomes
// an ordinary "no" instead of a wrapped value that later sizes a buffer.
inline bool checkedMul(std::size_t a, std::size_t b, std::size_t& result) {
    return !__builtin_mul_overflow(a, b, &result);
}

inline bool checkedAdd(std::size_t a, std::size_t b, std::size_t& result) {
    return !__builtin_add_overflow(a, b, &result);
}

} // namespace zr::imaging
