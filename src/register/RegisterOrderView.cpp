// The live page's orders: each shown order's progress in one query, its benches in another,
// both through the number index over the order's range, so the cost follows the shown
// orders' rows, not the register's.
#include "register/CardRegister.h"
#include "register/SqlRows.h"

#include <map>

namespace zr::reg {
namespace {

using platform::SqlRow;
using platform::SqlValue;

std::int64_t wide(int value) {
    return value;
}

// The counts of CardRegister::progressOf, over the range of the order aliased o. The written
// numbers less the void ones among them: a void look-up per void card, not per written one.
std::string progressColumns() {
    const std::string range = " group_code = o.group_code AND card_code BETWEEN o.first_card"
                              " AND o.last_card";
    return "(SELECT COUNT(DISTINCT card_code) FROM card_writes WHERE" + range +
           " AND outcome = 'written') - (SELECT COUNT(DISTINCT v.card_code) FROM void_cards v"
           " WHERE v." +
           range.substr(1) +
           " AND EXISTS (SELECT 1 FROM card_writes w WHERE w.group_code = v.group_code AND"
           " w.card_code = v.card_code AND w.outcome = 'written')),"
           " (SELECT COUNT(DISTINCT card_code) FROM void_cards WHERE" +
           range +
           "),"
           " (SELECT COUNT(*) FROM (SELECT card_code FROM card_writes WHERE" +
           range + " AND " + rows::kHoldsNumber +
           " UNION SELECT card_code FROM number_claims WHERE" + range +
           " AND state = 'claimed' UNION SELECT card_code FROM void_cards WHERE" + range +
           ") AS taken)";
}

} // namespace

base::Result<std::vector<OrderAtWork>, RegisterError>
CardRegister::ordersAtWork(const std::string& changedSince, const std::string& recentStart,
                           int limit) {
    std::vector<OrderAtWork> found;
    if (schemaVersion_ < 2) {
        return found;
    }
    if (!query("SELECT o.reference, o.customer, o.group_code, o.first_card, o.last_card,"
               " o.state, o.created_at, o.changed_at, " +
                   progressColumns() +
                   " FROM (SELECT * FROM orders WHERE state = 'open' OR changed_at >= ?"
                   " ORDER BY CASE WHEN state = 'open' THEN 0 ELSE 1 END, created_at, id"
                   " LIMIT ?) o ORDER BY CASE WHEN o.state = 'open' THEN 0 ELSE 1 END,"
                   " o.created_at, o.id",
               {changedSince, wide(limit)}, [&](const SqlRow& row) {
                   OrderAtWork order;
                   Order& o = order.progress.order;
                   o.reference = rows::text(row[0]);
                   o.customer = rows::text(row[1]);
                   o.group = static_cast<int>(rows::number(row[2]));
                   o.first = static_cast<int>(rows::number(row[3]));
                   o.last = static_cast<int>(rows::number(row[4]));
                   o.state = rows::text(row[5]);
                   o.created = rows::text(row[6]);
                   o.changed = rows::text(row[7]);
                   order.progress.written = rows::number(row[8]);
                   order.progress.voided = rows::number(row[9]);
                   order.progress.unfinished = rows::number(row[10]) - order.progress.done();
                   found.push_back(std::move(order));
                   return true;
               })) {
        return error_;
    }
    if (found.empty()) {
        return found;
    }
    std::map<std::string, std::size_t> byReference;
    std::string marks;
    std::vector<SqlValue> parameters{recentStart, recentStart};
    for (std::size_t i = 0; i < found.size(); ++i) {
        byReference[found[i].progress.order.reference] = i;
        marks += i == 0 ? "?" : ", ?";
        parameters.emplace_back(found[i].progress.order.reference);
    }
    constexpr std::int64_t kBenchesPerOrder = 100;
    parameters.emplace_back(static_cast<std::int64_t>(found.size()) * kBenchesPerOrder);
    if (!query("SELECT o.reference, w.station,"
               " COUNT(DISTINCT CASE WHEN w.outcome = 'written' THEN w.card_code END),"
               " COUNT(CASE WHEN w.outcome = 'written' AND w.written_at >= ? THEN 1 END),"
               " MIN(CASE WHEN w.outcome = 'written' AND w.written_at >= ? THEN w.written_at"
               " END), MAX(CASE WHEN w.outcome = 'written' THEN w.written_at END),"
               " MIN(w.written_at), MAX(w.id) FROM orders o JOIN card_writes w ON"
               " w.group_code = o.group_code AND w.card_code BETWEEN o.first_card AND"
               " o.last_card WHERE o.reference IN (" +
                   marks +
                   ") GROUP BY o.reference, w.station ORDER BY o.reference, w.station LIMIT ?",
               parameters, [&](const SqlRow& row) {
                   const auto order = byReference.find(rows::text(row[0]));
                   if (order == byReference.end()) {
                       return true;
                   }
                   found[order->second].benches.push_back({.station = rows::text(row[1]),
                                                           .written = rows::number(row[2]),
                                                           .recentWritten = rows::number(row[3]),
                                                           .firstRecent = rows::text(row[4]),
                                                           .lastCard = rows::text(row[5]),
                                                           .firstAttempt = rows::text(row[6]),
                                                           .lastAttemptId = rows::number(row[7])});
                   return true;
               })) {
        return error_;
    }
    return found;
}

base::Result<std::vector<LatestAttempt>, RegisterError>
CardRegister::latestAttempts(const std::string& since, int limit) {
    std::vector<LatestAttempt> latest;
    if (!query("SELECT station, MAX(id) FROM card_writes WHERE written_at >= ? GROUP BY station"
               " ORDER BY station LIMIT ?",
               {since, wide(limit)}, [&](const SqlRow& row) {
                   latest.push_back({rows::text(row[0]), rows::number(row[1])});
                   return true;
               })) {
        return error_;
    }
    return latest;
}

} // namespace zr::reg
