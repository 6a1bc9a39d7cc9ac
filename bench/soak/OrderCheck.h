#pragma once

#include "platform/Database.h"
#include "register/CardRegister.h"
#include "soak/SoakBench.h"

#include <memory>
#include <string>
#include <vector>

// What the cards of an order's benches hold, held against the register and the order.
namespace zr::soak {

struct OrderTally {
    int written = 0;
    int voided = 0;
    std::vector<int> heldUnknown; // card codes held by a card whose write is unknown
};

struct OrderCheck {
    std::vector<std::string> violations;
    OrderTally tally;
    reg::Order order; // as the register has it
};

// Every number on a card is of the order's range and on record under its reference; the order
// is marked complete; every number of the range is written, void, or held by a card whose
// write is unknown.
OrderCheck checkOrder(const std::vector<std::unique_ptr<SoakBench>>& benches,
                      platform::Database& db, reg::CardRegister& cards,
                      const std::string& reference);

} // namespace zr::soak
