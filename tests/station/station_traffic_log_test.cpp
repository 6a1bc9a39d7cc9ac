// The traffic log file: what the station writes to it, and when.
#include "station/Station.h"
#include "support/VirtualPlatform.h"

#include <gtest/gtest.h>

namespace zr::station {
namespace {

TEST(StationTrafficLog, WrittenOnlyWhileTheWindowIsWide) {
    testing::VirtualPlatform world;
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
