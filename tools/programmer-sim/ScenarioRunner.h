#pragma once

#include "ScenarioCommand.h"
#include "UniqueFd.h"

#include <QSocketNotifier>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <string>

namespace zr::sim {

// Feeds scenario lines, from a file or from stdin, to the simulator in order; "delay" holds
// back the lines after it. Refused lines are reported on stderr and skipped.
class ScenarioRunner {
  public:
    using Apply = std::function<void(const scenario::Command&)>;

    static constexpr std::size_t kMaxLineLength = 1024;

    explicit ScenarioRunner(Apply apply);

    bool startFile(const std::string& path);
    void startStdin();

  private:
    struct Line {
        int number = 0;
        std::string text;
    };

    void readStdin();
    void takeLine(std::string text);
    void runQueued();

    Apply apply_;
    std::deque<Line> lines_;
    int lineCount_ = 0;
    bool paused_ = false;
    bool finished_ = false;
    bool discardingLongLine_ = false;
    std::string partial_;
    QTimer resume_;
    std::unique_ptr<QSocketNotifier> stdinNotifier_;
};

} // namespace zr::sim
