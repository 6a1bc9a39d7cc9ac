#include "base/TextRules.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using zr::base::Hex2Dec;

struct Hex2DecCase {
    std::string box;
    int value;
    std::string boxAfter;
};

class Hex2DecTest : public testing::TestWithParam<Hex2DecCase> {};

TEST_P(Hex2DecTest, ValueAndNormalisedText) {
    std::string box = GetParam().box;
    EXPECT_EQ(Hex2Dec(box), GetParam().value);
    EXPECT_EQ(box, GetParam().boxAfter);
}

INSTANTIATE_TEST_SUITE_P(
    KeyBoxes, Hex2DecTest,
    testing::Values(Hex2DecCase{"ff", 255, "FF"}, Hex2DecCase{" a ", 10, "0A"},
                    Hex2DecCase{"7", 7, "07"}, Hex2DecCase{"FF1", 255, "FF1"},
                    Hex2DecCase{"", 0, ""}, Hex2DecCase{"0f", 15, "0F"},
                    Hex2DecCase{"F0", 240, "F0"}, Hex2DecCase{"F", 15, "0F"},
                    Hex2DecCase{"5", 5, "05"}, Hex2DecCase{"00", 0, "00"},
                    // Pasted text follows the letter rule: 'G' is 16, 'Z' is 35.
                    Hex2DecCase{"G", 16, "0G"}, Hex2DecCase{"ZZ", 595, "ZZ"},
                    // Characters below ':' that are not digits count as 0.
                    Hex2DecCase{"-1", 1, "-1"}, Hex2DecCase{"  ", 0, ""},
                    // Only spaces are trimmed; a tab stays and counts as 0.
                    Hex2DecCase{"\tA", 10, "\tA"}));

struct NumberCase {
    std::string text;
    double value;
};

class NumericValueTest : public testing::TestWithParam<NumberCase> {};

TEST_P(NumericValueTest, LeadingNumber) {
    EXPECT_DOUBLE_EQ(zr::base::numericValue(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Fields, NumericValueTest,
                         testing::Values(NumberCase{"300", 300}, NumberCase{"abc", 0},
                                         NumberCase{"", 0}, NumberCase{"012345", 12345},
                                         NumberCase{"7abc", 7}, NumberCase{"  42", 42},
                                         NumberCase{"32 - Sec  8 BLOCK 32", 32},
                                         NumberCase{"-5", -5}, NumberCase{"2.5x", 2.5},
                                         NumberCase{".", 0}, NumberCase{"-", 0},
                                         NumberCase{"1e3", 1000}, NumberCase{"1e", 1},
                                         NumberCase{"99999999999999999999", 1e20}));

TEST(NumericValueTest, OverflowingNumberStaysHugeInsteadOfZero) {
    // A pasted "1e999" must not pass a range check as 0.
    EXPECT_GT(zr::base::numericValue("1e999"), 1e300);
    EXPECT_LT(zr::base::numericValue("-1e999"), -1e300);
    EXPECT_EQ(zr::base::wholeValue("1e999"), std::numeric_limits<long long>::max());
}

TEST(TextRulesTest, WholeValueRoundsHalfToEven) {
    EXPECT_EQ(zr::base::wholeValue("2.5"), 2);
    EXPECT_EQ(zr::base::wholeValue("3.5"), 4);
    EXPECT_EQ(zr::base::wholeValue("-7.6"), -8);
}

TEST(TextRulesTest, TrimRemovesOnlySpaces) {
    EXPECT_EQ(zr::base::trimSpaces("  OK\r\n "), "OK\r\n");
    EXPECT_EQ(zr::base::trimSpaces("\tx\t"), "\tx\t");
    EXPECT_EQ(zr::base::trimSpaces("    "), "");
}

TEST(TextRulesTest, ZeroPadding) {
    EXPECT_EQ(zr::base::zeroPadded(7, 5), "00007");
    EXPECT_EQ(zr::base::zeroPadded(12345, 5), "12345");
    EXPECT_EQ(zr::base::zeroPadded(123456, 5), "123456");
    EXPECT_EQ(zr::base::zeroPadded(0, 5), "00000");
}

TEST(TextRulesTest, CharacterCountsAreCodePoints) {
    const std::string text = "卡號12345";
    EXPECT_EQ(zr::base::charCount(text), 7u);
    EXPECT_EQ(zr::base::leftChars(text, 2), "卡號");
    EXPECT_EQ(zr::base::leftChars(text, 3), "卡號1");
    EXPECT_EQ(zr::base::rightChars(text, 6), "號12345");
    EXPECT_EQ(zr::base::leftChars("abc", 10), "abc");
    EXPECT_EQ(zr::base::rightChars("abc", 10), "abc");
    EXPECT_EQ(zr::base::leftChars("abc", 0), "");
    EXPECT_EQ(zr::base::rightChars("abc", 0), "");
}

TEST(TextRulesTest, UpperCaseTouchesOnlyAsciiLetters) {
    EXPECT_EQ(zr::base::upperAscii("a1f-é"), "A1F-é");
}

} // namespace
