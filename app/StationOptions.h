#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace zr::app {

// The command line of zr-station.
struct StationOptions {
    std::optional<std::string> script;       // --script FILE ("-" = standard input)
    std::optional<std::string> settings;     // --settings FILE
    std::optional<std::string> log;          // --log FILE
    std::optional<std::string> site;         // --site FILE
    std::map<int, std::string> comPorts;     // --com N=DEVICE, repeatable
    std::optional<std::string> cardRegister; // --register URL
};

struct ParsedOptions {
    std::optional<StationOptions> options;
    std::string error; // set when options is empty
};

ParsedOptions parseStationOptions(const std::vector<std::string>& arguments);

inline constexpr const char* kStationUsage =
    "usage: zr-station [--script FILE|-] [--settings FILE] [--com N=DEVICE]... [--log FILE] "
    "[--site FILE] [--register URL]\n";

} // namespace zr::app
