#pragma once

#include "recording/CardRecordSink.h"
#include "station/Controls.h"

#include <optional>
#include <ostream>

namespace zr::app {

// Without a window the operator reads the outcome of each card here: one line per write
// attempt and per read-back, on the script's output. A card that is verified is handed on as
// written before its read-back; its line waits for the read-back's verdict, so the output
// never calls written a card that verification then refuses.
class ScriptReport final : public recording::CardRecordSink {
  public:
    // `verify` is the station's chkVerify, read when a written card is handed on.
    ScriptReport(std::ostream& out, const station::CheckBox& verify) : out_(out), verify_(verify) {}
    ~ScriptReport() override;
    ScriptReport(const ScriptReport&) = delete;
    ScriptReport& operator=(const ScriptReport&) = delete;

    bool recordWrite(const recording::WriteAttempt& attempt) override;
    void recordReadBack(const recording::ReadBackResult& result) override;

  private:
    void printAttempt(const recording::WriteAttempt& attempt);
    // A card whose read-back never came (the link dropped first) failed its verification.
    void concludeUnverified();

    std::ostream& out_;
    const station::CheckBox& verify_;
    std::optional<recording::WriteAttempt> awaitingVerdict_;
};

} // namespace zr::app
