#pragma once

#include <string>

namespace zr::platform {

// The traffic log file. Each line is appended with CR LF by opening, writing and closing
// the file, so nothing is lost when the station is killed. A file that cannot be opened
// loses the line and nothing else.
class TrafficLog {
  public:
    virtual ~TrafficLog() = default;
    virtual void appendLine(const std::string& text) = 0;
};

} // namespace zr::platform
