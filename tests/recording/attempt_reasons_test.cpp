// Where the reason for a failing step reaches the operator: the alarm line and the tones.
#include "RecordingRig.h"
#include "recording/AttemptReasons.h"

#include <gtest/gtest.h>

namespace zr::recording::test {
namespace {

using A = ProgrammerAnswer;
using S = FailedStep;

// A single command without an answer shows why on the alarm line; in automatic recording a
// failed V3 log-in sounds the failure tones, where by hand it stays silent.
TEST(AttemptReasons, ReachTheAlarmLineAndSoundInAutomaticRecording) {
    RecordingRig silent;
    silent.programmer.layCard("1234554321");
    silent.faults["02 02"] = std::nullopt;
    silent.station.cmd_V1_ModifyKey.click();
    EXPECT_EQ(silent.station.lblAlarm.caption.rfind("V1_Modify_A_Key: the V1 key change failed "
                                                    "(the programmer did not answer)",
                                                    0),
              0U);

    // A port search that finds nobody says so, not that a card's UID read failed.
    RecordingRig search;
    for (int port = 1; port <= 16; ++port) {
        search.world.serial.availablePorts.insert(port);
    }
    search.faults["01 00"] = std::nullopt;
    search.station.cmdSearchCOM.click();
    EXPECT_EQ(search.station.lblAlarm.caption.rfind(
                  "Port search: no programmer answered on COM1–COM16.", 0),
              0U);

    RecordingRig automatic;
    automatic.faults["08 07"] = std::nullopt;
    automatic.queueCards(1234554321, 1);
    automatic.startAutoRecording();
    automatic.world.loop.runFor(8000);
    const std::vector<int> tones = automatic.toneFrequencies();
    ASSERT_GE(tones.size(), 3U);
    EXPECT_EQ(std::vector<int>(tones.begin(), tones.begin() + 3),
              (std::vector<int>{4000, 4000, 4000}));
}

} // namespace
} // namespace zr::recording::test
