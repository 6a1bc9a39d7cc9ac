// The shared text rules the fields and key boxes follow: Hex2Dec, leading numbers, trimming,
// counting in code points.
#include "base/TextRules.h"

#include <gtest/gtest.h>
#include <string>

namespace {

using zr::base::Hex2Dec;

TEST(Hex2DecTest, ValueAndNormalisedText) {
    const struct {
        std::string box;
        int value;
        std::string boxAfter;
    } cases[] = {{"ff", 255, "FF"},
                 {" a ", 10, "0A"},
                 {"7", 7, "07"},
                 {"FF1", 255, "FF1"},
                 {"", 0, ""},
                 {"F0", 240, "F0"},
                 // Pasted text follows the letter rule: 'G' is 16, 'Z' is 35.
                 {"G", 16, "0G"},
                 {"ZZ", 595, "ZZ"},
                 // Characters below ':' that are not digits count as 0.
                 {"-1", 1, "-1"},
                 {"  ", 0, ""},
                 // Only spaces are trimmed; a tab stays and counts as 0.
                 {"\tA", 10, "\tA"}};
    for (const auto& c : cases) {
        std::string box = c.box;
        EXPECT_EQ(Hex2Dec(box), c.value) << c.box;
        EXPECT_EQ(box, c.boxAfter) << c.box;
    }
}

TEST(NumericValueTest, LeadingNumber) {
    const std::pair<const char*, double> cases[] = {{"300", 300},
                                                    {"abc", 0},
                                                    {"", 0},
                                                    {"012345", 12345},
                                                    {"7abc", 7},
                                                    {"  42", 42},
                                                    {"32 - Sec  8 BLOCK 32", 32},
                                                    {"-5", -5},
                                                    {"2.5x", 2.5},
                                                    {".", 0},
                                                    {"-", 0},
                                                    {"1e3", 1000},
                                                    {"1e", 1},
                                                    {"99999999999999999999", 1e20}};
    for (const auto& [text, value] : cases) {
        EXPECT_DOUBLE_EQ(zr::base::numericValue(text), value) << text;
    }
}

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

TEST(TextRulesTest, CardUidsAndWholeNumbers) {
    const std::pair<const char*, bool> uids[] = {
        {"1234554321", true}, {"6553565535", true}, {"6553665535", false}, {"123455432", false}};
    for (const auto& [text, uid] : uids) {
        EXPECT_EQ(zr::base::isCardUid(text), uid) << text;
    }
    EXPECT_EQ(zr::base::parseWholeNumber("120"), 120);
    EXPECT_EQ(zr::base::parseWholeNumber("12a"), std::nullopt);
}

TEST(TextRulesTest, UpperCaseTouchesOnlyAsciiLetters) {
    EXPECT_EQ(zr::base::upperAscii("a1f-é"), "A1F-é");
}

} // namespace
