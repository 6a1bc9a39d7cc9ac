// Replies later than the wait, on both links: a late answer is never taken for a later
// command's, so a card is reported written only when its own writes were confirmed, and
// every UID on record is one.
#include "RecordingRig.h"
#include "base/TextRules.h"

#include <gtest/gtest.h>

namespace zr::recording::test {
namespace {

struct LateCase {
    const char* name;
    bool tcp;
    const char* wait;    // txtInterval
    std::uint32_t delay; // every answer but the UID's
    std::uint32_t uidDelay;
    bool refuseNumberWrites; // the programmer answers "NO" to every number write
};

class LateReplyTest : public ::testing::TestWithParam<LateCase> {};

TEST_P(LateReplyTest, NeverAFalseSuccessAndNeverARowWithoutAUid) {
    const LateCase& c = GetParam();
    RecordingRig rig;
    if (c.tcp) {
        rig.useTcp();
    }
    rig.answerDelayMs = c.delay;
    rig.uidAnswerDelayMs = c.uidDelay;
    if (c.refuseNumberWrites) {
        rig.faults["06 09"] = "NO";
    }
    rig.station.txtInterval.setText(c.wait);
    rig.queueCards(1000000001, 3);
    rig.startAutoRecording();
    rig.world.loop.runFor(60000);

    int reportedWritten = 0;
    for (const WriteAttempt& attempt : rig.sink.writes) {
        EXPECT_TRUE(attempt.uid.empty() || base::isCardUid(attempt.uid)) << attempt.uid;
        if (attempt.outcome != AttemptOutcome::Written) {
            continue;
        }
        ++reportedWritten;
        const sim::CardMemory* card = rig.programmer.memoryOf(attempt.uid);
        ASSERT_NE(card, nullptr);
        const auto code = static_cast<std::uint16_t>(base::wholeValue(attempt.cardCode));
        for (const int sector : {sim::kV1Sector, sim::kV3Sector}) {
            ASSERT_TRUE(card->numbers[static_cast<std::size_t>(sector)]) << attempt.uid;
            EXPECT_EQ(card->numbers[static_cast<std::size_t>(sector)]->card, code) << attempt.uid;
        }
    }
    EXPECT_FALSE(rig.sink.writes.empty());
    // Refused writes are never written; a slow but willing programmer still records.
    EXPECT_EQ(reportedWritten, c.refuseNumberWrites ? 0 : 3);
}

INSTANTIATE_TEST_SUITE_P(Links, LateReplyTest,
                         ::testing::Values(LateCase{"Serial300Refusing", false, "300", 350, 20,
                                                    true},
                                           LateCase{"Tcp300Refusing", true, "300", 350, 20, true},
                                           LateCase{"Serial50Slow", false, "50", 80, 20, false},
                                           LateCase{"Tcp100Slow", true, "100", 150, 20, false},
                                           LateCase{"SerialUid302", false, "300", 20, 302, false},
                                           LateCase{"SerialUid600", false, "300", 20, 600, false},
                                           LateCase{"TcpUid302", true, "300", 20, 302, false},
                                           LateCase{"TcpUid350", true, "300", 20, 350, false},
                                           LateCase{"TcpUid600", true, "300", 20, 600, false}),
                         [](const auto& testInfo) { return std::string(testInfo.param.name); });

} // namespace
} // namespace zr::recording::test
