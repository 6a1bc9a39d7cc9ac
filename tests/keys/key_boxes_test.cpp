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

// What is no UID gives no key, and a box that is no byte is named, counted from 1.
TEST(KeyRulesTest, RefuseWhatIsNoUidOrByte) {
    for (const char* uid : {"6553665535", "0000065536", "123456789", "12345"}) {
        EXPECT_FALSE(deriveKey(uid, {0, 0, 0})) << uid;
    }
    KeyBoxes boxes{"FF", "FF", "FF", "FF", "G0", "FF"}; // "G0" is 256
    const auto refused = keyBytesFromBoxes(boxes);
    ASSERT_FALSE(refused.ok());
    EXPECT_EQ(keyBoxErrorMessage(refused.error(), KeyRow::NewAKey, true),
              "New A Key box 5 \"G0\" is not a byte (00 - FF), nothing sent!");
    boxes[4] = "FF";
    EXPECT_TRUE(keyBytesFromBoxes(boxes).ok());
    EXPECT_EQ(splitKeyText("1-2-3-4-5-6-7").size(), 6u);
    EXPECT_EQ(quotedExcerpt("123456789"), "12345678...");
    EXPECT_EQ(quotedExcerpt("12345678"), "12345678");
}

} // namespace
