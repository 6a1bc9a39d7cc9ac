// The senders' waits on the virtual clock: resends, their spacing, and when a wait ends early.
#include "StationRig.h"
#include "protocol/Senders.h"

#include <gtest/gtest.h>

namespace {

using namespace zr::protocol;
using zr::protocol::test::StationRig;

std::vector<std::uint64_t> gaps(const std::vector<std::uint64_t>& ticks) {
    std::vector<std::uint64_t> result;
    for (std::size_t i = 1; i < ticks.size(); ++i) {
        result.push_back(ticks[i] - ticks[i - 1]);
    }
    return result;
}

// A UID counts only as the answer to the last request, so an unanswered one is waited for
// (until the line has been quiet for a second) before it is sent again.
TEST(Retry, UnansweredReadUidSendsThreeTimesASecondApartAndLogsEachSend) {
    StationRig rig;
    const std::uint64_t start = rig.now();
    EXPECT_FALSE(SendReadUid(rig.link));
    EXPECT_EQ(rig.sentFrames(), std::vector<std::string>(3, "01 00"));
    EXPECT_EQ(rig.sendTicks().front(), start);
    EXPECT_EQ(gaps(rig.sendTicks()), (std::vector<std::uint64_t>{1001, 1001}));
    EXPECT_EQ(rig.now() - start, 2303U);
    EXPECT_EQ(rig.station.txtReceive.text(), "2-ReadUID\r\n1-ReadUID\r\n0-ReadUID\r\n");
}

struct SilentCase {
    const char* name;
    bool (*send)(ProgrammerLink&);
    const char* interval;
    std::uint64_t gap;
};

class SilentProgrammerTest : public testing::TestWithParam<SilentCase> {};

TEST_P(SilentProgrammerTest, ThreeSendsAtTheLimitThenFalse) {
    StationRig rig;
    rig.station.txtInterval.setText(GetParam().interval);
    EXPECT_FALSE(GetParam().send(rig.link));
    ASSERT_EQ(rig.sentFrames().size(), 3U);
    EXPECT_EQ(gaps(rig.sendTicks()), (std::vector<std::uint64_t>(2, GetParam().gap)));
}

INSTANTIATE_TEST_SUITE_P(
    Limits, SilentProgrammerTest,
    testing::Values(SilentCase{"SharedInterval300", SendV2LoginFixedKey, "300", 301},
                    SilentCase{"SharedInterval50", SendV1WriteCardCode, "50", 51},
                    SilentCase{"SharedFraction", SendV2WriteCardCode, "99.5", 100},
                    SilentCase{"SharedNotANumber", SendV1LoginFixedKey, "abc", 1},
                    SilentCase{"CountedNotANumber", SendV1SelectType0, "abc", 1},
                    SilentCase{"CountedInterval", SendV1ModifyKey, "120", 121},
                    SilentCase{"FixedLoadNewKeyIgnoresInterval", SendV1SelectType1, "abc", 301},
                    SilentCase{"FixedReadUidIgnoresInterval", SendReadUid, "10", 1001}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(Retry, IntervalIsReadAfreshDuringTheWait) {
    StationRig rig;
    rig.station.txtV2_AssignAKey.setText("OK"); // an earlier answer ends no wait
    rig.world.loop.post(100, [&] { rig.station.txtInterval.setText("500"); });
    EXPECT_FALSE(SendV2LoginFixedKey(rig.link));
    EXPECT_EQ(gaps(rig.sendTicks()), (std::vector<std::uint64_t>{501, 501}));
}

TEST(Retry, SilentV2ReadPausesThenModifiesTheKeyOnce) {
    StationRig rig;
    rig.answers["08 08 20 FF FF FF FF FF FF"] = "OK";
    const std::uint64_t start = rig.now();
    SendV2ReadCardCode(rig.link);
    const auto frames = rig.sentFrames();
    ASSERT_EQ(frames.size(), 4U);
    EXPECT_EQ(frames[0], "01 0A");
    EXPECT_EQ(frames[2], "01 0A");
    EXPECT_EQ(frames[3], "08 08 20 FF FF FF FF FF FF");
    EXPECT_EQ(rig.sendTicks()[0] - start, 201U);
    // The key change waits until the unanswered reads have been quiet for a second: a late
    // answer to them must not be taken for the key change's.
    EXPECT_EQ(gaps(rig.sendTicks()), (std::vector<std::uint64_t>{251, 251, 1001}));
    EXPECT_EQ(rig.link.currentCommand, "V2_Modify_A_Key");
    EXPECT_EQ(rig.station.txtResponseReadCard.text(), "");
    EXPECT_EQ(rig.station.infoOK.caption, "修改卡片 KEY 成功");
    EXPECT_EQ(rig.station.txtReceive.text(), "V2_Modify_A_Key - OK\r\n2-V2_ReadCardCode\r\n"
                                             "1-V2_ReadCardCode\r\n0-V2_ReadCardCode\r\n");
}

TEST(Retry, V2ReadAnsweredNoLeavesNoEarlierNumber) {
    StationRig rig;
    rig.answers["01 0A"] = "NO";
    rig.station.txtBlockIDV2.setText("00002:00001");
    SendV2ReadCardCode(rig.link);
    EXPECT_EQ(rig.station.txtBlockIDV2.text(), "");
    EXPECT_EQ(rig.station.txtResponseReadCard.text(), "NO");
}

struct EarlyExitCase {
    const char* name;
    bool (*send)(ProgrammerLink&);
    std::string frame;
    const char* reply;
    bool result;
    std::size_t sends;
    std::uint64_t duration; // from the first send to the sender's return
};

class EarlyExitTest : public testing::TestWithParam<EarlyExitCase> {};

TEST_P(EarlyExitTest, FlagDecidesWhenTheWaitEnds) {
    StationRig rig;
    rig.answers[GetParam().frame] = GetParam().reply;
    EXPECT_EQ(GetParam().send(rig.link), GetParam().result);
    EXPECT_EQ(rig.sentFrames().size(), GetParam().sends);
    EXPECT_EQ(rig.now() - rig.sendTicks().front(), GetParam().duration);
}

// Answers come 20 ms after the send, plus the 21 ms serial settle.
INSTANTIATE_TEST_SUITE_P(
    Replies, EarlyExitTest,
    testing::Values(
        EarlyExitCase{"LoginNoEndsAtOnce", SendV2LoginFixedKey, "08 07 20 FF FF FF FF FF FF", "NO",
                      true, 1, 41},
        EarlyExitCase{"ModifyNoWaitsItOutThenAccepts", SendV2ModifyKey,
                      "08 08 20 FF FF FF FF FF FF", "NO", true, 1, 301},
        EarlyExitCase{"V1ModifyFixedNoAccepted", SendV1ModifyFixedKey, "08 08 04 A0 A1 A2 A3 A4 A5",
                      "NO", true, 1, 301},
        EarlyExitCase{"WriteNoIsFailure", SendV2WriteCardCode, "06 09 00 02 00 01 00", "NO", false,
                      3, 903},
        EarlyExitCase{"V1WriteNoIsFailure", SendV1WriteCardCode, "06 09 00 02 00 01 00", "NO",
                      false, 3, 903},
        EarlyExitCase{"V1LoginNoIsFailure", SendV1LoginFixedKey, "08 07 04 FF FF FF FF FF FF", "NO",
                      false, 3, 903},
        EarlyExitCase{"CountedV1ModifyNoEndsAtOnce", SendV1ModifyKey, "02 02 01", "NO", true, 1,
                      41},
        EarlyExitCase{"CountedSelectNoIsFailure", SendV1SelectType0, "02 03 00", "NO", false, 3,
                      903},
        EarlyExitCase{"ShortUidKeepsWaiting", SendReadUid, "01 00", "NO", false, 3, 903},
        EarlyExitCase{"UidEndsAtOnce", SendReadUid, "01 00", "OK1234554321", true, 1, 41}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

struct KeyMessageCase {
    const char* name;
    bool (*send)(ProgrammerLink&);
    std::string frame;
    const char* reply; // nullptr: no answer
    bool english;
    const char* infoOK;
    const char* infoErr;
};

class KeyChangeMessageTest : public testing::TestWithParam<KeyMessageCase> {};

TEST_P(KeyChangeMessageTest, TellsTheOperatorAfterTheLastWait) {
    StationRig rig;
    rig.station.chkLanguage.setValue(GetParam().english ? 1 : 0);
    if (GetParam().reply != nullptr) {
        rig.answers[GetParam().frame] = GetParam().reply;
    }
    EXPECT_EQ(GetParam().send(rig.link), GetParam().reply != nullptr);
    EXPECT_EQ(rig.station.infoOK.caption, GetParam().infoOK);
    EXPECT_EQ(rig.station.infoErr.caption, GetParam().infoErr);
}

INSTANTIATE_TEST_SUITE_P(
    BothLanguages, KeyChangeMessageTest,
    testing::Values(KeyMessageCase{"V2OkEnglish", SendV2ModifyKey, "08 08 20 FF FF FF FF FF FF",
                                   "OK", true, "修改卡片 KEY 成功", ""},
                    KeyMessageCase{"V2SilentEnglish", SendV2ModifyKey, "", nullptr, true, "",
                                   "Modify Key Fault!"},
                    // A "NO" still lets the sequence go on, but is told as the failure it is.
                    KeyMessageCase{"V1FixedNoChinese", SendV1ModifyFixedKey,
                                   "08 08 04 A0 A1 A2 A3 A4 A5", "NO", false, "",
                                   "修改卡片 KEY 失敗!"},
                    KeyMessageCase{"V2NoEnglish", SendV2ModifyKey, "08 08 20 FF FF FF FF FF FF",
                                   "NO", true, "", "Modify Key Fault!"}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

// The UID a read gave up on arrives while the next command waits: it is shown, never taken.
TEST(Retry, AUidAfterItsReadGaveUpChangesNothing) {
    StationRig rig;
    rig.answers["08 07 04 FF FF FF FF FF FF"] = "OK";
    EXPECT_FALSE(SendReadUid(rig.link));
    rig.world.serial.deliverText("1234554321", 100);
    EXPECT_TRUE(SendV1LoginFixedKey(rig.link));
    EXPECT_EQ(rig.station.txtUID.text(), "");
    EXPECT_NE(rig.station.txtReceive.text().find("ReadUID - 1234554321 (late: ignored)"),
              std::string::npos);
}

TEST(Retry, UnknownLinkSendsNothingAndRunsOut) {
    StationRig rig;
    rig.station.connType = "com";
    EXPECT_FALSE(SendReadUid(rig.link));
    EXPECT_TRUE(rig.sentFrames().empty());
    EXPECT_EQ(rig.now(), 903U);
}

} // namespace
