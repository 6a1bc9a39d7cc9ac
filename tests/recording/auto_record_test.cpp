// The automatic recording loop over runs of cards: numbering, pauses, link loss and refusals.
#include "RecordingRig.h"

#include <gtest/gtest.h>

namespace zr::recording::test {
namespace {

using Codes = std::vector<std::string>;

std::vector<std::string> writtenNumbers(const MemorySink& sink) {
    std::vector<std::string> numbers;
    for (const auto& attempt : sink.writes) {
        if (attempt.outcome == AttemptOutcome::Written) {
            numbers.push_back(attempt.uid + "=" + attempt.cardCode);
        }
    }
    return numbers;
}

TEST(AutoRecord, RecordsARunOfCardsEachWithTheNextNumberSavedBeforeItsFirstRequest) {
    RecordingRig rig;
    rig.queueCards(1000000001, 4);
    rig.startAutoRecording();
    rig.world.loop.runFor(30000);
    EXPECT_EQ(writtenNumbers(rig.sink),
              (std::vector<std::string>{"1000000001=00001", "1000000002=00002", "1000000003=00003",
                                        "1000000004=00004"}));
    for (int i = 1; i <= 4; ++i) {
        const sim::CardMemory* card = rig.programmer.memoryOf("100000000" + std::to_string(i));
        ASSERT_NE(card, nullptr);
        const sim::CardNumber expected{1, static_cast<std::uint16_t>(i), true};
        EXPECT_EQ(card->numbers[sim::kV1Sector], expected) << i;
        EXPECT_EQ(card->numbers[sim::kV3Sector], expected) << i;
    }
    // Each card's writes found its own number already on disk (the first card: none yet).
    EXPECT_EQ(rig.storedCodeAtWrite, (std::vector<std::string>{"", "", "00002", "00002", "00003",
                                                               "00003", "00004", "00004"}));
    EXPECT_EQ(rig.world.settings.values.at("CardCode"), "00005");
    // The last card stays on the programmer: each tick only reads its UID.
    const std::size_t before = rig.frames().size();
    rig.world.loop.runFor(3000);
    const Codes codes = rig.codes();
    EXPECT_EQ(Codes(codes.begin() + static_cast<long>(before), codes.end()),
              (Codes{"00", "00", "00"}));
}

struct LinkDownCase {
    const char* name;
    bool tcp;
    bool english;
    const char* message;
    const char* alarm; // a click of the operator's on the closed link
};

class LinkDownTest : public ::testing::TestWithParam<LinkDownCase> {};

// A link that is down shows its message on every tick; the loop opens it again by itself,
// at once and then every two seconds, and records as soon as it is back.
TEST_P(LinkDownTest, MessageEveryTickThenResumesByItself) {
    const LinkDownCase& c = GetParam();
    RecordingRig rig;
    auto& s = rig.station;
    s.chkLanguage.setValue(c.english ? 1 : 0);
    if (c.tcp) {
        s.connType = "TCPIP";
        s.txtIP.setText("127.0.0.1");
    } else {
        rig.world.serial.unplug();
    }
    rig.queueCards(1000000001, 1);
    rig.startAutoRecording();
    for (int tick = 0; tick < 4; ++tick) {
        s.infoErr.caption.clear();
        rig.world.loop.runFor(1000);
        EXPECT_EQ(s.infoErr.caption, c.message) << tick;
        EXPECT_EQ(s.infoOK.caption, "");
        EXPECT_EQ(s.lblAlarm.caption, "") << tick;
    }
    // A click sends nothing either, and says why on the alarm line alone.
    for (station::Button* button :
         {&s.cmdRecordBlock, &s.cmdReadBack, &s.cmdReadUID, &s.cmd_V2_ReadCardCode}) {
        s.clearFailure();
        button->click();
        EXPECT_EQ(s.lblAlarm.caption, c.alarm) << button->name();
        EXPECT_EQ(s.infoErr.caption, c.message) << button->name();
    }
    EXPECT_TRUE(rig.frames().empty());
    if (c.tcp) {
        EXPECT_EQ(rig.world.tcp.connectCount, 2); // at the first tick, then two seconds on
        rig.world.tcp.reachable = {"127.0.0.1:101"};
    } else {
        rig.world.serial.availablePorts = {1};
    }
    rig.world.loop.runFor(8000);
    EXPECT_EQ(s.sbCOM.foreColor == station::kLinkUp || s.sbTCPIP.foreColor == station::kLinkUp,
              true);
    EXPECT_EQ(writtenNumbers(rig.sink), std::vector<std::string>{"1000000001=00001"});
}

INSTANTIATE_TEST_SUITE_P(
    Links, LinkDownTest,
    ::testing::Values(
        LinkDownCase{"ComChinese", false, false, "COM Port 通訊錯誤！\r\n請確認連線及放置卡片！",
                     "與卡機的連線（COM1）未開啟：請選擇 COM 或 TCP/IP 連線，並檢查連接線。"},
        LinkDownCase{"ComEnglish", false, true,
                     "COM Port Error！\r\nPlease Check Connect Setting And Card!",
                     "The link to the programmer (COM1) is not open: choose COM or TCP/IP and "
                     "check the cable."},
        LinkDownCase{"TcpChinese", true, false, "TCPIP 通訊錯誤！\r\n請確認連線及放置卡片！",
                     "與卡機的連線（TCP/IP 127.0.0.1:101）未開啟：請選擇 COM 或 TCP/IP 連線，並檢查"
                     "連接線。"},
        LinkDownCase{"TcpEnglish", true, true,
                     "TCPIP Error！\r\nPlease Check Connect Setting And Card!",
                     "The link to the programmer (TCP/IP 127.0.0.1:101) is not open: choose COM or "
                     "TCP/IP and check the cable."}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

// The tick looks at the check box before it starts its timer again.
TEST(AutoRecord, UncheckingDuringATickStopsTheLoop) {
    RecordingRig rig;
    rig.queueCards(1000000001, 2);
    rig.startAutoRecording();
    rig.world.loop.post(1100, [&] { rig.station.chkAutoRecord.setValue(0); });
    rig.world.loop.runFor(8000);
    EXPECT_FALSE(rig.station.timerAutoRecord.isEnabled());
    EXPECT_EQ(writtenNumbers(rig.sink), std::vector<std::string>{"1000000001=00001"});
}

TEST(AutoRecord, LastCardCodeIsWrittenOnceThenTheLoopPauses) {
    RecordingRig rig;
    rig.station.txtCardCode.setText("65535");
    rig.queueCards(1000000001, 2);
    rig.startAutoRecording();
    rig.world.loop.runFor(8000);
    EXPECT_EQ(writtenNumbers(rig.sink), std::vector<std::string>{"1000000001=65535"});
    EXPECT_EQ(rig.station.chkAutoRecord.value(), 0);
    EXPECT_EQ(rig.station.infoErr.caption, "Card code 65535 is used up. Enter a new card number!");
    // Neither a click nor a restarted loop writes 65535 into the next card.
    rig.station.cmdRecordBlock.click();
    rig.station.chkAutoRecord.setValue(1);
    rig.world.loop.runFor(3000);
    const Codes codes = rig.codes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), "09"), 2);
    EXPECT_EQ(rig.station.chkAutoRecord.value(), 0);
    // A new number is written.
    rig.station.txtGroupCode.setText("00002");
    rig.station.txtCardCode.setText("00001");
    rig.station.chkAutoRecord.setValue(1);
    rig.world.loop.runFor(6000);
    EXPECT_EQ(writtenNumbers(rig.sink).back(), "1000000002=00001");
}

TEST(AutoRecord, UnwritableSettingsHoldTheNextCardUntilTheyAreSaved) {
    RecordingRig rig;
    rig.world.settings.failWrites = true;
    rig.queueCards(1000000001, 2);
    rig.startAutoRecording();
    rig.world.loop.runFor(8000);
    EXPECT_EQ(writtenNumbers(rig.sink), std::vector<std::string>{"1000000001=00001"});
    EXPECT_EQ(rig.station.chkAutoRecord.value(), 0);
    EXPECT_EQ(rig.station.infoErr.caption,
              "Settings cannot be written, the card number is not saved. Check them before "
              "recording!");
    const std::size_t before = rig.frames().size();
    rig.station.cmdRecordBlock.click();
    EXPECT_EQ(rig.frames().size(), before);
    rig.world.settings.failWrites = false;
    rig.station.cmdRecordBlock.click();
    EXPECT_EQ(writtenNumbers(rig.sink).back(), "1000000002=00002");
    EXPECT_EQ(rig.world.settings.values.at("CardCode"), "00003");
    // Saved, nothing is pending: the next card is written before its own number fails to save.
    rig.world.settings.failWrites = true;
    rig.programmer.layCard("1000000003");
    rig.station.cmdRecordBlock.click();
    EXPECT_EQ(writtenNumbers(rig.sink).back(), "1000000003=00003");
}

struct RefusalCase {
    const char* name;
    bool english;
    const char* message;
};

class SinkRefusalTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(SinkRefusalTest, CardNotReportedWrittenAndTheLoopPauses) {
    RecordingRig rig;
    rig.station.chkLanguage.setValue(GetParam().english ? 1 : 0);
    rig.sink.refuse = true;
    rig.queueCards(1000000001, 1);
    rig.startAutoRecording();
    rig.world.loop.runFor(6000);
    auto& s = rig.station;
    EXPECT_EQ(s.chkAutoRecord.value(), 0);
    EXPECT_FALSE(s.timerAutoRecord.isEnabled());
    EXPECT_EQ(s.infoErr.caption, GetParam().message);
    EXPECT_EQ(s.txtCardCode.text(), "00001");
    EXPECT_EQ(s.txtUID_Record.text(), "");
    EXPECT_TRUE(rig.world.tone.tones.empty());
    EXPECT_EQ(s.lblV2Status.backColor, 0x0000FFU);
}

INSTANTIATE_TEST_SUITE_P(
    BothLanguages, SinkRefusalTest,
    ::testing::Values(RefusalCase{"Chinese", false,
                                  "卡片無法登錄，已暫停自動錄碼，請檢查卡片登錄!"},
                      RefusalCase{"English", true,
                                  "The card could not be registered. Automatic recording paused; "
                                  "check the card register!"}),
    [](const auto& testInfo) { return std::string(testInfo.param.name); });

TEST(AutoRecord, SplitAndGarbledRepliesNeverReportAnUnwrittenCard) {
    RecordingRig rig;
    rig.replyPieces = 3;
    rig.queueCards(1000000001, 3);
    rig.startAutoRecording();
    // Garbage replaces the answers to the second card's number writes.
    rig.world.loop.post(6000, [&] { rig.faults["06 09"] = "\xC3\x28\xA0"; });
    rig.world.loop.post(9000, [&] { rig.faults.clear(); });
    rig.world.loop.runFor(25000);
    EXPECT_EQ(
        writtenNumbers(rig.sink),
        (std::vector<std::string>{"1000000001=00001", "1000000002=00002", "1000000003=00003"}));
}

} // namespace
} // namespace zr::recording::test
