// Writing one card: which frames go out for each layout and model, and every way it fails.
#include "RecordingRig.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace zr::recording::test {
namespace {

using Codes = std::vector<std::string>;

constexpr station::Colour kWhite = 0xFFFFFF;
constexpr station::Colour kRed = 0x0000FF;
constexpr station::Colour kGreen = 0x00FF00;

const std::string kUid = "1234554321";

struct WriteCase {
    const char* name;
    const char* faultyFrame; // "": the model answers everything
    const char* faultyReply;
    const char* codes;
    station::Colour v1Fill;
    station::Colour v2Fill;
    std::vector<int> tones;
    AttemptOutcome outcome;
    LayoutOutcome v1Outcome;
    LayoutOutcome v3Outcome;
    bool alarm; // one that stays until acknowledged
};

class WriteCardTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(WriteCardTest, LayoutsAndOutcomes) {
    const WriteCase& c = GetParam();
    RecordingRig rig;
    auto& s = rig.station;
    if (*c.faultyFrame != 0) {
        rig.faults[c.faultyFrame] = c.faultyReply;
    }
    rig.programmer.layCard(kUid);
    s.chkAutoAdd.setValue(1);

    s.cmdRecordBlock.click();

    std::string codes;
    for (const auto& code : rig.codes()) {
        codes += (codes.empty() ? "" : " ") + code;
    }
    EXPECT_EQ(codes, c.codes);
    EXPECT_EQ(s.lblV1Status.backColor, c.v1Fill);
    EXPECT_EQ(s.lblV2Status.backColor, c.v2Fill);
    EXPECT_EQ(rig.toneFrequencies(), c.tones);
    const bool written = c.outcome == AttemptOutcome::Written;
    // The number steps on, and is on disk, only after a card written without failure.
    EXPECT_EQ(s.txtCardCode.text(), written ? "00002" : "00001");
    EXPECT_EQ(rig.world.settings.values.count("CardCode"), written ? 1U : 0U);
    EXPECT_EQ(s.txtUID_Record.text(), written ? kUid : "");
    ASSERT_EQ(rig.sink.writes.size(), 1U);
    const WriteAttempt& attempt = rig.sink.writes[0];
    EXPECT_EQ(attempt.outcome, c.outcome);
    EXPECT_EQ(attempt.v1, c.v1Outcome);
    EXPECT_EQ(attempt.v3, c.v3Outcome);
    EXPECT_EQ(attempt.cardCode, "00001");
    EXPECT_EQ(attempt.uid, kUid);
    EXPECT_EQ(s.alarms().waiting(), c.alarm ? 1U : 0U);
    // Every failure says which step failed; a written card leaves nothing on the line.
    EXPECT_EQ(s.lblAlarm.caption.empty(), written);
}

const std::vector<int> kSuccessTones{4000, 2000};
const std::vector<int> kFailureTones{4000, 4000, 4000};
constexpr auto kWritten = LayoutOutcome::Written;
constexpr auto kNotAttempted = LayoutOutcome::NotAttempted;

INSTANTIATE_TEST_SUITE_P(
    Cases, WriteCardTest,
    ::testing::Values(WriteCase{"BothFresh", "", "", "00 03 08 03 09 07 08 09", kGreen, kGreen,
                                kSuccessTones, AttemptOutcome::Written, kWritten, kWritten, false},
                      WriteCase{"V1WriteGarbage", "06 09", "\x85\x90\xA0", "00 03 08 03 09 09 09",
                                kRed, kWhite, kFailureTones, AttemptOutcome::V1Failed,
                                LayoutOutcome::WriteUnanswered, kNotAttempted, true},
                      WriteCase{"V1KeyAssignRefused",
                                "02 03 00",
                                "NO",
                                "00 03 03 03",
                                kWhite,
                                kRed,
                                {},
                                AttemptOutcome::V1Failed,
                                LayoutOutcome::KeyAssignFailed,
                                kNotAttempted,
                                true}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

// A V1 write refused or unanswered says so in infoErr, in place of the key change's green line.
TEST(WriteCard, AFailedV1WriteShowsTheWriteFaultInBothLanguages) {
    for (const auto& reply : {std::optional<std::string>{"NO"}, std::optional<std::string>{}}) {
        for (const bool english : {false, true}) {
            RecordingRig rig;
            rig.faults["06 09"] = reply;
            rig.programmer.layCard(kUid);
            rig.station.chkLanguage.setValue(english ? 1 : 0);
            rig.station.cmdRecordBlock.click();
            EXPECT_EQ(rig.station.infoErr.caption,
                      english ? "Write Card Number Fault!" : "寫碼失敗!");
            EXPECT_EQ(rig.station.infoOK.caption, "");
        }
    }
}

// A card given back its own number steps nothing: the operator's next number stays, on disk too.
TEST(WriteCard, ACardsOwnNumberLeavesTheNextNumberAlone) {
    RecordingRig rig;
    rig.programmer.layCard(kUid);
    rig.sink.ownNumber = "00001";
    rig.station.chkAutoAdd.setValue(1);
    rig.station.txtCardCode.setText("00007");
    rig.station.cmdRecordBlock.click();
    ASSERT_EQ(rig.sink.writes.size(), 1U);
    EXPECT_EQ(rig.sink.writes[0].outcome, AttemptOutcome::Written);
    EXPECT_EQ(rig.sink.writes[0].cardCode, "00001");
    EXPECT_EQ(rig.station.txtCardCode.text(), "00007");
    EXPECT_EQ(rig.world.settings.values.count("CardCode"), 0U);
}

// A key row that did not get the UID's key (the derivation stopped half-way) stops the write.
TEST(WriteCard, ANewKeyRowNotFromTheUidStopsTheWrite) {
    RecordingRig rig;
    rig.programmer.layCard(kUid);
    rig.station.txtNewAKey[0].onChange = [] { throw std::runtime_error("stopped half-way"); };
    rig.station.cmdRecordBlock.click();
    EXPECT_EQ(rig.codes(), Codes{"00"});
    EXPECT_EQ(rig.station.infoErr.caption,
              "The card's key could not be derived from its UID; nothing was written!");
}

// A "NO" and then silence: the silent retries may have landed, so the number stays.
TEST(WriteCard, ARefusalThenSilenceMayHaveLanded) {
    RecordingRig rig;
    rig.programmer.layCard(kUid);
    rig.station.chkProgramV1.setValue(0);
    rig.oneOffs = {{"06 09", "NO"}, {"06 09", std::nullopt}, {"06 09", std::nullopt}};
    rig.station.cmdRecordBlock.click();
    ASSERT_EQ(rig.sink.writes.size(), 1U);
    EXPECT_EQ(rig.sink.writes[0].v3, LayoutOutcome::WriteUnanswered);
    EXPECT_EQ(rig.sink.writes[0].answer, ProgrammerAnswer::Unclear);
}

// -1 steps down; a code that cannot be used is settled, named in a box and keeps the focus.
TEST(NumberFields, StepDownAndRefusedCodes) {
    RecordingRig rig;
    auto& s = rig.station;
    s.txtCardCode.setText("00007");
    s.cmdDec.click();
    EXPECT_EQ(s.txtCardCode.text(), "00006");
    s.txtGroupCode.setText("00000");
    s.txtCardCode.setText("0");
    s.focusedControl.clear();
    s.txtCardCode.lostFocus();
    EXPECT_EQ(s.txtCardCode.text(), "00000");
    EXPECT_EQ(s.focusedControl, "txtCardCode");
    ASSERT_EQ(rig.world.desktop.messageBoxes.size(), 1u);
    s.txtCardCode.setText("00005");
    s.focusedControl.clear();
    s.txtCardCode.lostFocus();
    EXPECT_TRUE(s.focusedControl.empty());
    EXPECT_EQ(rig.world.desktop.messageBoxes.size(), 1u);
}

// Clicks and ticks arriving while the write waits on the programmer are ignored: their
// requests would take over the replies meant for the write; and the number, keys and
// options it reads stay fixed, so V1, V3 and the record carry one number.
TEST(WriteCard, SecondStartWhileWaitingIsIgnoredAndTheFieldsStayFixed) {
    RecordingRig rig;
    auto& s = rig.station;
    rig.programmer.layCard(kUid);
    s.chkAutoAdd.setValue(1);
    s.chkLock.enabled = false; // stays as it was before the write
    std::vector<bool> fixed;
    for (std::uint32_t at : {5U, 50U, 200U}) {
        rig.world.loop.post(at, [&s, &fixed] {
            s.cmdRecordBlock.click();
            s.cmdReadBack.click();
            s.cmdReadUID.click();
            s.cmd_V3_WriteCardCode.click();
            s.timerAutoRecord.onTimer();
            s.cmdAdd.click();
            s.cmdSwitch.click();
            fixed.push_back(!s.txtCardCode.enabled && !s.txtAKey[0].enabled && !s.cmdAdd.enabled);
        });
    }
    s.cmdRecordBlock.click();
    EXPECT_EQ(rig.codes(), (Codes{"00", "03", "08", "03", "09", "07", "08", "09"}));
    EXPECT_EQ(fixed, (std::vector<bool>{true, true, true}));
    EXPECT_EQ(s.txtCardCode.text(), "00002");
    EXPECT_TRUE(s.txtCardCode.enabled);
    EXPECT_FALSE(s.chkLock.enabled);
    EXPECT_EQ(s.txtV1_Record.text(), s.txtV2_Record.text());
    EXPECT_EQ(rig.sink.writes.size(), 1U);
    // Once the write is over, a click runs again.
    s.cmdReadUID.click();
    EXPECT_EQ(rig.codes().back(), "00");
}

// What the workflow hands back (the script's report reads it): a card the register refused, or
// one that did not read back its number, is not written, though the sink saw it so at first.
TEST(WriteCard, TheReturnedAttemptIsNotWrittenAfterARefusalOrAFailedReadBack) {
    const struct {
        bool refuse;
        std::optional<std::string> v3Read; // fault on the V3 number read; nullopt: none
        AttemptOutcome outcome;
        FailedStep step;
    } cases[] = {{false, std::nullopt, AttemptOutcome::Written, FailedStep::None},
                 {true, std::nullopt, AttemptOutcome::RefusedBySink, FailedStep::Register},
                 {false, "NO", AttemptOutcome::VerifyFailed, FailedStep::ReadBack}};
    for (const auto& c : cases) {
        RecordingRig rig;
        rig.programmer.layCard(kUid);
        rig.station.chkVerify.setValue(1);
        rig.sink.refuse = c.refuse;
        if (c.v3Read) {
            rig.faults["01 0A"] = c.v3Read;
        }
        const std::optional<WriteAttempt> attempt = rig.recorder.writeCard();
        ASSERT_TRUE(attempt.has_value());
        EXPECT_EQ(attempt->outcome, c.outcome);
        EXPECT_EQ(attempt->failedStep, c.step);
        ASSERT_EQ(rig.sink.writes.size(), 1U);
        EXPECT_EQ(rig.sink.writes[0].outcome, AttemptOutcome::Written);
    }
}

} // namespace
} // namespace zr::recording::test
