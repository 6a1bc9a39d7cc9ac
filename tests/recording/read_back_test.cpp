// Reading a card back, and the probe that tells a new card from the one just written.
#include "RecordingRig.h"

#include <gtest/gtest.h>

namespace zr::recording::test {
namespace {

using Codes = std::vector<std::string>;
using Lines = std::vector<std::string>;

const std::string kUid = "1234554321";

// The workflow step labels in the traffic log, in order, without the logged replies.
Lines labels(const RecordingRig& rig, const Lines& known) {
    Lines found;
    for (const auto& line : rig.world.trafficLog.lines) {
        if (std::find(known.begin(), known.end(), line) != known.end()) {
            found.push_back(line);
        }
    }
    return found;
}

// A card written with 00012:00345 in both layouts, the record and log cleared.
void writtenCard(RecordingRig& rig) {
    rig.programmer.layCard(kUid);
    rig.station.txtGroupCode.setText("00012");
    rig.station.txtCardCode.setText("00345");
    rig.station.cmdRecordBlock.click();
    rig.world.serial.written.clear();
    rig.world.trafficLog.lines.clear();
}

const Lines kReadBackLabels{"cmdReadUID_Click", "AssignCardType", "LoadNewKey",     "ReadCardCode",
                            "V2_AssignAKey",    "V2_ModifyAKey",  "V2_ReadCardCode"};

TEST(ReadBack, ReadsBothLayoutsWhateverTheBoxesAfterAPause) {
    RecordingRig rig;
    writtenCard(rig);
    rig.station.chkProgramV1.setValue(0);
    rig.station.chkProgramV3.setValue(0);
    rig.station.cmdReadBack.click();
    EXPECT_EQ(rig.codes(), (Codes{"00", "07", "03", "04", "07", "08", "0A"}));
    EXPECT_EQ(labels(rig, kReadBackLabels), kReadBackLabels);
    // The UID reply is in 41 ms after the request; more than 200 ms pass before the next.
    const auto& sent = rig.world.serial.written;
    EXPECT_EQ(sent[1].tick - sent[0].tick, 41U + 201U);
    EXPECT_EQ(rig.station.txtBlockIDV1.text(), "00012:00345");
    EXPECT_EQ(rig.station.txtBlockIDV2.text(), "00012:00345");
    ASSERT_EQ(rig.sink.readBacks.size(), 1U);
    const ReadBackResult& result = rig.sink.readBacks[0];
    EXPECT_EQ(result.uid, kUid);
    EXPECT_TRUE(result.v1Read && result.v3Read);
    EXPECT_EQ(result.v1Number, "00012:00345");
    EXPECT_EQ(result.v3Number, "00012:00345");
}

// A blank card answers "NO" to the reads; a silent V3 read is no read either.
TEST(ReadBack, BlankCardReportsNothingRead) {
    for (const bool silentV3 : {false, true}) {
        RecordingRig rig;
        rig.programmer.layCard(kUid);
        if (silentV3) {
            rig.faults["01 0A"] = std::nullopt;
        }
        rig.station.txtBlockIDV2.setText("00002:00001"); // an earlier card's number
        rig.station.cmdReadBack.click();
        ASSERT_EQ(rig.sink.readBacks.size(), 1U);
        EXPECT_FALSE(rig.sink.readBacks[0].v1Read);
        EXPECT_FALSE(rig.sink.readBacks[0].v3Read) << silentV3;
        EXPECT_EQ(rig.station.txtBlockIDV2.text(), "");
    }
}

struct ProbeCase {
    const char* name;
    bool sameCard;
    bool v1;
    bool v3;
    Codes codes;
    Lines labels;
};

class ProbeTest : public ::testing::TestWithParam<ProbeCase> {};

TEST_P(ProbeTest, ReadsOnlyWhatANewCardNeeds) {
    const ProbeCase& c = GetParam();
    RecordingRig rig;
    writtenCard(rig);
    if (!c.sameCard) {
        rig.programmer.layCard("1000000001");
    }
    rig.station.chkProgramV1.setValue(c.v1 ? 1 : 0);
    rig.station.chkProgramV3.setValue(c.v3 ? 1 : 0);
    rig.station.txtBlockIDV1.setText("x");
    rig.recorder.ProbeNewCard();
    EXPECT_EQ(rig.codes(), c.codes);
    EXPECT_EQ(labels(rig, {"cmdReadUID_Click", "AssignCardType", "LoadNewKey", "ReadCardCode",
                           "ChipV2_AssignAKey", "ChipV2_ModifyAKey", "ReadBlockCardCode"}),
              c.labels);
    EXPECT_EQ(rig.station.txtBlockIDV1.text(), c.sameCard ? "x" : "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ProbeTest,
    ::testing::Values(
        ProbeCase{"SameCard", true, true, true, Codes{"00"}, Lines{"cmdReadUID_Click"}},
        ProbeCase{"NewCardNeitherLayout", false, false, false, Codes{"00"},
                  Lines{"cmdReadUID_Click"}},
        ProbeCase{"NewCardBoth", false, true, true,
                  Codes{"00", "07", "03", "03", "03", "04", "04", "04", "07", "08", "0A", "0A",
                        "0A", "08"},
                  Lines{"cmdReadUID_Click", "AssignCardType", "LoadNewKey", "ReadCardCode",
                        "ChipV2_AssignAKey", "ChipV2_ModifyAKey", "ReadBlockCardCode"}}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

} // namespace
} // namespace zr::recording::test
