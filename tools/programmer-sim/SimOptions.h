#pragma once

#include "ProgrammerSim.h"

#include <QStringList>
#include <cstdint>
#include <optional>
#include <string>

namespace zr::sim {

struct SimOptions {
    std::optional<std::uint16_t> tcpPort;
    bool pty = false;
    std::string ptyLink;
    std::string scenario; // "-" for stdin
    std::string record;
    SimSettings settings;
};

struct ParsedOptions {
    std::optional<SimOptions> options; // nothing when the program should end at once
    int exitCode = 0;                  // for that case: 0 after --help, 2 after a usage error
};

ParsedOptions parseOptions(const QStringList& arguments);

} // namespace zr::sim
