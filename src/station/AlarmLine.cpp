#include "station/AlarmLine.h"

#include <algorithm>

namespace zr::station {

void AlarmLine::raise(AlarmText alarm) {
    if (std::find(alarms_.begin(), alarms_.end(), alarm) == alarms_.end()) {
        alarms_.push_back(std::move(alarm));
    }
}

void AlarmLine::acknowledge() {
    if (!alarms_.empty()) {
        alarms_.pop_front();
        return;
    }
    failure_.reset();
}

std::optional<std::string> AlarmLine::shown(bool english) const {
    const auto text = [english](const AlarmText& alarm) {
        return english ? alarm.english : alarm.chinese;
    };
    if (!alarms_.empty()) {
        std::string line = text(alarms_.front());
        if (alarms_.size() > 1) {
            line += "  (1/" + std::to_string(alarms_.size()) + ")";
        }
        return line;
    }
    if (failure_) {
        return text(*failure_);
    }
    return std::nullopt;
}

} // namespace zr::station
