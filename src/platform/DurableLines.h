#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zr::platform {

// A small file of text lines that must outlive a crash or a power cut: an appended line is
// on disk when append returns.
class DurableLines {
  public:
    virtual ~DurableLines() = default;

    // Every line, in order; a missing file has none. Nothing when the file exists but cannot
    // be read.
    virtual std::optional<std::vector<std::string>> read() = 0;
    // Appends one line (it must hold no line break) and syncs it to disk.
    virtual bool append(const std::string& line) = 0;
    // Replaces the whole file at once: written beside it, synced, renamed over it.
    virtual bool replace(const std::vector<std::string>& lines) = 0;
    // Where the lines are kept, for messages.
    virtual std::string where() const = 0;
};

} // namespace zr::platform
