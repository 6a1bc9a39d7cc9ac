// The station shell: choosing and connecting the link, language, traffic log and view, the
// delay and the interval bar. Replies on the link are the protocol suites' job.
#include "station/Station.h"
#include "support/VirtualPlatform.h"

#include <gtest/gtest.h>

namespace zr::station {
namespace {

using platform::TcpSocket;
using testing::VirtualPlatform;

class StationLink : public ::testing::Test {
  protected:
    void SetUp() override {
        world.serial.availablePorts = {1, 2, 3};
        world.tcp.reachable = {"192.168.0.120:101", "127.0.0.1:4001"};
        station.Form_Load();
    }
    VirtualPlatform world;
    Station station{world.services};
};

TEST_F(StationLink, SelectingTcpClosesTheSerialPortFirst) {
    ASSERT_TRUE(world.serial.isOpen());
    station.sbTCPIP.click();
    EXPECT_FALSE(world.serial.isOpen());
    EXPECT_EQ(world.tcp.state(), TcpSocket::kStateConnected);
    EXPECT_EQ(station.connType, "TCPIP");
    EXPECT_EQ(world.settings.values.at("ConnType"), "TCPIP");
    EXPECT_EQ(station.sbTCPIP.foreColor, kLinkUp);
    EXPECT_EQ(station.sbCOM.foreColor, kLinkUnused);
}

TEST_F(StationLink, SelectingSerialClosesTheSocketAndReopensThePort) {
    station.sbTCPIP.click();
    station.sbCOM.click();
    EXPECT_EQ(world.tcp.state(), TcpSocket::kStateClosed);
    EXPECT_EQ(world.serial.openPort(), 1);
    EXPECT_EQ(station.sbCOM.foreColor, kLinkUp);
    EXPECT_EQ(station.sbTCPIP.foreColor, kLinkUnused);
    EXPECT_FALSE(station.txtIP.enabled);
    EXPECT_FALSE(station.sbConnect.enabled);
}

TEST_F(StationLink, PortListIsIgnoredWhileTcpIsSelected) {
    station.sbTCPIP.click();
    station.cboCOM.setListIndex(2);
    EXPECT_FALSE(world.serial.isOpen());
}

TEST_F(StationLink, ChoosingAPortOpensItOrTurnsTheButtonRed) {
    station.cboCOM.setListIndex(2);
    EXPECT_EQ(world.serial.openPort(), 3);
    EXPECT_EQ(station.sbCOM.foreColor, kLinkUp);
    station.cboCOM.setListIndex(9);
    EXPECT_FALSE(world.serial.isOpen());
    EXPECT_EQ(station.sbCOM.foreColor, kLinkDown);
}

// The connection wait always runs out, and is measured against txtInterval read afresh.
TEST_F(StationLink, ConnectWaitsTheWholeInterval) {
    struct Case {
        const char* interval;
        const char* host;
        std::uint64_t minimumMs;
        std::uint64_t maximumMs;
        Colour colour;
    };
    const Case cases[] = {
        {"300", "127.0.0.1", 301, 302, kLinkUp},
        {"abc", "127.0.0.1", 1, 1, kLinkDown}, // ends before the 5 ms connection completes
        {"50", "10.9.9.9", 51, 52, kLinkDown},
        {"-20", "127.0.0.1", 1, 1, kLinkDown},
    };
    station.sbTCPIP.click();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.interval);
        station.txtInterval.setText(c.interval);
        station.txtIP.setText(std::string("  ") + c.host + " ");
        station.txtPORT.setText("4001");
        const std::uint64_t before = world.loop.now();
        station.sbConnect.click();
        const std::uint64_t took = world.loop.now() - before;
        EXPECT_GE(took, c.minimumMs);
        EXPECT_LE(took, c.maximumMs);
        EXPECT_EQ(station.sbTCPIP.foreColor, c.colour);
        EXPECT_EQ(world.settings.values.at("IP"), c.host);
        EXPECT_EQ(world.settings.values.at("PORT"), "4001");
    }
}

TEST_F(StationLink, PortTextIsRoundedAndNonNumericMeansZero) {
    station.sbTCPIP.click();
    const std::pair<const char*, int> cases[] = {{"101.6", 102}, {"x", 0}, {" 80abc", 80}};
    for (const auto& [text, port] : cases) {
        station.txtPORT.setText(text);
        station.sbConnect.click();
        EXPECT_EQ(world.tcp.lastPort, port) << text;
    }
}

TEST_F(StationLink, FramesGoOnTheSelectedLinkOnly) {
    station.sendFrame({1, 0});
    ASSERT_EQ(world.serial.written.size(), 1U);
    station.sbTCPIP.click();
    station.sendFrame({1, 0});
    EXPECT_EQ(world.tcp.sent.size(), 1U);
    station.connType = "tcpip";
    station.sendFrame({1, 0});
    EXPECT_EQ(world.tcp.sent.size(), 1U);
    EXPECT_EQ(world.serial.written.size(), 1U);
}

TEST(StationLanguage, SwitchingRewritesCaptionsAndLists) {
    VirtualPlatform world;
    Station station(world.services);
    station.Form_Load();
    station.chkLanguage.setValue(1);
    EXPECT_EQ(station.cmdRecordBlock.caption, "Write Card");
    EXPECT_EQ(station.lblV2Status.caption, "Card ID_V3");
    EXPECT_EQ(station.cboPassword0.items(),
              (std::vector<std::string>{"0-Empty Card", "1-Recorded Card"}));
    EXPECT_EQ(station.cboPassword0.listIndex(), 0);
    station.chkLanguage.setValue(0);
    EXPECT_EQ(station.Caption, "ZR-錄碼系統 20160919");
    EXPECT_EQ(station.cmdRecordBlock.caption, "執行寫卡");
    EXPECT_EQ(station.lblprogramV1.caption, "ZR 錄碼Ｖ１");
    EXPECT_EQ(station.cboPassword1.items(), (std::vector<std::string>{"1-第１組密碼"}));
    EXPECT_EQ(station.chkLanguage.caption, "English");
    // Messages follow the box, not the captions.
    station.chkLanguage.setValue(1);
    station.lblLock.caption = "鎖碼";
    EXPECT_STREQ(station.say("中", "en"), "en");
}

TEST(StationTrafficLog, WrittenOnlyWhileTheWindowIsWide) {
    VirtualPlatform world;
    Station station(world.services);
    station.Form_Load();
    std::string line = "0123456789";
    std::string empty;
    station.WriteTrafficLog(line);
    station.WriteTrafficLog(empty);
    EXPECT_EQ(world.trafficLog.lines, (std::vector<std::string>{"0123456789"}));
    station.sbBlock.click();
    station.WriteTrafficLog(line);
    EXPECT_EQ(world.trafficLog.lines.size(), 1U);
}

// The newest-first order is checked with real traffic in the protocol suites.
TEST(StationTrafficView, ClearedByBothControls) {
    VirtualPlatform world;
    Station station(world.services);
    station.addTrafficLine("0-ReadUID");
    station.Command1.click();
    EXPECT_EQ(station.txtReceive.text(), "");
    station.addTrafficLine("x");
    station.txtReceive.dblClick();
    EXPECT_EQ(station.txtReceive.text(), "");
}

TEST(StationDelay, PumpsUntilMoreThanTheDelayHasPassed) {
    VirtualPlatform world;
    Station station(world.services);
    int ticks = 0;
    world.loop.post(50, [&] { ++ticks; });
    std::int32_t ms = 100;
    station.DelayWithEvents(ms);
    EXPECT_EQ(world.loop.now(), 101U);
    EXPECT_EQ(ticks, 1);
    EXPECT_LT(world.loop.pumpCount(), 5U); // it sleeps between events instead of spinning
}

TEST(StationScrollBar, TheIntervalWrittenByTheBarStopsAt1000) {
    VirtualPlatform world;
    Station station(world.services);
    station.scrInterval.setValue(5000);
    EXPECT_EQ(station.txtInterval.text(), "1000");
}

} // namespace
} // namespace zr::station
