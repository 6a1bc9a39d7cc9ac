// The pure key rules: box texts to bytes and back, the stored "FF-FF-..." form, and the key
// derived from a card UID. The station's key procedures are tested in key_procedures_test.
#include "base/TextRules.h"
#include "keys/KeyBoxes.h"
#include "keys/KeyDerivation.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using namespace zr::keys;

TEST(KeyBoxesTest, BoxesBecomeBytesThroughHex2Dec) {
    const auto key = keyBytesFromBoxes({"0f", "F0", "ff", "F", " a ", ""});
    ASSERT_TRUE(key);
    EXPECT_EQ(key.value(), (KeyBytes{15, 240, 255, 15, 10, 0}));
}

TEST(KeyBoxesTest, FirstBoxOutsideAByteIsRefusedAndNamed) {
    const auto key = keyBytesFromBoxes({"FF", "FF", "FF", "ZZ", "FF", "G0"});
    ASSERT_FALSE(key);
    EXPECT_EQ(key.error().box, 3u);
    EXPECT_EQ(key.error().text, "ZZ");
    EXPECT_EQ(key.error().value, 595);
    EXPECT_EQ(keyBoxErrorMessage(key.error(), KeyRow::CurrentAKey, true),
              "A Key box 4 \"ZZ\" is not a byte (00 - FF), nothing sent!");
    EXPECT_EQ(keyBoxErrorMessage(key.error(), KeyRow::NewAKey, false),
              "新 A KEY 第 4 格 \"ZZ\" 不是一個位元組 (00 - FF)，未送出!");
}

TEST(KeyBoxesTest, LongPastedTextIsQuotedShort) {
    const std::string pasted(5000, 'Z');
    const auto key = keyBytesFromBoxes({pasted, "FF", "FF", "FF", "FF", "FF"});
    ASSERT_FALSE(key);
    const std::string message = keyBoxErrorMessage(key.error(), KeyRow::CurrentAKey, true);
    EXPECT_LT(message.size(), 100u);
    EXPECT_NE(message.find("\"ZZZZZZZZ...\""), std::string::npos);
}

TEST(KeyBoxesTest, EveryByteSurvivesTheBoxRoundTripWithoutALeadingZero) {
    EXPECT_EQ(byteBoxText(0xAB), "AB");
    for (int value = 0; value < 256; ++value) {
        std::string box = byteBoxText(static_cast<std::uint8_t>(value));
        EXPECT_EQ(box.size(), value < 16 ? 1u : 2u) << box;
        EXPECT_EQ(zr::base::Hex2Dec(box), value);
    }
}

TEST(KeyTextTest, JoinAndSplit) {
    EXPECT_EQ(joinKeyBoxes({"FF", "A", "", "0f", "12", "3"}), "FF-A--0f-12-3");
    const std::pair<std::string, std::vector<std::string>> cases[] = {
        {"FF-A--0f-12-3", {"FF", "A", "", "0f", "12", "3"}},
        {"", {}},
        {"   ", {}},
        {"AA", {"AA"}},
        {"AA-", {"AA", ""}},
        {"AA - BB", {"AA", "BB"}},
        {"1-2-3-4-5-6-7-8", {"1", "2", "3", "4", "5", "6"}},
        {"------", {"", "", "", "", "", ""}},
    };
    for (const auto& [stored, parts] : cases) {
        EXPECT_EQ(splitKeyText(stored), parts) << stored;
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

TEST(KeyDerivationTest, TextsWithoutTwoDecimalHalvesUpTo65535GiveNothing) {
    for (const char* uid :
         {"", "1234", "12345", "123456789", "ABCDEF1234", "12345ABCDE", "1234567890", "6553612345",
          "6553665535", "0000099999", " 234567890", "1234-67890", "+1234567890", "12.4567890",
          "１２３４５67890", "NO", "OK"}) {
        EXPECT_FALSE(deriveKey(uid, {0x5A, 0xC3, 0x96})) << uid;
    }
}

} // namespace
