// The station shell: the port list while TCP is chosen, connecting, and the traffic log.
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

TEST_F(StationLink, PortListIsIgnoredWhileTcpIsSelected) {
    station.sbTCPIP.click();
    station.cboCOM.setListIndex(2);
    EXPECT_FALSE(world.serial.isOpen());
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

} // namespace
} // namespace zr::station
