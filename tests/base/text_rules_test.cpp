// The shared text rules the fields and key boxes follow: Hex2Dec, code points, card UIDs
// and whole numbers.
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

} // namespace
