#pragma once

#include "station/Station.h"

#include <string>

// Runs of cards: the operator gives the last card code (or a count) in txtRunTarget, and
// automatic recording stops by itself once the run's last number is written. A run only
// counts; it never gives a number itself: the workflow's numbering and the register's number
// rule stay the only source, so a target cannot make a number skipped-and-reused or a card
// reported written early.
namespace zr::recording {

// Sets the run from txtRunTarget: "500" runs to card code 500, "+500" records 500 numbers
// from the card code on, an empty box ends the run. A run not yet complete in the same group
// keeps its counts and only moves its end; otherwise a new run starts at the card code.
void txtRunTarget_LostFocus(station::Station& station);

// The run the number `group:card` belongs to, if it is active and the number lies in it.
bool inRun(const station::RunState& run, const std::string& groupCode, const std::string& cardCode);

// The attempt for `group:requested` was given `claimed` by the register: the numbers in
// between, held by other cards, are counted as skipped. False when the claimed number lies
// past the run's end: nothing may be written then, and the run is complete.
bool takeClaim(station::Station& station, const std::string& groupCode,
               const std::string& requested, const std::string& claimed);

// A card was written with `group:card` (not its own earlier number): counted, and the run is
// complete when it was its last number. The settings save that follows keeps it.
void countWritten(station::Station& station, const std::string& groupCode,
                  const std::string& cardCode);

// A number that stays with a card that failed its verification is passed over.
void countPassedOver(station::Station& station, const std::string& groupCode,
                     const std::string& cardCode);

} // namespace zr::recording
