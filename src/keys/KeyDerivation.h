#pragma once

#include "keys/KeyBoxes.h"

#include <cstdint>
#include <optional>
#include <string_view>

// The per-card A key computed from the card's UID, so that each card has its own key and
// any card's key can be recomputed from its UID alone.
namespace zr::keys {

// The site's three one-byte masks, the same for every card.
struct DerivationMasks {
    std::uint8_t m1 = 0;
    std::uint8_t m2 = 0;
    std::uint8_t m3 = 0;
    friend bool operator==(const DerivationMasks&, const DerivationMasks&) = default;
};

// The key for a UID text of at least ten characters whose first and last five characters are
// each a five-digit decimal number 0 to 65535; nothing for any other text (the key rows are
// then left as they are).
std::optional<KeyBytes> deriveKey(std::string_view uidText, const DerivationMasks& masks);

} // namespace zr::keys
