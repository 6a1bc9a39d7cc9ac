#include "recording/CardRuns.h"

#include "base/CardNumber.h"
#include "base/TextRules.h"

#include <algorithm>

namespace zr::recording {
namespace {

constexpr int kHighestCode = 65535;

std::optional<int> codeOf(const std::string& text) {
    const auto value = base::parseWholeNumber(base::trimSpaces(text));
    if (!value || *value < 0 || *value > kHighestCode) {
        return std::nullopt;
    }
    return *value;
}

void refuseTarget(station::Station& s, const char* chinese, const char* english) {
    s.showRun();
    s.lblRunStatus.caption = s.say(chinese, english);
}

void noteSessionCard(station::RunState& run, std::uint32_t now) {
    if (!run.sessionStartTick) {
        run.sessionStartTick = now;
    }
    ++run.sessionCards;
}

} // namespace

void txtRunTarget_LostFocus(station::Station& s) {
    if (!s.txtRunTarget.enabled) {
        return;
    }
    const std::string target = base::trimSpaces(s.txtRunTarget.text());
    // Passing through the box that shows the run's end changes nothing.
    if (!s.run.groupCode.empty() && target == std::to_string(s.run.lastCard)) {
        s.showRun();
        return;
    }
    if (target.empty()) {
        s.run = station::RunState{};
        s.SaveStationSettings();
        s.showRun();
        return;
    }
    const auto group = codeOf(s.txtGroupCode.text());
    const auto next = codeOf(s.txtCardCode.text());
    const bool count = target.front() == '+';
    const auto given = codeOf(count ? target.substr(1) : target);
    if (!group || !next || !given || (count && *given == 0)) {
        refuseTarget(s, "批次末號：請輸入末張卡號，或 +張數。",
                     "Run target: enter the last card code, or +count.");
        return;
    }
    const int last = count ? *next + *given - 1 : *given;
    if (last > kHighestCode || last < *next) {
        refuseTarget(s, "批次末號不可小於目前卡號，也不可大於 65535。",
                     "The run's last card code must lie between the card code and 65535.");
        return;
    }
    const std::string groupCode = base::codeText(*group);
    station::RunState& run = s.run;
    if (!run.active() || run.groupCode != groupCode) {
        run = station::RunState{};
        run.groupCode = groupCode;
        run.firstCard = *next;
    }
    run.lastCard = last;
    s.txtRunTarget.setText(std::to_string(last));
    s.SaveStationSettings();
    s.showRun();
}

bool inRun(const station::RunState& run, const std::string& groupCode,
           const std::string& cardCode) {
    const auto group = codeOf(groupCode);
    const auto card = codeOf(cardCode);
    return run.active() && group && card && codeOf(run.groupCode) == group &&
           *card >= run.firstCard && *card <= run.lastCard;
}

bool takeClaim(station::Station& s, const std::string& groupCode, const std::string& requested,
               const std::string& claimed) {
    if (!inRun(s.run, groupCode, requested)) {
        return true;
    }
    const int from = *codeOf(requested);
    const auto to = codeOf(claimed);
    const int passed = (to ? std::min(*to, s.run.lastCard + 1) : from) - from;
    if (passed > 0) {
        s.run.skipped += passed;
    }
    if (to && *to > s.run.lastCard) {
        s.run.complete = true;
        s.SaveStationSettings();
        return false;
    }
    s.showRun();
    return true;
}

void countWritten(station::Station& s, const std::string& groupCode, const std::string& cardCode) {
    if (!inRun(s.run, groupCode, cardCode)) {
        return;
    }
    ++s.run.written;
    noteSessionCard(s.run, s.tickCount());
    s.run.complete = *codeOf(cardCode) == s.run.lastCard || s.run.used() >= s.run.total();
    s.showRun();
}

void countPassedOver(station::Station& s, const std::string& groupCode,
                     const std::string& cardCode) {
    if (!inRun(s.run, groupCode, cardCode)) {
        return;
    }
    ++s.run.skipped;
    s.run.complete = *codeOf(cardCode) == s.run.lastCard || s.run.used() >= s.run.total();
    s.showRun();
}

} // namespace zr::recording
