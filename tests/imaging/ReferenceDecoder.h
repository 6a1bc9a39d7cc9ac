#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace zr::imaging::test {

struct ReferenceImage {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::vector<std::uint8_t> bottomUpPremultipliedBgra;
};

// libspng's decode, brought to this reader's rules: 16-bit samples by their high byte,
// colours premultiplied as c × a div 255, alpha-0 pixels all zero, rows bottom-up.
std::optional<ReferenceImage> referenceDecode(const std::vector<std::uint8_t>& png, bool ignoreCrc);

} // namespace zr::imaging::test
