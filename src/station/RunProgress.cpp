// How far the run of cards has come, in both languages.
#include "base/CardNumber.h"
#include "station/Station.h"

#include <cstdio>

namespace zr::station {
namespace {

constexpr double kMsPerHour = 3600.0 * 1000.0;

} // namespace

std::string clockText(double ms) {
    const long seconds = static_cast<long>(ms / 1000.0 + 0.5);
    char text[32];
    std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld", seconds / 3600, seconds / 60 % 60,
                  seconds % 60);
    return text;
}

void Station::showRun() {
    if (!order.reference.empty()) {
        showOrder();
        return;
    }
    prgRun.visible = !run.groupCode.empty();
    if (!prgRun.visible) {
        prgRun.value = 0;
        prgRun.text.clear();
        return;
    }
    const bool inEnglish = english();
    prgRun.maximum = run.total();
    prgRun.value = run.used();
    prgRun.text = std::to_string(run.used()) + " / " + std::to_string(run.total());
    if (run.complete) {
        const std::string range = base::displayForm(run.groupCode, base::codeText(run.firstCard)) +
                                  "–" +
                                  base::displayForm(run.groupCode, base::codeText(run.lastCard));
        const std::string cards = std::to_string(run.written);
        std::string text = inEnglish ? "Run complete: " + cards + " cards, " + range
                                     : "批次完成：" + cards + " 張卡片，" + range;
        if (run.skipped > 0) {
            const std::string skipped = std::to_string(run.skipped);
            const char* numbers = run.skipped == 1 ? " number skipped)" : " numbers skipped)";
            text += inEnglish ? " (" + skipped + numbers : "（略過 " + skipped + " 個卡號）";
        }
        lblRunStatus.caption = text;
        return;
    }
    std::string text = inEnglish ? std::to_string(run.skipped) + " skipped"
                                 : "略過 " + std::to_string(run.skipped);
    // The pace is known from the second card of this session on.
    if (run.sessionStartTick && run.sessionCards >= 2) {
        const double elapsedMs =
            static_cast<double>(platform::ticksSince(*run.sessionStartTick, tickCount()));
        if (elapsedMs > 0.0) {
            const double perHour = (run.sessionCards - 1) * kMsPerHour / elapsedMs;
            const double leftMs = (run.total() - run.used()) * kMsPerHour / perHour;
            const std::string pace = std::to_string(static_cast<long>(perHour + 0.5));
            text += inEnglish ? " · " + pace + " cards/h · " + clockText(leftMs) + " left"
                              : " · 每小時 " + pace + " 張 · 剩餘 " + clockText(leftMs);
        }
    }
    lblRunStatus.caption = text;
}

} // namespace zr::station
