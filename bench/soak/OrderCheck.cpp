#include "soak/OrderCheck.h"

#include "register/SqlRows.h"

#include <map>
#include <set>
#include <tuple>

namespace zr::soak {
namespace {

using Holding = std::tuple<std::string, int, int>; // UID, group, card

// The order's rows in the register: who holds which number, and which numbers are written.
struct OrderRows {
    std::set<Holding> held;
    std::set<int> heldCodes;
    std::set<int> writtenCodes;
};

bool readRows(platform::Database& db, const reg::Order& order, OrderRows& rows) {
    return db.exec("SELECT uid, group_code, card_code, outcome, v1, v3 FROM card_writes"
                   " WHERE order_ref = ?",
                   {order.reference}, [&](const platform::SqlRow& row) {
                       const std::string outcome = reg::rows::text(row[3]);
                       const std::string v1 = reg::rows::text(row[4]);
                       const std::string v3 = reg::rows::text(row[5]);
                       const int group = static_cast<int>(reg::rows::number(row[1]));
                       const int card = static_cast<int>(reg::rows::number(row[2]));
                       const bool holds = outcome == "written" || outcome == "started" ||
                                          v1 == "ok" || v1 == "unknown" || v3 == "ok" ||
                                          v3 == "unknown";
                       if (holds) {
                           rows.held.emplace(reg::rows::text(row[0]), group, card);
                           rows.heldCodes.insert(group == order.group ? card : -1);
                       }
                       if (outcome == "written" && group == order.group) {
                           rows.writtenCodes.insert(card);
                       }
                       return true;
                   });
}

void checkCards(const std::vector<std::unique_ptr<SoakBench>>& benches, const reg::Order& order,
                const OrderRows& rows, std::vector<std::string>& violations) {
    for (const auto& bench : benches) {
        for (const auto& [uid, memory] : bench->cardsHeld()) {
            for (const int sector : {sim::kV1Sector, sim::kV3Sector}) {
                const auto& number = memory == nullptr
                                         ? std::nullopt
                                         : memory->numbers[static_cast<std::size_t>(sector)];
                if (!number) {
                    continue;
                }
                const std::string text = reg::numberText(number->group, number->card);
                if (number->group != order.group || number->card < order.first ||
                    number->card > order.last) {
                    violations.push_back("card " + uid + " holds " + text +
                                         ", outside the range of order " + order.reference);
                } else if (!rows.held.contains({uid, number->group, number->card})) {
                    violations.push_back("card " + uid + " holds " + text +
                                         ", which the register does not give it under order " +
                                         order.reference);
                }
            }
        }
    }
}

} // namespace

OrderCheck checkOrder(const std::vector<std::unique_ptr<SoakBench>>& benches,
                      platform::Database& db, reg::CardRegister& cards,
                      const std::string& reference) {
    OrderCheck check;
    const auto progress = cards.orderProgress(reference);
    if (!progress.ok()) {
        check.violations.push_back("order " + reference + " cannot be read");
        return check;
    }
    check.order = progress.value().order;
    const reg::Order& order = check.order;
    if (order.state != "complete") {
        check.violations.push_back("order " + reference + " is " + order.state + ", not complete");
    }
    OrderRows rows;
    const auto voided = cards.voidCards(order.group, order.first, order.last);
    if (!readRows(db, order, rows) || !voided.ok()) {
        check.violations.push_back("the rows of order " + reference + " cannot be read");
        return check;
    }
    checkCards(benches, order, rows, check.violations);
    std::set<int> voidCodes;
    for (const reg::VoidCard& card : voided.value()) {
        voidCodes.insert(card.card);
    }
    std::vector<int> missing;
    for (int code = order.first; code <= order.last; ++code) {
        if (voidCodes.contains(code)) {
            ++check.tally.voided;
        } else if (rows.writtenCodes.contains(code)) {
            ++check.tally.written;
        } else if (rows.heldCodes.contains(code)) {
            check.tally.heldUnknown.push_back(code);
        } else {
            missing.push_back(code);
        }
    }
    if (order.state == "complete" && !check.tally.heldUnknown.empty()) {
        check.violations.push_back("order " + reference + " is marked complete while " +
                                   std::to_string(check.tally.heldUnknown.size()) +
                                   " of its numbers are neither written nor void");
    }
    if (!missing.empty()) {
        check.violations.push_back(std::to_string(missing.size()) + " numbers of order " +
                                   reference + " are neither written, void nor on a card, from " +
                                   reg::numberText(order.group, missing.front()));
    }
    return check;
}

} // namespace zr::soak
