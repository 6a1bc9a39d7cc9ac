// The group and card code fields: typing, leaving them and stepping the card code.
#include "base/CardNumber.h"
#include "recording/CardNumberFields.h"
#include "station/Station.h"
#include "support/VirtualPlatform.h"

#include <gtest/gtest.h>
#include <initializer_list>
#include <string>
#include <vector>

namespace zr {
namespace {

using recording::cmdAdd_Click;
using recording::cmdDec_Click;
using recording::codeFieldLostFocus;

class CardNumberFields : public ::testing::Test {
  protected:
    testing::VirtualPlatform world;
    platform::ScriptedDesktop& desktop = world.desktop;
    station::Station station{world.services};
};

enum class Field { Group, Card };

struct LeaveCase {
    const char* name;
    Field left;
    std::string text;
    std::string other;
    bool english;
    std::string textAfter;
    std::string message; // empty: no box, focus stays where it was
};

class LeavingACodeField : public CardNumberFields,
                          public ::testing::WithParamInterface<LeaveCase> {};

TEST_P(LeavingACodeField, ReformatsOrRefusesWithTheMessageInTheCurrentLanguage) {
    const LeaveCase& c = GetParam();
    station::TextBox& field = c.left == Field::Group ? station.txtGroupCode : station.txtCardCode;
    station::TextBox& other = c.left == Field::Group ? station.txtCardCode : station.txtGroupCode;
    station.chkLanguage.setValue(c.english ? 1 : 0);
    field.setText(c.text);
    other.setText(c.other);
    station.focusedControl = "cmdRecordBlock";

    codeFieldLostFocus(station, field, other);

    EXPECT_EQ(field.text(), c.textAfter);
    EXPECT_EQ(other.text(), c.other);
    if (c.message.empty()) {
        EXPECT_TRUE(desktop.messageBoxes.empty());
        EXPECT_EQ(station.focusedControl, "cmdRecordBlock");
        return;
    }
    ASSERT_EQ(desktop.messageBoxes.size(), 1U);
    EXPECT_EQ(desktop.messageBoxes[0].text, c.message);
    EXPECT_EQ(desktop.messageBoxes[0].title, "ZR");
    EXPECT_EQ(station.focusedControl, field.name());
}

const char* const kTooLargeZh = "卡號必須小於  65536";
const char* const kTooLargeEn = "Number must smaller than 65536";
const char* const kZeroZh = "卡號必須大於 0";
const char* const kZeroEn = "Card Number must greater then 0";

INSTANTIATE_TEST_SUITE_P(
    CodeFields, LeavingACodeField,
    ::testing::Values(
        LeaveCase{"Max", Field::Card, "65535", "00002", false, "65535", ""},
        LeaveCase{"TooLargeZh", Field::Card, "65536", "00002", false, "65536", kTooLargeZh},
        LeaveCase{"TooLargeEn", Field::Group, "65536", "00001", true, "65536", kTooLargeEn},
        LeaveCase{"BothZeroZh", Field::Card, "00000", "00000", false, "00000", kZeroZh},
        LeaveCase{"BothZeroEn", Field::Group, "0", "00000", true, "00000", kZeroEn},
        LeaveCase{"GroupZeroCardOne", Field::Group, "00000", "00001", false, "00000", ""},
        LeaveCase{"Padded", Field::Card, "7", "00002", false, "00007", ""},
        LeaveCase{"EmptyCountsAsZero", Field::Card, "", "00000", false, "00000", kZeroZh}),

    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST_F(CardNumberFields, OnlyDigitsBackspaceAndEnterCanBeTyped) {
    station::TextBox& field = station.txtCardCode;
    field.onKeyPress = base::FilterDigitKey;
    field.setText("");
    for (const int key :
         std::initializer_list<int>{'6', 'a', '5', '-', '5', ' ', '3', 13, '7', '9'}) {
        field.typeKey(key);
    }
    EXPECT_EQ(field.text(), "65537"); // five characters at most: the 9 does not fit
    field.typeKey(8);
    field.typeKey('6');
    codeFieldLostFocus(station, field, station.txtGroupCode);
    EXPECT_EQ(field.text(), "65536");
    ASSERT_EQ(desktop.messageBoxes.size(), 1U);
    EXPECT_EQ(desktop.messageBoxes[0].text, kTooLargeZh);
    EXPECT_EQ(station.focusedControl, "txtCardCode");
}

struct StepCase {
    std::string start;
    bool up;
    std::string after;
};

class SteppingTheCardCode : public CardNumberFields,
                            public ::testing::WithParamInterface<StepCase> {};

TEST_P(SteppingTheCardCode, StaysWithinOneTo65535AndLeavesTheGroupAlone) {
    const StepCase& c = GetParam();
    station.txtGroupCode.setText("00012");
    station.txtCardCode.setText(c.start);
    if (c.up) {
        cmdAdd_Click(station);
    } else {
        cmdDec_Click(station);
    }
    EXPECT_EQ(station.txtCardCode.text(), c.after);
    EXPECT_EQ(station.txtGroupCode.text(), "00012");
    EXPECT_TRUE(desktop.messageBoxes.empty());
}

INSTANTIATE_TEST_SUITE_P(CardCode, SteppingTheCardCode,
                         ::testing::Values(StepCase{"65534", true, "65535"},
                                           StepCase{"65535", true, "65535"},
                                           StepCase{"00010", false, "00009"},
                                           StepCase{"00001", false, "00001"}));

} // namespace
} // namespace zr
