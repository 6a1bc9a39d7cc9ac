#include "ScenarioRunner.h"

#include "Console.h"

#include <array>
#include <cerrno>
#include <fstream>
#include <unistd.h>

namespace zr::sim {

ScenarioRunner::ScenarioRunner(Apply apply) : apply_(std::move(apply)) {
    resume_.setSingleShot(true);
    resume_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&resume_, &QTimer::timeout, [this] {
        paused_ = false;
        runQueued();
    });
}

bool ScenarioRunner::startFile(const std::string& path) {
    std::ifstream file(path);
    if (!file) {
        complain("cannot read the scenario " + path);
        return false;
    }
    std::string text;
    while (std::getline(file, text)) {
        takeLine(std::move(text));
    }
    return true;
}

void ScenarioRunner::startStdin() {
    stdinNotifier_ = std::make_unique<QSocketNotifier>(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(stdinNotifier_.get(), &QSocketNotifier::activated, [this] { readStdin(); });
}

// Reads what is there; lines longer than kMaxLineLength are refused whole.
void ScenarioRunner::readStdin() {
    std::array<char, 4096> buffer{};
    const ssize_t count = ::read(STDIN_FILENO, buffer.data(), buffer.size());
    if (count < 0 && (errno == EINTR || errno == EAGAIN)) {
        return;
    }
    if (count <= 0) {
        stdinNotifier_->setEnabled(false);
        if (!partial_.empty()) {
            takeLine(std::exchange(partial_, {}));
        }
        return;
    }
    for (const char c : std::string_view(buffer.data(), static_cast<std::size_t>(count))) {
        if (c == '\n') {
            if (discardingLongLine_) {
                discardingLongLine_ = false;
                ++lineCount_;
                complain("scenario line " + std::to_string(lineCount_) +
                         " ignored (longer than 1024 characters)");
            } else {
                takeLine(std::exchange(partial_, {}));
            }
        } else if (!discardingLongLine_) {
            partial_ += c;
            if (partial_.size() > kMaxLineLength) {
                partial_.clear();
                discardingLongLine_ = true;
            }
        }
    }
}

void ScenarioRunner::takeLine(std::string text) {
    lines_.push_back({++lineCount_, std::move(text)});
    runQueued();
}

void ScenarioRunner::runQueued() {
    while (!paused_ && !finished_ && !lines_.empty()) {
        const Line line = std::move(lines_.front());
        lines_.pop_front();
        const scenario::ParsedLine parsed = scenario::parseLine(line.text);
        if (!parsed.error.empty()) {
            complain("scenario line " + std::to_string(line.number) + " ignored (" + parsed.error +
                     "): " + line.text);
            continue;
        }
        if (!parsed.command) {
            continue;
        }
        if (const auto* pause = std::get_if<scenario::Pause>(&*parsed.command)) {
            paused_ = true;
            resume_.start(pause->ms);
            continue;
        }
        finished_ = std::holds_alternative<scenario::Quit>(*parsed.command);
        apply_(*parsed.command);
    }
}

} // namespace zr::sim
