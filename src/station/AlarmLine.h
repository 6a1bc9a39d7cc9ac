#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>

namespace zr::station {

// A text of the alarm line in both interface languages.
struct AlarmText {
    std::string chinese;
    std::string english;
    bool operator==(const AlarmText&) const = default;
};

// What the alarm line beside the register panel shows. Alarms (a duplicate number averted, a
// card left partly written, register trouble) stay until the operator acknowledges them, one
// at a time, oldest first; the same alarm is not queued twice while it waits. Below them the
// line gives the reason of the last failed attempt, until a card is written.
class AlarmLine {
  public:
    void raise(AlarmText alarm);
    void noteFailure(AlarmText reason) { failure_ = std::move(reason); }
    void clearFailure() { failure_.reset(); }
    // Acknowledges the alarm shown; with none waiting, dismisses the failure's reason.
    void acknowledge();

    // The text shown now, if any, in the chosen language; "(1/3)" follows an alarm when more
    // are waiting behind it.
    std::optional<std::string> shown(bool english) const;
    std::size_t waiting() const { return alarms_.size(); }
    const std::deque<AlarmText>& alarms() const { return alarms_; }

  private:
    std::deque<AlarmText> alarms_;
    std::optional<AlarmText> failure_;
};

} // namespace zr::station
