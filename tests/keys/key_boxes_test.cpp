// The pure key rules: box texts to bytes and back, and the key derived from a card UID.
#include "base/TextRules.h"
#include "keys/KeyBoxes.h"
#include "keys/KeyDerivation.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace zr::keys;

TEST(KeyBoxesTest, EveryByteSurvivesTheBoxRoundTripWithoutALeadingZero) {
    EXPECT_EQ(byteBoxText(0xAB), "AB");
    for (int value = 0; value < 256; ++value) {
        std::string box = byteBoxText(static_cast<std::uint8_t>(value));
        EXPECT_EQ(box.size(), value < 16 ? 1u : 2u) << box;
        EXPECT_EQ(zr::base::Hex2Dec(box), value);
    }
}

TEST(KeyDerivationTest, EachHalfGivesItsThreeBytes) {
    const DerivationMasks masks{0x5A, 0xC3, 0x96};
    const std::pair<const char*, KeyBoxes> cases[] = {
        {"0000000000", {"5A", "C3", "96", "5A", "C3", "96"}},
        // Last half 258 = 01 02 changes only boxes 0-2, first half only boxes 3-5.
        {"0000000258", {"58", "C0", "97", "5A", "C3", "96"}},
        {"0025800000", {"5A", "C3", "96", "58", "C0", "97"}},
        {"0000000090", {"0", "99", "96", "5A", "C3", "96"}},
        // Characters between the halves are ignored.
        {"65535:65535", {"A5", "3D", "69", "A5", "3D", "69"}},
        {"65535 anything 65535", {"A5", "3D", "69", "A5", "3D", "69"}},
    };
    for (const auto& [uid, boxes] : cases) {
        const auto key = deriveKey(uid, masks);
        ASSERT_TRUE(key) << uid;
        EXPECT_EQ(keyBoxTexts(*key), boxes) << uid;
    }
}

TEST(KeyDerivationTest, WorkedExample) {
    // First half 4660 = 0x1234 (u3 0x12, u2 0x34); last half 43981 = 0xABCD (u1 0xAB, u0 0xCD).
    const auto key = deriveKey("0466043981", {0x01, 0x02, 0x04});
    ASSERT_TRUE(key);
    EXPECT_EQ(*key, (KeyBytes{0xCD ^ 0x01, ((0xCD + 0xAB) & 0xFF) ^ 0x02, 0xAB ^ 0x04, 0x34 ^ 0x01,
                              ((0x34 + 0x12) & 0xFF) ^ 0x02, 0x12 ^ 0x04}));
    EXPECT_EQ(deriveKey("6553565535", {0, 0, 0}), (KeyBytes{0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF}));
}

} // namespace
