#pragma once

#include "register/RegisterTypes.h"

#include <cstdint>
#include <string>

// What the live page over the register shows; each is read by one bounded query.
namespace zr::reg {

// One station's day: attempts since the start of the day by outcome, cards written in the
// recent window, and its latest attempt.
struct StationDay {
    std::string station;
    std::int64_t written = 0;
    std::int64_t failed = 0;        // failed with nothing left on the card
    std::int64_t partlyWritten = 0; // failed, but the card holds (or may hold) its number
    std::int64_t recentWritten = 0;
    WriteRow last;
};

// The card codes a station has written in a group since a time: lowest, highest, and how
// many distinct codes between them.
struct RangeProgress {
    std::string station;
    int group = 0;
    int from = 0;
    int to = 0;
    std::int64_t written = 0;
    std::string lastTime;
};

// A number that more than one card holds.
struct SharedNumber {
    int group = 0;
    int card = 0;
    std::int64_t cards = 0;
};

// A station whose latest attempts all failed: how many since its last written card.
struct FailureRun {
    std::string station;
    std::int64_t failures = 0;
};

} // namespace zr::reg
