// Each reply reaches its command's flag and tells the operator the outcome, in both languages.
#include "StationRig.h"
#include "keys/KeyBoxes.h"
#include "keys/KeyDerivation.h"
#include "protocol/ReplyDispatch.h"

#include <gtest/gtest.h>

namespace {

using namespace zr::protocol;
using zr::protocol::test::StationRig;

const char* const kWrittenChinese = "卡號寫入成功，請更換卡片!";
const char* const kWrittenEnglish = "Card Written OK.\r\nChange Another Card!";

void dispatch(ProgrammerLink& link, std::string reply) {
    DispatchReply(link, reply);
}

struct RouteCase {
    const char* command;
    const char* reply;
    const char* flagName; // control that must end up holding `expected`
    const char* expected;
};

class RoutingTest : public testing::TestWithParam<RouteCase> {};

// Each name reaches its own case whatever its letter case, and only that case.
TEST_P(RoutingTest, ReplyLandsInTheCommandsFlag) {
    StationRig rig;
    rig.link.currentCommand = GetParam().command;
    dispatch(rig.link, GetParam().reply);
    auto* flag = dynamic_cast<zr::station::TextBox*>(rig.station.findControl(GetParam().flagName));
    ASSERT_NE(flag, nullptr);
    EXPECT_EQ(flag->text(), GetParam().expected);
    EXPECT_EQ(rig.station.txtReceive.text(),
              std::string(GetParam().command) + " - " + GetParam().reply + "\r\n");
    int untouched = 0;
    for (const char* name :
         {"txtV1_AssignAKey", "txtV1_ModifyAKey", "txtV1_LoadNewKey", "txtV1_ReadCardCode",
          "txtV1_WriteCardCode", "txtV2_AssignAKey", "txtV2_ModifyAKey", "txtReadUID",
          "txtResponseReadCard", "txtResponseRecordCard"}) {
        untouched +=
            dynamic_cast<zr::station::TextBox*>(rig.station.findControl(name))->text() == "09";
    }
    EXPECT_EQ(untouched, 9);
}

INSTANTIATE_TEST_SUITE_P(
    EveryName, RoutingTest,
    testing::Values(RouteCase{"readuid", "1234554321", "txtReadUID", "OK"},
                    RouteCase{"V1_ASSIGN_A_KEY", "OK", "txtV1_AssignAKey", "OK"},
                    RouteCase{"v1_modify_a_key", "NO", "txtV1_ModifyAKey", "NO"},
                    RouteCase{"V1_LoadNewAKey", "xyz", "txtV1_LoadNewKey", "xyz"},
                    RouteCase{"V1_ReadCardCode", "12", "txtV1_ReadCardCode", "NO"},
                    RouteCase{"V1_ReadCardCode", "00002000011", "txtV1_ReadCardCode", "NO"},
                    RouteCase{"readuid", "12345ABCDE", "txtReadUID", "NO"},
                    RouteCase{"V1_WriteCardCode", "ok", "txtV1_WriteCardCode", "ok"},
                    RouteCase{"v2_assign_a_key", "OK", "txtV2_AssignAKey", "OK"},
                    RouteCase{"V2_Modify_A_Key", "OK", "txtV2_ModifyAKey", "OK"},
                    RouteCase{"V2_WRITECARDCODE", "OK", "txtResponseRecordCard", "OK"},
                    RouteCase{"V2_ReadCardCode", "0000200001", "txtResponseReadCard", "OK"}));

TEST(DispatchUid, StatusWordsAreRemovedAndTheKeyIsDerived) {
    StationRig rig;
    rig.link.currentCommand = "ReadUID";
    dispatch(rig.link, "OK1234554321");
    EXPECT_EQ(rig.station.txtUID.text(), "1234554321");
    EXPECT_EQ(rig.station.txtUID2.text(), "12345:54321");
    // Both key rows hold the key of the cleaned UID before the sender's wait ends.
    const auto& site = rig.station.site;
    const auto key = zr::keys::deriveKey("1234554321", {site.mask1, site.mask2, site.mask3});
    ASSERT_TRUE(key);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(rig.station.txtAKey[i].text(), zr::keys::keyBoxTexts(*key)[i]);
        EXPECT_EQ(rig.station.txtNewAKey[i].text(), zr::keys::keyBoxTexts(*key)[i]);
    }
    EXPECT_EQ(rig.station.infoOK.caption, "卡片寫入中......");
    EXPECT_EQ(rig.station.infoErr.caption, "");
    EXPECT_EQ(rig.station.txtReceive.text(), "ReadUID - OK1234554321\r\n");
}

struct UidMessageCase {
    const char* name;
    bool english;
    const char* lastWritten;
    const char* infoOK;
    const char* reply = "1234554321";
};

class UidMessageTest : public testing::TestWithParam<UidMessageCase> {};

TEST_P(UidMessageTest, SameCardAsWrittenOrANewOne) {
    StationRig rig;
    rig.station.chkLanguage.setValue(GetParam().english ? 1 : 0);
    rig.station.lastWrittenUid = GetParam().lastWritten;
    rig.link.currentCommand = "ReadUID";
    dispatch(rig.link, GetParam().reply);
    EXPECT_EQ(rig.station.infoOK.caption, GetParam().infoOK);
    EXPECT_EQ(rig.station.infoErr.caption, "");
}

INSTANTIATE_TEST_SUITE_P(
    BothLanguages, UidMessageTest,
    testing::Values(UidMessageCase{"NewChinese", false, "", "卡片寫入中......"},
                    UidMessageCase{"NewEnglish", true, "1234567899", "Card Recording ......"},
                    UidMessageCase{"WrittenChinese", false, "1234554321", kWrittenChinese},
                    UidMessageCase{"WrittenEnglish", true, "1234554321", kWrittenEnglish},
                    // The card just written is recognised by its cleaned UID.
                    UidMessageCase{"WrittenWithOkMixedIn", true, "1234554321", kWrittenEnglish,
                                   "OK1234554321"}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(DispatchV1Read, TenCharactersAreACardNumber) {
    StationRig rig;
    rig.link.currentCommand = "V1_ReadCardCode";
    dispatch(rig.link, "0000200001");
    EXPECT_EQ(rig.station.txtBlockIDV1.text(), "00002:00001");
    EXPECT_EQ(rig.station.txtV1_ReadCardCode.text(), "OK");
    dispatch(rig.link, "000020000");
    EXPECT_EQ(rig.station.txtV1_ReadCardCode.text(), "NO");
    EXPECT_EQ(rig.station.txtBlockIDV1.text(), "00002:00001");
    EXPECT_TRUE(rig.world.desktop.messageBoxes.empty());
}

TEST(DispatchV1Write, OkRecordsTheNumberAndTheCard) {
    for (const bool english : {false, true}) {
        StationRig rig;
        rig.station.chkLanguage.setValue(english ? 1 : 0);
        rig.station.txtUID.setText("1234554321");
        rig.link.currentCommand = "V1_WriteCardCode";
        dispatch(rig.link, "NO");
        EXPECT_EQ(rig.station.lastWrittenUid, "");
        // A refusal says so, like the V3 write's, instead of leaving the green line before it.
        EXPECT_EQ(rig.station.infoOK.caption, "");
        EXPECT_EQ(rig.station.infoErr.caption, english ? "Write Card Number Fault!" : "寫碼失敗!");
        dispatch(rig.link, "OK");
        EXPECT_EQ(rig.station.txtBlockIDV1.text(), "00002:00001");
        EXPECT_EQ(rig.station.lastWrittenUid, "1234554321");
        EXPECT_EQ(rig.station.infoOK.caption, english ? kWrittenEnglish : kWrittenChinese);
        EXPECT_EQ(rig.station.infoErr.caption, "");
    }
}

struct MessageCase {
    const char* name;
    const char* command;
    const char* reply;
    bool english;
    const char* infoOK;
    const char* infoErr;
    const char* blockV2; // txtBlockIDV2 afterwards
};

class ReplyMessageTest : public testing::TestWithParam<MessageCase> {};

TEST_P(ReplyMessageTest, OperatorSeesTheOutcome) {
    StationRig rig;
    rig.station.chkLanguage.setValue(GetParam().english ? 1 : 0);
    rig.station.infoOK.caption = "before";
    rig.station.infoErr.caption = "before";
    rig.station.txtBlockIDV2.setText("");
    rig.link.currentCommand = GetParam().command;
    dispatch(rig.link, GetParam().reply);
    EXPECT_EQ(rig.station.infoOK.caption, GetParam().infoOK);
    EXPECT_EQ(rig.station.infoErr.caption, GetParam().infoErr);
    EXPECT_EQ(rig.station.txtBlockIDV2.text(), GetParam().blockV2);
    EXPECT_EQ(rig.station.txtReceive.text(),
              std::string(GetParam().command) + " - " + GetParam().reply + "\r\n");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplyMessageTest,
    testing::Values(
        MessageCase{"LoginNoChinese", "V2_Assign_A_Key", "NO", false, "", "載入 A KEY 失敗!", ""},
        MessageCase{"LoginNoEnglish", "V2_Assign_A_Key", "NO", true, "", "Load A Key Fault !", ""},
        // Any answer but "OK" is a failed write, never a number shown as written.
        MessageCase{"WriteErEnglish", "V2_WriteCardCode", "ER", true, "",
                    "Write Card Number Fault!", ""},
        MessageCase{"WriteNoiseChinese", "V2_WriteCardCode", "OKAY", false, "", "寫碼失敗!", ""},
        MessageCase{"WriteOkEnglish", "V2_WriteCardCode", "OK", true, kWrittenEnglish, "",
                    "00002:00001"},
        MessageCase{"ReadShortChinese", "V2_ReadCardCode", "1234", false, "", "讀取卡片中...",
                    "1234:1234"},
        MessageCase{"ReadNoEnglish", "V2_ReadCardCode", "NO", true, "", "Read Card Number ...", ""},
        // No card recorded yet: the empty UID equals the empty record.
        MessageCase{"ReadNumber", "V2_ReadCardCode", "0000200001", true,
                    "卡片重覆讀取，請更換卡片!", "", "00002:00001"},
        MessageCase{"KeyDownloadOk", "120", "OK", true, "卡機下載 A KEY 成功", "before", ""}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(DispatchV2Read, NoAfterAReadKeepsTheNumberAndCountsAsRead) {
    StationRig rig;
    rig.link.currentCommand = "V2_ReadCardCode";
    dispatch(rig.link, "0000200001");
    dispatch(rig.link, "NO");
    EXPECT_EQ(rig.station.txtBlockIDV2.text(), "00002:00001");
    EXPECT_EQ(rig.station.txtResponseReadCard.text(), "OK");
}

TEST(DispatchV2Read, SameCardAsRecordedIsPointedOut) {
    StationRig rig;
    rig.link.currentCommand = "V2_ReadCardCode";
    rig.station.txtUID.setText("1234554321");
    rig.station.txtUID_Record.setText("1234554321");
    rig.station.infoOK.caption = "whatever";
    dispatch(rig.link, "0000200001");
    EXPECT_EQ(rig.station.infoOK.caption, "卡片重覆讀取，請更換卡片!");
    // Right after a write the success message stays.
    rig.station.infoOK.caption = kWrittenChinese;
    dispatch(rig.link, "0000200001");
    EXPECT_EQ(rig.station.infoOK.caption, kWrittenChinese);
}

} // namespace
