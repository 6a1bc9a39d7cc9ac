#pragma once

#include "register/CardRegister.h"
#include "soak/SoakBench.h"

#include <memory>
#include <string>
#include <vector>

// What a soak prints, and the checks that span its benches.
namespace zr::soak {

// The benches' figures summed: cards, attempts, faults by kind, idle after drops.
void printFigures(const char* title, const std::vector<const SoakFigures*>& all);
// Prints the violations (the first 20); the exit status: 1 when there is one.
int report(const std::vector<std::string>& violations);
// Each bench's own violations, a number on cards of several benches, and a number on several
// UIDs in the register (`cards` may be missing: that is a violation too).
std::vector<std::string> acrossBenches(const std::vector<std::unique_ptr<SoakBench>>& benches,
                                       reg::CardRegister* cards);

} // namespace zr::soak
