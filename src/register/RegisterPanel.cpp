#include "register/RegisterPanel.h"

#include <cstdio>
#include <ctime>

namespace zr::reg {
namespace {

std::string outcomeText(const std::string& outcome, bool english) {
    if (outcome == "written") {
        return english ? "written" : "已寫入";
    }
    if (outcome == "failed") {
        return english ? "failed" : "失敗";
    }
    if (outcome == "started") {
        return english ? "unfinished" : "未完成";
    }
    return outcome;
}

} // namespace

void refreshPanel(CardRegister& cards, RegisterPanel& panel) {
    panel.on = true;
    ++panel.revision;
    auto last = cards.lastCards(kPanelCards);
    auto today = cards.countWrittenToday();
    panel.readFailed = !last.ok() || !today.ok();
    if (panel.readFailed) {
        panel.lastCards.clear();
        panel.today = 0;
        return;
    }
    panel.lastCards = last.value();
    panel.today = today.value();
}

PanelTexts panelTexts(const RegisterPanel& panel, bool english) {
    PanelTexts texts;
    if (!panel.on) {
        texts.heading = english ? "Card register is off" : "卡片登錄未開啟";
        return texts;
    }
    if (!panel.unavailable.empty()) {
        texts.heading = (english ? "Card register unavailable, trying again: "
                                 : "卡片登錄無法使用，自動重試中：") +
                        panel.unavailable;
        return texts;
    }
    if (panel.readFailed) {
        texts.heading = english ? "Card register cannot be read" : "卡片登錄無法讀取";
        return texts;
    }
    const std::string count = std::to_string(panel.today);
    texts.heading = english ? "Today: " + count + (panel.today == 1 ? " card" : " cards")
                            : "今日已錄 " + count + " 張卡";
    for (const WriteRow& row : panel.lastCards) {
        texts.rows.push_back(localTimeOfDay(row.time) + "  " + row.uid + "  " +
                             numberText(row.group, row.card) + "  " +
                             outcomeText(row.outcome, english));
    }
    return texts;
}

std::string localTimeOfDay(const std::string& utc) {
    std::tm parts{};
    char zone = 0;
    // Seconds may carry a fraction; the zone letter is checked after it.
    double seconds = 0;
    if (std::sscanf(utc.c_str(), "%4d-%2d-%2dT%2d:%2d:%lf%c", &parts.tm_year, &parts.tm_mon,
                    &parts.tm_mday, &parts.tm_hour, &parts.tm_min, &seconds, &zone) != 7 ||
        zone != 'Z' || seconds < 0 || seconds >= 61) {
        return utc;
    }
    parts.tm_year -= 1900;
    parts.tm_mon -= 1;
    parts.tm_sec = static_cast<int>(seconds);
    const std::time_t when = timegm(&parts);
    std::tm local{};
    if (when == static_cast<std::time_t>(-1) || localtime_r(&when, &local) == nullptr) {
        return utc;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", local.tm_hour, local.tm_min, local.tm_sec);
    return text;
}

} // namespace zr::reg
