// A V3 write after a log-in the programmer did not accept: the programmer stays where the step
// before left it, so the write's "OK" proves nothing until the V3 layout reads the number.
#include "RecordingRig.h"

#include <gtest/gtest.h>

namespace zr::recording::test {
namespace {

const std::string kUid = "1234554321";
const sim::CardNumber kNumber{1, 1, false};
using OneOff = RecordingRig::OneOff;
using Held = std::optional<sim::CardNumber>;

struct RefusedLoginCase {
    const char* name;
    bool v1 = true;
    std::vector<OneOff> programmerFaults;
    bool verify = false;
    // What the station reports, and what the card really holds afterwards.
    AttemptOutcome outcome;
    LayoutOutcome v1Outcome;
    LayoutOutcome v3Outcome;
    Held cardV1;
    Held cardV3;
};

class RefusedLoginTest : public ::testing::TestWithParam<RefusedLoginCase> {};

TEST_P(RefusedLoginTest, TheV3LayoutDecides) {
    const RefusedLoginCase& c = GetParam();
    RecordingRig rig;
    auto& s = rig.station;
    rig.programmer.layCard(kUid);
    if (!c.v1) {
        // An earlier command left the programmer pointing at the V1 layout.
        rig.programmer.answer(std::vector<std::uint8_t>{0x02, 0x03, 0x00});
    }
    rig.oneOffs.assign(c.programmerFaults.begin(), c.programmerFaults.end());
    s.chkProgramV1.setValue(c.v1 ? 1 : 0);
    s.chkVerify.setValue(c.verify ? 1 : 0);
    s.chkAutoAdd.setValue(1);
    // A locked V1 layout would refuse the stray write itself.
    s.chkLock.setValue(0);

    s.cmdRecordBlock.click();

    const sim::CardMemory* card = rig.programmer.memoryOf(kUid);
    ASSERT_NE(card, nullptr);
    EXPECT_EQ(card->numbers[sim::kV1Sector], c.cardV1);
    EXPECT_EQ(card->numbers[sim::kV3Sector], c.cardV3);
    ASSERT_FALSE(rig.sink.writes.empty());
    const WriteAttempt& attempt = rig.sink.writes[0];
    EXPECT_EQ(attempt.outcome, c.outcome);
    EXPECT_EQ(attempt.v1, c.v1Outcome);
    EXPECT_EQ(attempt.v3, c.v3Outcome);
    EXPECT_EQ(s.lblV2Status.backColor, 0x0000FFU);
    EXPECT_EQ(s.txtUID_Record.text(), "");
    // A card that may hold the number takes it with it: the next card gets the next one.
    EXPECT_EQ(s.txtCardCode.text(), c.outcome == AttemptOutcome::V3Failed ? "00001" : "00002");
    if (c.verify) {
        // What the refused log-in's read gave was V1's: the register is not told it was V3.
        ASSERT_FALSE(rig.sink.readBacks.empty());
        EXPECT_FALSE(rig.sink.readBacks.back().v3Read);
        EXPECT_TRUE(s.txtBlockIDV2.text().empty());
    }
    if (c.outcome == AttemptOutcome::V3Failed) {
        EXPECT_EQ(s.infoErr.caption, "Write Card Number Fault!");
        EXPECT_TRUE(s.infoOK.caption.empty());
        // The card keeps its number, and the alarm names it, the layout and the log-in.
        EXPECT_EQ(s.alarms().waiting(), 1U);
        EXPECT_NE(s.lblAlarm.caption.find("V3 log-in failed (the programmer answered NO)"),
                  std::string::npos)
            << s.lblAlarm.caption;
        EXPECT_NE(s.lblAlarm.caption.find(kUid), std::string::npos);
    }
}

const OneOff kLoginRefused{.prefix = "08 07 20", .reply = "NO"};
const OneOff kReadUnanswered{.prefix = "01 0A", .reply = std::nullopt};
constexpr auto kWritten = LayoutOutcome::Written;
constexpr auto kUnknown = LayoutOutcome::WriteUnanswered;

INSTANTIATE_TEST_SUITE_P(
    Cases, RefusedLoginTest,
    ::testing::Values(
        RefusedLoginCase{.name = "RefusedTwiceLeavesV3Unknown",
                         .programmerFaults = {kLoginRefused, kLoginRefused},
                         .outcome = AttemptOutcome::V3Failed,
                         .v1Outcome = kWritten,
                         .v3Outcome = kUnknown,
                         .cardV1 = kNumber,
                         .cardV3 = std::nullopt},
        RefusedLoginCase{
            .name = "ReadBackUnanswered",
            .programmerFaults = {kLoginRefused, kReadUnanswered, kReadUnanswered, kReadUnanswered},
            .outcome = AttemptOutcome::V3Failed,
            .v1Outcome = kWritten,
            .v3Outcome = kUnknown,
            .cardV1 = kNumber,
            .cardV3 = std::nullopt},
        // V1 was not asked for, but the write landed there: the number stays with the card.
        RefusedLoginCase{.name = "V3OnlyWriteStraysIntoV1",
                         .v1 = false,
                         .programmerFaults = {kLoginRefused},
                         .outcome = AttemptOutcome::V3Failed,
                         .v1Outcome = LayoutOutcome::StrayWrite,
                         .v3Outcome = LayoutOutcome::KeyAssignFailed,
                         .cardV1 = kNumber,
                         .cardV3 = std::nullopt},
        // The verifying read-back's own V3 log-in refused: what it read was V1.
        RefusedLoginCase{
            .name = "VerificationAfterARefusedLogin",
            .programmerFaults = {OneOff{.prefix = "08 07 20", .reply = "OK", .carriedOut = true},
                                 kLoginRefused},
            .verify = true,
            .outcome = AttemptOutcome::Written,
            .v1Outcome = kWritten,
            .v3Outcome = kWritten,
            .cardV1 = kNumber,
            .cardV3 = kNumber}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

// A verification that reads another card's UID is no proof for the card written.
TEST(Verification, AnotherCardsUidIsNoProof) {
    RecordingRig rig;
    rig.programmer.layCard(kUid);
    rig.station.chkVerify.setValue(1);
    rig.oneOffs = {{"01 00", kUid}, {"01 00", "2000000999"}};
    rig.station.cmdRecordBlock.click();
    EXPECT_EQ(rig.station.lblV2Status.backColor, 0x0000FFU);
    EXPECT_TRUE(rig.station.txtUID_Record.text().empty());
}

} // namespace
} // namespace zr::recording::test
