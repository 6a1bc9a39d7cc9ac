#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zr::station {

// A run of cards: the numbers from `firstCard` to `lastCard` of one group, recorded one after
// the other. The counts and the range are kept in the settings with the card code, in the
// same atomic save, so a station restarted mid-run goes on where it stopped.
struct RunState {
    std::string groupCode; // five digits; empty: no run
    int firstCard = 0;
    int lastCard = 0;
    int written = 0; // cards reported written with a number of the run
    int skipped = 0; // numbers passed over: another card holds them, or failed verification
    bool complete = false;

    // Not kept: the pace of this session, from its first card on.
    std::optional<std::uint32_t> sessionStartTick;
    int sessionCards = 0;

    bool active() const { return !groupCode.empty() && !complete; }
    int total() const { return lastCard - firstCard + 1; }
    int used() const { return written + skipped; }
};

// The order the bench works, as the register last counted it over every bench. While one is
// taken the run controls show it instead of the run.
struct OrderState {
    std::string reference; // empty: no order
    bool counted = false;  // the register gave the counts below
    std::int64_t ordered = 0;
    std::int64_t written = 0;
    std::int64_t voided = 0;
    std::int64_t free = 0;    // neither written, void nor held by an unfinished card
    std::int64_t perHour = 0; // cards written in the last 15 minutes, times four
};

// A time span as hours, minutes and seconds ("05:54:22"), for what is left of a run or order.
std::string clockText(double ms);

} // namespace zr::station
