#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace zr::testing {

// Bytes as upper-case hex pairs separated by blanks ("08 07 20"), as frames are written in
// the tests and the traffic view.
inline std::string hex(const std::vector<std::uint8_t>& bytes) {
    static const char* digits = "0123456789ABCDEF";
    std::string text;
    for (const std::uint8_t byte : bytes) {
        if (!text.empty()) {
            text += ' ';
        }
        text += digits[byte >> 4U];
        text += digits[byte & 0xFU];
    }
    return text;
}

} // namespace zr::testing
