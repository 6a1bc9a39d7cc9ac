#include "keys/KeyBoxes.h"
#include "keys/KeyDerivation.h"
#include "base/TextRules.h"

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

TEST(KeyBoxesTest, BoxOutsideAByteIsRefusedAndNamed) {
    const auto key = keyBytesFromBoxes({"FF", "FF", "FF", "ZZ", "FF", "FF"});
    ASSERT_FALSE(key);
    EXPECT_EQ(key.error().box, 3u);
    EXPECT_EQ(key.error().text, "ZZ");
    EXPECT_EQ(key.error().value, 595);
    EXPECT_EQ(keyBoxErrorMessage(key.error(), KeyRow::CurrentAKey, true),
              "A Key box 4 \"ZZ\" is not a byte (00 - FF), nothing sent!");
    EXPECT_EQ(keyBoxErrorMessage(key.error(), KeyRow::NewAKey, false),
              "新 A KEY 第 4 格 \"ZZ\" 不是一個位元組 (00 - FF)，未送出!");
}

TEST(KeyBoxesTest, FirstBadBoxIsTheOneReported) {
    const auto key = keyBytesFromBoxes({"FF", "G0", "FF", "ZZ", "FF", "FF"});
    ASSERT_FALSE(key);
    EXPECT_EQ(key.error().box, 1u);
}

TEST(KeyBoxesTest, LongPastedTextIsQuotedShort) {
    const std::string pasted(5000, 'Z');
    const auto key = keyBytesFromBoxes({pasted, "FF", "FF", "FF", "FF", "FF"});
    ASSERT_FALSE(key);
    const std::string message = keyBoxErrorMessage(key.error(), KeyRow::CurrentAKey, true);
    EXPECT_LT(message.size(), 100u);
    EXPECT_NE(message.find("\"ZZZZZZZZ...\""), std::string::npos);
}

TEST(KeyBoxesTest, ByteBoxTextHasNoLeadingZero) {
    EXPECT_EQ(byteBoxText(0), "0");
    EXPECT_EQ(byteBoxText(5), "5");
    EXPECT_EQ(byteBoxText(15), "F");
    EXPECT_EQ(byteBoxText(16), "10");
    EXPECT_EQ(byteBoxText(0xAB), "AB");
    EXPECT_EQ(byteBoxText(255), "FF");
}

TEST(KeyBoxesTest, EveryByteSurvivesTheBoxRoundTrip) {
    for (int value = 0; value < 256; ++value) {
        std::string box = byteBoxText(static_cast<std::uint8_t>(value));
        EXPECT_EQ(zr::base::Hex2Dec(box), value);
    }
}

TEST(KeyTextTest, JoinAndSplit) {
    const KeyBoxes boxes{"FF", "A", "", "0f", "12", "3"};
    EXPECT_EQ(joinKeyBoxes(boxes), "FF-A--0f-12-3");
    EXPECT_EQ(splitKeyText(joinKeyBoxes(boxes)),
              (std::vector<std::string>{"FF", "A", "", "0f", "12", "3"}));
}

struct SplitCase {
    std::string stored;
    std::vector<std::string> parts;
};

class SplitKeyTextTest : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitKeyTextTest, Parts) {
    EXPECT_EQ(splitKeyText(GetParam().stored), GetParam().parts);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitKeyTextTest,
    testing::Values(SplitCase{"FF-FF-FF-FF-FF-FF", {"FF", "FF", "FF", "FF", "FF", "FF"}},
                    SplitCase{"  01-02-03-04-05-06  ", {"01", "02", "03", "04", "05", "06"}},
                    SplitCase{"", {}}, SplitCase{"   ", {}}, SplitCase{"AA", {"AA"}},
                    SplitCase{"AA-BB", {"AA", "BB"}}, SplitCase{"AA-", {"AA", ""}},
                    SplitCase{"AA - BB", {"AA", "BB"}},
                    SplitCase{"1-2-3-4-5-6-7-8", {"1", "2", "3", "4", "5", "6"}},
                    SplitCase{"------", {"", "", "", "", "", ""}}));

DerivationMasks testMasks() {
    return {0x5A, 0xC3, 0x96};
}

TEST(KeyDerivationTest, BothHalvesZeroGiveTheMasks) {
    const auto key = deriveKey("0000000000", testMasks());
    ASSERT_TRUE(key);
    EXPECT_EQ(*key, (KeyBytes{0x5A, 0xC3, 0x96, 0x5A, 0xC3, 0x96}));
}

TEST(KeyDerivationTest, WorkedExample) {
    // First half 4660 = 0x1234 (u3 0x12, u2 0x34); last half 43981 = 0xABCD (u1 0xAB, u0 0xCD).
    const auto key = deriveKey("0466043981", {0x01, 0x02, 0x04});
    ASSERT_TRUE(key);
    EXPECT_EQ(*key, (KeyBytes{0xCD ^ 0x01, ((0xCD + 0xAB) & 0xFF) ^ 0x02, 0xAB ^ 0x04, 0x34 ^ 0x01,
                              ((0x34 + 0x12) & 0xFF) ^ 0x02, 0x12 ^ 0x04}));
    EXPECT_EQ(keyBoxTexts(*key), (KeyBoxes{"CC", "7A", "AF", "35", "44", "16"}));
}

TEST(KeyDerivationTest, EachHalfChangesOnlyItsThreeBytes) {
    const auto base = deriveKey("1234554321", testMasks());
    const auto lastChanged = deriveKey("1234512345", testMasks());
    const auto firstChanged = deriveKey("6553554321", testMasks());
    ASSERT_TRUE(base && lastChanged && firstChanged);
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NE((*base)[i], (*lastChanged)[i]) << i;
        EXPECT_EQ((*base)[i + 3], (*lastChanged)[i + 3]) << i;
        EXPECT_EQ((*base)[i], (*firstChanged)[i]) << i;
        EXPECT_NE((*base)[i + 3], (*firstChanged)[i + 3]) << i;
    }
}

TEST(KeyDerivationTest, CharactersBetweenTheHalvesAreIgnored) {
    const auto plain = deriveKey("1234554321", testMasks());
    ASSERT_TRUE(plain);
    EXPECT_EQ(deriveKey("12345:54321", testMasks()), plain);
    EXPECT_EQ(deriveKey("12345 anything 54321", testMasks()), plain);
}

TEST(KeyDerivationTest, SameUidSameKeyAndBoxTexts) {
    const auto first = deriveKey("0000100002", testMasks());
    ASSERT_TRUE(first);
    EXPECT_EQ(first, deriveKey("0000100002", testMasks()));
    EXPECT_EQ(keyBoxTexts(*first), (KeyBoxes{"58", "C1", "96", "5B", "C2", "96"}));
}

TEST(KeyDerivationTest, HalfAbove65535GivesNothing) {
    // Ten decimal digits do not always split into two 16-bit halves: 67890 does not fit.
    EXPECT_FALSE(deriveKey("1234567890", testMasks()));
    EXPECT_FALSE(deriveKey("6553612345", testMasks()));
}

TEST(KeyDerivationTest, TextsWithoutTwoDecimalHalvesGiveNothing) {
    for (const char* uid :
         {"", "1234", "12345", "123456789", "ABCDEF1234", "12345ABCDE", "6553665535", "0000099999",
          " 234567890", "1234-67890", "+1234567890", "12.4567890", "１２３４５67890", "NO", "OK"}) {
        EXPECT_FALSE(deriveKey(uid, testMasks())) << uid;
    }
}

TEST(KeyDerivationTest, HalvesAtTheirLimits) {
    const auto key = deriveKey("6553565535", {0, 0, 0});
    ASSERT_TRUE(key);
    EXPECT_EQ(*key, (KeyBytes{0xFF, 0xFE, 0xFF, 0xFF, 0xFE, 0xFF}));
}

} // namespace
