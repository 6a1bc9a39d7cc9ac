#pragma once

#include "recording/CardRecordSink.h"

#include <ostream>

namespace zr::app {

// Without a window the operator reads the outcome of each card here: one line per write
// attempt and per read-back, on the script's output.
class ScriptReport final : public recording::CardRecordSink {
  public:
    explicit ScriptReport(std::ostream& out) : out_(out) {}

    bool recordWrite(const recording::WriteAttempt& attempt) override;
    void recordReadBack(const recording::ReadBackResult& result) override;

  private:
    std::ostream& out_;
};

} // namespace zr::app
