#pragma once

#include "register/CardRegister.h"
#include "register/RegisterTypes.h"

#include <cstdint>
#include <string>
#include <vector>

namespace zr::reg {

// What the window's register panel shows: the last cards and today's count, read once after
// each write attempt (never on a timer), so showing it costs no database work.
struct RegisterPanel {
    bool on = false;
    bool readFailed = false;
    std::string unavailable;         // why the register cannot be used now; empty while it can
    std::vector<WriteRow> lastCards; // newest first
    std::int64_t today = 0;
    std::uint64_t revision = 0; // changes with every refresh, so a view redraws only then
};

inline constexpr int kPanelCards = 5;

// Reads the last cards and today's count into `panel`.
void refreshPanel(CardRegister& cards, RegisterPanel& panel);

// The panel's texts in the station's language: the heading line, then one line per card
// (local time, UID, number, outcome).
struct PanelTexts {
    std::string heading;
    std::vector<std::string> rows;
};
PanelTexts panelTexts(const RegisterPanel& panel, bool english);

// A register time (UTC, 2026-12-06T20:28:28.123Z) as the local time of day, "21:28:28";
// the text itself when it is not such a time.
std::string localTimeOfDay(const std::string& utc);

} // namespace zr::reg
