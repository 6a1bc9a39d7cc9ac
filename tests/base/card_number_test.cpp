// Card number rules: leaving a code field, stepping, the five-byte payload, the display.
#include "base/CardNumber.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <string>

namespace {

using namespace zr::base;

// Leaving a field through the station, with its message boxes, is tested in
// card_number_fields_test; here the rule itself.
TEST(CodeFieldTest, LeavingTheField) {
    const struct {
        std::string text;
        std::string other;
        CodeFieldOutcome outcome;
        std::string textAfter;
    } cases[] = {
        {"012345", "00001", CodeFieldOutcome::Accepted, "12345"},
        {"00001", "00000", CodeFieldOutcome::Accepted, "00001"},
        {"", "00001", CodeFieldOutcome::Accepted, "00000"},
        // Pasted text counts by its leading number.
        {"12abc", "00001", CodeFieldOutcome::Accepted, "00012"},
        {"abc", "00000", CodeFieldOutcome::BothZero, "00000"},
        {"  42", "00001", CodeFieldOutcome::Accepted, "00042"},
        {"12.9", "00001", CodeFieldOutcome::Accepted, "00012"},
        {"65535.5", "00001", CodeFieldOutcome::Accepted, "65535"},
        {"99999999999999999999999", "1", CodeFieldOutcome::TooLarge, "99999999999999999999999"},
        {"1e999", "1", CodeFieldOutcome::TooLarge, "1e999"},
        {"7e4", "1", CodeFieldOutcome::TooLarge, "7e4"},
        {"-5", "00001", CodeFieldOutcome::Negative, "-5"},
        // The other field is judged by its value, not its text.
        {"0", "abc", CodeFieldOutcome::BothZero, "00000"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text + " / " + c.other);
        const CodeFieldCheck check = checkCodeField(c.text, c.other, false);
        EXPECT_EQ(check.outcome, c.outcome);
        EXPECT_EQ(check.text, c.textAfter);
        EXPECT_EQ(check.keepsFocus(), c.outcome != CodeFieldOutcome::Accepted);
        EXPECT_EQ(check.message.empty(), c.outcome == CodeFieldOutcome::Accepted);
    }
    EXPECT_EQ(checkCodeField("-1", "1", false).message, "卡號不可小於 0");
    EXPECT_EQ(checkCodeField("-1", "1", true).message, "Number must not be negative");
}

TEST(StepTest, UpAndDown) {
    const struct {
        std::string before;
        std::string up;
        std::string down;
    } cases[] = {{"00009", "00010", "00008"}, {"65535", "65535", "65534"},
                 {"00002", "00003", "00001"}, {"00000", "00001", "00000"},
                 {"", "00001", ""},           {"7", "00008", "00006"},
                 {"70000", "70000", "69999"}, {"-5", "-5", "-5"},
                 {"12abc", "00013", "00011"}, {"00001", "00002", "00001"}};
    for (const auto& c : cases) {
        EXPECT_EQ(stepCardCodeUp(c.before), c.up) << c.before;
        EXPECT_EQ(stepCardCodeDown(c.before), c.down) << c.before;
    }
}

TEST(EncodeTest, FiveBytesBigEndianAndOutOfRangeIsRefusedNotTruncated) {
    const struct {
        std::string group;
        std::string card;
        bool lock;
        CardPayload payload;
    } cases[] = {{"00001", "00258", false, {0x00, 0x01, 0x01, 0x02, 0x00}},
                 {"00002", "00001", true, {0x00, 0x02, 0x00, 0x01, 0x01}},
                 {"65535", "65535", false, {0xFF, 0xFF, 0xFF, 0xFF, 0x00}},
                 {"00256", "00255", false, {0x01, 0x00, 0x00, 0xFF, 0x00}},
                 {"0", "", false, {0x00, 0x00, 0x00, 0x00, 0x00}}};
    for (const auto& c : cases) {
        EXPECT_EQ(encodeCardNumber(c.group, c.card, c.lock), c.payload) << c.group << ":" << c.card;
    }
    EXPECT_FALSE(encodeCardNumber("65536", "00001", false));
    EXPECT_FALSE(encodeCardNumber("00001", "65536", false));
    EXPECT_FALSE(encodeCardNumber("00001", "-1", false));
    EXPECT_FALSE(encodeCardNumber("1e999", "00001", false));
    EXPECT_EQ(cardNumberOutOfRangeMessage(false), "卡號超出範圍 (0 - 65535)，未送出!");
    EXPECT_EQ(cardNumberOutOfRangeMessage(true),
              "Card number out of range (0 - 65535), nothing sent!");
}

TEST(DisplayTest, GroupColonCardAndSplitForm) {
    EXPECT_EQ(displayForm("00012", "00345"), "00012:00345");
    EXPECT_EQ(splitForm("1234567890"), "12345:67890");
    EXPECT_EQ(splitForm("0000200001"), "00002:00001");
    EXPECT_EQ(splitForm("123456789012"), "12345:89012");
    // Shorter texts overlap or repeat, as the field rules take them.
    EXPECT_EQ(splitForm("1234567"), "12345:34567");
    EXPECT_EQ(splitForm("NO"), "NO:NO");
    EXPECT_EQ(splitForm(""), ":");
    // Split form of a split form: a second split of 12345:67890 keeps its ends.
    EXPECT_EQ(splitForm("12345:67890"), "12345:67890");
    EXPECT_EQ(splitForm("卡號一二三四五六"), "卡號一二三:二三四五六");
}

} // namespace
