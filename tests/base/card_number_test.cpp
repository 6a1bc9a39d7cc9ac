#include "base/CardNumber.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <string>

namespace {

using namespace zr::base;

TEST(KeyFilterTest, DigitFieldsTakeDigitsBackspaceAndEnterOnly) {
    for (const char c : std::string("0123456789")) {
        EXPECT_EQ(FilterDigitKey(c), c);
    }
    EXPECT_EQ(FilterDigitKey(8), 8);
    EXPECT_EQ(FilterDigitKey(13), 13);
    for (const int refused : std::initializer_list<int>{'a', 'A', '-', '+', '.', ' ', 0, 9, 10, 127,
                                                        200, 0x4F60, -48, 304}) {
        EXPECT_EQ(FilterDigitKey(refused), 0) << refused;
    }
}

TEST(KeyFilterTest, HexFieldsTakeBothLetterCasesAsTyped) {
    for (const char c : std::string("0123456789ABCDEFabcdef")) {
        EXPECT_EQ(FilterHexKey(c), c);
    }
    EXPECT_EQ(FilterHexKey(8), 8);
    EXPECT_EQ(FilterHexKey(13), 13);
    for (const int refused :
         std::initializer_list<int>{'g', 'G', 'z', '-', ' ', 'x', 0, 0x100 + 'A', -65}) {
        EXPECT_EQ(FilterHexKey(refused), 0) << refused;
    }
}

struct FieldCase {
    std::string text;
    std::string other;
    CodeFieldOutcome outcome;
    std::string textAfter;
};

class CodeFieldTest : public testing::TestWithParam<FieldCase> {};

TEST_P(CodeFieldTest, LeavingTheField) {
    const auto& c = GetParam();
    const CodeFieldCheck check = checkCodeField(c.text, c.other, false);
    EXPECT_EQ(check.outcome, c.outcome);
    EXPECT_EQ(check.text, c.textAfter);
    EXPECT_EQ(check.keepsFocus(), c.outcome != CodeFieldOutcome::Accepted);
    EXPECT_EQ(check.message.empty(), c.outcome == CodeFieldOutcome::Accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CodeFieldTest,
    testing::Values(FieldCase{"7", "00001", CodeFieldOutcome::Accepted, "00007"},
                    FieldCase{"012345", "00001", CodeFieldOutcome::Accepted, "12345"},
                    FieldCase{"65535", "00001", CodeFieldOutcome::Accepted, "65535"},
                    FieldCase{"65536", "00001", CodeFieldOutcome::TooLarge, "65536"},
                    FieldCase{"00000", "00000", CodeFieldOutcome::BothZero, "00000"},
                    FieldCase{"", "0", CodeFieldOutcome::BothZero, "00000"},
                    FieldCase{"00000", "00001", CodeFieldOutcome::Accepted, "00000"},
                    FieldCase{"00001", "00000", CodeFieldOutcome::Accepted, "00001"},
                    FieldCase{"", "00001", CodeFieldOutcome::Accepted, "00000"},
                    // Pasted text counts by its leading number.
                    FieldCase{"12abc", "00001", CodeFieldOutcome::Accepted, "00012"},
                    FieldCase{"abc", "00000", CodeFieldOutcome::BothZero, "00000"},
                    FieldCase{"  42", "00001", CodeFieldOutcome::Accepted, "00042"},
                    FieldCase{"12.9", "00001", CodeFieldOutcome::Accepted, "00012"},
                    FieldCase{"65535.5", "00001", CodeFieldOutcome::Accepted, "65535"},
                    FieldCase{"99999999999999999999999", "1", CodeFieldOutcome::TooLarge,
                              "99999999999999999999999"},
                    FieldCase{"1e999", "1", CodeFieldOutcome::TooLarge, "1e999"},
                    FieldCase{"7e4", "1", CodeFieldOutcome::TooLarge, "7e4"},
                    FieldCase{"-5", "00001", CodeFieldOutcome::Negative, "-5"},
                    // The other field is judged by its value, not its text.
                    FieldCase{"0", "abc", CodeFieldOutcome::BothZero, "00000"}));

TEST(CodeFieldTest, MessagesInBothLanguages) {
    EXPECT_EQ(checkCodeField("65536", "1", false).message, "卡號必須小於  65536");
    EXPECT_EQ(checkCodeField("65536", "1", true).message, "Number must smaller than 65536");
    EXPECT_EQ(checkCodeField("0", "0", false).message, "卡號必須大於 0");
    EXPECT_EQ(checkCodeField("0", "0", true).message, "Card Number must greater then 0");
    EXPECT_EQ(checkCodeField("-1", "1", false).message, "卡號不可小於 0");
    EXPECT_EQ(checkCodeField("-1", "1", true).message, "Number must not be negative");
}

struct StepCase {
    std::string before;
    std::string up;
    std::string down;
};

class StepTest : public testing::TestWithParam<StepCase> {};

TEST_P(StepTest, UpAndDown) {
    EXPECT_EQ(stepCardCodeUp(GetParam().before), GetParam().up);
    EXPECT_EQ(stepCardCodeDown(GetParam().before), GetParam().down);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StepTest,
    testing::Values(StepCase{"00009", "00010", "00008"}, StepCase{"65534", "65535", "65533"},
                    StepCase{"65535", "65535", "65534"}, StepCase{"00001", "00002", "00001"},
                    StepCase{"00002", "00003", "00001"}, StepCase{"00000", "00001", "00000"},
                    StepCase{"", "00001", ""}, StepCase{"7", "00008", "00006"},
                    StepCase{"70000", "70000", "69999"}, StepCase{"-5", "-5", "-5"},
                    StepCase{"12abc", "00013", "00011"}));

struct EncodeCase {
    std::string group;
    std::string card;
    bool lock;
    CardPayload payload;
};

class EncodeTest : public testing::TestWithParam<EncodeCase> {};

TEST_P(EncodeTest, FiveBytesBigEndian) {
    const auto payload = encodeCardNumber(GetParam().group, GetParam().card, GetParam().lock);
    ASSERT_TRUE(payload.has_value());
    EXPECT_EQ(*payload, GetParam().payload);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EncodeTest,
    testing::Values(EncodeCase{"00001", "00258", false, {0x00, 0x01, 0x01, 0x02, 0x00}},
                    EncodeCase{"00001", "00258", true, {0x00, 0x01, 0x01, 0x02, 0x01}},
                    EncodeCase{"00002", "00001", true, {0x00, 0x02, 0x00, 0x01, 0x01}},
                    EncodeCase{"65535", "65535", false, {0xFF, 0xFF, 0xFF, 0xFF, 0x00}},
                    EncodeCase{"00256", "00255", false, {0x01, 0x00, 0x00, 0xFF, 0x00}},
                    EncodeCase{"0", "", false, {0x00, 0x00, 0x00, 0x00, 0x00}}));

TEST(EncodeTest, OutOfRangeIsRefusedNotTruncated) {
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
