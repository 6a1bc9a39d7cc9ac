// Choosing and opening the link: the port list while TCP is chosen, connecting, and what a
// drop does to the requests still open.
#include "protocol/ProgrammerLink.h"
#include "support/VirtualPlatform.h"

#include <gtest/gtest.h>

namespace zr::protocol {
namespace {

using platform::TcpSocket;
using station::kLinkDown;
using station::kLinkUp;
using testing::VirtualPlatform;

class StationLink : public ::testing::Test {
  protected:
    void SetUp() override {
        world.serial.availablePorts = {1, 2, 3};
        world.tcp.reachable = {"192.168.0.120:101", "127.0.0.1:4001"};
        station.Form_Load();
    }
    VirtualPlatform world;
    station::Station station{world.services};
    ProgrammerLink link{station};
};

TEST_F(StationLink, PortListIsIgnoredWhileTcpIsSelectedAndTheChoiceIsKept) {
    station.sbTCPIP.click();
    EXPECT_EQ(world.settings.values.at("ConnType"), "TCPIP");
    station.cboCOM.setListIndex(2);
    EXPECT_FALSE(world.serial.isOpen());
    station.sbCOM.click();
    EXPECT_EQ(world.settings.values.at("ConnType"), "COM");
}

// A flag set by an event in the wait's last pass still counts; the wait ends only once more
// than its limit has passed, whatever events come on the way.
TEST_F(StationLink, TheWaitEndsOnItsFlagOrJustPastItsLimit) {
    struct Case {
        std::uint32_t eventAtMs;
        bool eventSetsFlag;
        bool expected;
        std::uint64_t endsAtMs;
    };
    const Case cases[] = {
        {300, true, true, 300},
        {301, true, true, 301},
        {302, true, false, 301},
        {300, false, false, 301},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.eventAtMs);
        bool flag = false;
        world.loop.post(c.eventAtMs, [&flag, &c] { flag = c.eventSetsFlag; });
        const std::uint64_t start = world.loop.now();
        EXPECT_EQ(link.waitWithEvents(300, [&flag] { return flag; }), c.expected);
        EXPECT_EQ(world.loop.now() - start, c.endsAtMs);
        world.loop.runFor(10);
    }
}

// Automatic recording opens a dropped socket again and waits for it to connect.
TEST_F(StationLink, ReconnectingWaitsForTheSocket) {
    station.sbTCPIP.click();
    world.tcp.peerClose();
    EXPECT_TRUE(link.reconnectLink());
    EXPECT_EQ(station.sbTCPIP.foreColor, kLinkUp);
}

// The station outlives its link: the link controls' clicks go back to it.
TEST_F(StationLink, AGoneLinkLeavesTheLinkControlsFree) {
    { const ProgrammerLink other{station}; }
    const std::initializer_list<const station::Control*> linkControls = {
        &station.cboCOM, &station.sbCOM, &station.sbTCPIP, &station.sbConnect};
    for (const station::Control* control : linkControls) {
        EXPECT_FALSE(control->onClick) << control->name();
    }
}

// The connection wait always runs out, and is measured against txtInterval read afresh.
TEST_F(StationLink, ConnectWaitsTheWholeInterval) {
    struct Case {
        const char* interval;
        const char* host;
        std::uint64_t minimumMs;
        std::uint64_t maximumMs;
        station::Colour colour;
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

// Start-up opens the stored link through the link controls' clicks.
TEST(LinkAtStartUp, TheStoredLinkIsOpened) {
    struct Case {
        const char* connType;
        bool serialOpen;
        bool tcpConnected;
    };
    const Case cases[] = {{"COM", true, false}, {"TCPIP", false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.connType);
        VirtualPlatform world;
        world.serial.availablePorts = {1, 2, 3};
        world.tcp.reachable = {"127.0.0.1:4001"};
        world.settings.values = {
            {"ConnType", c.connType}, {"COM", "2"}, {"IP", "127.0.0.1"}, {"PORT", "4001"}};
        station::Station station{world.services};
        const ProgrammerLink link{station};
        station.Form_Load();
        EXPECT_EQ(station.connType, c.connType);
        EXPECT_EQ(world.serial.isOpen(), c.serialOpen);
        EXPECT_EQ(world.tcp.state() == TcpSocket::kStateConnected, c.tcpConnected);
    }
}

// A drop is shown at once, and the requests open on the dropped link are gone with it: a
// reply read afterwards belongs to nobody.
TEST_F(StationLink, ADropForgetsTheOpenRequestsAndIsShown) {
    link.currentCommand = "ReadUID";
    link.sendFrame(Frame{0x01});
    ASSERT_TRUE(link.requests.open());
    world.serial.unplug();
    EXPECT_FALSE(link.requests.open());
    EXPECT_EQ(station.sbCOM.foreColor, kLinkDown);
    EXPECT_NE(station.infoErr.caption.find("COM Port"), std::string::npos);

    station.sbTCPIP.click();
    link.sendFrame(Frame{0x01});
    ASSERT_TRUE(link.requests.open());
    world.tcp.peerClose();
    EXPECT_FALSE(link.requests.open());
    EXPECT_EQ(station.sbTCPIP.foreColor, kLinkDown);
    EXPECT_NE(station.infoErr.caption.find("TCPIP"), std::string::npos);
}

} // namespace
} // namespace zr::protocol
