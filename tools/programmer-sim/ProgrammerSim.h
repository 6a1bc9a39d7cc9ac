#pragma once

#include "Link.h"
#include "ProgrammerModel.h"
#include "RecordFile.h"
#include "ScenarioCommand.h"

#include <QTimer>
#include <chrono>
#include <deque>
#include <optional>
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
    void takeOffCard();
    void swapCard();
    void enqueue(const std::vector<std::string>& uids);
    void note(const Link& link, std::string_view direction, std::string_view text) const;

    SimSettings settings_;
    ProgrammerModel model_;
    RecordFile record_;
    std::vector<Link*> links_;
    std::mt19937 random_;
    bool silent_ = false;
    bool garbleNext_ = false;
    int replyPieces_ = 1;
    // The card queue: the next card is laid swapAfter_ after the present one was last written.
    std::deque<std::string> queue_;
    bool queueInUse_ = false;
    int snatchAtWrite_ = 0; // number writes to let through, plus one; 0: none
    bool loseWriteAnswer_ = false;
    scenario::RefuseLogIn refuseLogIns_{0, false};
    int mutedReads_ = 0;
    std::optional<std::string> uidReply_;
    std::chrono::milliseconds uidDelay_{0};
    std::chrono::milliseconds swapAfter_{500};
    QTimer swapTimer_;
};

} // namespace zr::sim
