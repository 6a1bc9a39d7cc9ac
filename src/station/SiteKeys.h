#pragma once

#include <array>
#include <cstdint>

namespace zr::station {

// The site's fixed keys and derivation masks as the procedures use them; read from the
// site configuration at start-up.
struct SiteKeys {
    std::array<std::uint8_t, 6> loginKey{};
    std::array<std::uint8_t, 6> v1CardKey{};
    std::uint8_t mask1 = 0;
    std::uint8_t mask2 = 0;
    std::uint8_t mask3 = 0;
};

} // namespace zr::station
