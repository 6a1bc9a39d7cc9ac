#pragma once

#include "register/Orders.h"
#include "register/RegisterTypes.h"

#include <cstdint>
#include <string>
#include <vector>

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

// One bench's work on an order's numbers (whoever's order the attempt named): the numbers it
// wrote, its written cards since the start of the recent window and the first of them, its
// latest card, its first attempt, and its latest attempt's row.
struct OrderBench {
    std::string station;
    std::int64_t written = 0;
    std::int64_t recentWritten = 0;
    std::string firstRecent; // empty: none in the window
    std::string lastCard;    // empty: none written
    std::string firstAttempt;
    std::int64_t lastAttemptId = 0;
};

struct OrderAtWork {
    OrderProgress progress;
    std::vector<OrderBench> benches; // by station
};

// A station's latest attempt since a time.
struct LatestAttempt {
    std::string station;
    std::int64_t id = 0;
};

} // namespace zr::reg
