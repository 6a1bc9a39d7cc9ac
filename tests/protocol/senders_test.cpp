// Each sender's frame and the fields it reads into it.
#include "StationRig.h"
#include "protocol/Senders.h"

#include <gtest/gtest.h>

namespace {

using namespace zr::protocol;
using zr::protocol::test::StationRig;

const std::string kFFKey = "FF FF FF FF FF FF";

struct FrameCase {
    const char* name;
    bool (*send)(ProgrammerLink&);
    std::string frame;
    std::string reply;
};

bool sendV2Read(ProgrammerLink& link) {
    SendV2ReadCardCode(link);
    return link.station().txtResponseReadCard.text() == "OK";
}

class SenderFrameTest : public testing::TestWithParam<FrameCase> {};

// Answered at once, every sender sends its frame exactly once and succeeds.
TEST_P(SenderFrameTest, SendsItsFrameOnceAndSucceedsOnTheAnswer) {
    StationRig rig;
    rig.answers[GetParam().frame] = GetParam().reply;
    EXPECT_TRUE(GetParam().send(rig.link));
    EXPECT_EQ(rig.sentFrames(), std::vector<std::string>{GetParam().frame});
}

INSTANTIATE_TEST_SUITE_P(
    EveryCommand, SenderFrameTest,
    testing::Values(
        FrameCase{"V2LoginFixedKey", SendV2LoginFixedKey, "08 07 20 " + kFFKey, "OK"},
        FrameCase{"V2LoginTypedKey", SendV2LoginTypedKey, "08 07 20 " + kFFKey, "OK"},
        FrameCase{"V2ModifyKey", SendV2ModifyKey, "08 08 20 " + kFFKey, "OK"},
        FrameCase{"V2WriteCardCode", SendV2WriteCardCode, "06 09 00 02 00 01 00", "OK"},
        FrameCase{"V2ReadCardCode", sendV2Read, "01 0A", "0000200001"},
        FrameCase{"ReadUid", SendReadUid, "01 00", "1234554321"},
        FrameCase{"V1SelectType0", SendV1SelectType0, "02 03 00", "OK"},
        FrameCase{"V1SelectType1", SendV1SelectType1, "02 03 01", "OK"},
        FrameCase{"V1ModifyKey", SendV1ModifyKey, "02 02 01", "OK"},
        FrameCase{"V1LoginFixedKey", SendV1LoginFixedKey, "08 07 04 " + kFFKey, "OK"},
        FrameCase{"V1ModifyFixedKey", SendV1ModifyFixedKey, "08 08 04 A0 A1 A2 A3 A4 A5", "OK"},
        FrameCase{"V1ReadCardCode", SendV1ReadCardCode, "01 04", "0000200001"},
        FrameCase{"V1WriteCardCode", SendV1WriteCardCode, "06 09 00 02 00 01 00", "OK"}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(SenderFrames, KeyBoxesAndCardFieldsAreReadIntoTheFrame) {
    StationRig rig;
    const std::string boxes[6] = {"5", "a0", " 1 ", "FF", "0", "7f"};
    for (std::size_t i = 0; i < 6; ++i) {
        rig.station.txtAKey[i].setText(boxes[i]);
    }
    rig.station.txtGroupCode.setText("00001");
    rig.station.txtCardCode.setText("00258");
    SendV2LoginTypedKey(rig.link);
    SendV2ModifyKey(rig.link);
    SendV1WriteCardCode(rig.link);
    rig.station.txtGroupCode.setText("00002");
    rig.station.txtCardCode.setText("00001");
    rig.station.chkLock.setValue(1);
    SendV2WriteCardCode(rig.link);
    const auto frames = rig.sentFrames();
    ASSERT_EQ(frames.size(), 12U); // unanswered: three sends each
    EXPECT_EQ(frames[0], "08 07 20 05 A0 01 FF 00 7F");
    EXPECT_EQ(frames[3], "08 08 20 05 A0 01 FF 00 7F");
    EXPECT_EQ(frames[6], "06 09 00 01 01 02 00");
    EXPECT_EQ(frames[9], "06 09 00 02 00 01 01");
    EXPECT_EQ(rig.station.lblv1.caption, "0");
    EXPECT_EQ(rig.station.lblv3.caption, "1");
    // The boxes keep what the operator typed.
    EXPECT_EQ(rig.station.txtAKey[2].text(), " 1 ");
}

} // namespace
