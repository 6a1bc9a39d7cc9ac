#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace zr::sim {

// The --record file: one line per received frame, flushed per line so that a test can read it
// while the simulator runs.
class RecordFile {
  public:
    bool open(const std::string& path);
    bool isOpen() const { return file_ != nullptr; }
    void writeLine(std::string_view line);

  private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
};

} // namespace zr::sim
