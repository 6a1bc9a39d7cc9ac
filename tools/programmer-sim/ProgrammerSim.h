#pragma once

#include "Link.h"
#include "ProgrammerModel.h"
#include "RecordFile.h"
#include "ScenarioCommand.h"

#include <chrono>
#include <random>
#include <vector>

namespace zr::sim {

struct SimSettings {
    ProgrammerKeys keys;
    std::chrono::milliseconds replyDelay{20};
    bool verbose = false;
};

// The programmer behind every link: one card model shared by all links, plus the line faults
// that a scenario switches on.
class ProgrammerSim {
  public:
    explicit ProgrammerSim(SimSettings settings);

    bool openRecord(const std::string& path);
    // The link must outlive the simulator's use of it.
    void attach(Link& link);
    // Every scenario command but the pause, which belongs to the scenario's own pace.
    void apply(const scenario::Command& command);

  private:
    void onPiece(Link& link, const CutPiece& piece);
    QByteArray garbage();
    void note(const Link& link, std::string_view direction, std::string_view text) const;

    SimSettings settings_;
    ProgrammerModel model_;
    RecordFile record_;
    std::vector<Link*> links_;
    std::mt19937 random_;
    bool silent_ = false;
    bool garbleNext_ = false;
    int replyPieces_ = 1;
};

} // namespace zr::sim
