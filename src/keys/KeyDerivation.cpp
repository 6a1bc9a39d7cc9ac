#include "keys/KeyDerivation.h"

#include "base/TextRules.h"

namespace zr::keys {
namespace {

constexpr std::size_t kHalfDigits = 5;
// Shorter texts would read some digits into both halves: no card has such a UID.
constexpr std::size_t kMinUidChars = 2 * kHalfDigits;
constexpr long long kMaxHalf = 65535;

// A UID half: exactly five ASCII digits, at most 65535.
std::optional<unsigned> uidHalf(const std::string& digits) {
    if (digits.size() != kHalfDigits) {
        return std::nullopt;
    }
    unsigned value = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value > kMaxHalf) {
        return std::nullopt;
    }
    return value;
}

std::uint8_t low8(unsigned value) {
    return static_cast<std::uint8_t>(value & 0xFFU);
}

} // namespace

std::optional<KeyBytes> deriveKey(std::string_view uidText, const DerivationMasks& masks) {
    if (base::charCount(uidText) < kMinUidChars) {
        return std::nullopt;
    }
    const auto first = uidHalf(base::leftChars(uidText, kHalfDigits));
    const auto last = uidHalf(base::rightChars(uidText, kHalfDigits));
    if (!first || !last) {
        return std::nullopt;
    }
    const unsigned u3 = *first / 256;
    const unsigned u2 = *first % 256;
    const unsigned u1 = *last / 256;
    const unsigned u0 = *last % 256;
    return KeyBytes{
        low8(u0 ^ masks.m1), low8(((u0 + u1) % 256) ^ masks.m2), low8(u1 ^ masks.m3),
        low8(u2 ^ masks.m1), low8(((u2 + u3) % 256) ^ masks.m2), low8(u3 ^ masks.m3),
    };
}

} // namespace zr::keys
