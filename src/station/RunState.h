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

} // namespace zr::station
