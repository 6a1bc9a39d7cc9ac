// Orders: ranges of card codes that benches work at once, their changes and their progress.
#include "register/CardRegister.h"
#include "register/Schema.h"
#include "register/SqlRows.h"

#include <algorithm>

namespace zr::reg {
namespace {

using platform::SqlEngine;
using platform::SqlRow;
using platform::SqlValue;

std::int64_t wide(int value) {
    return value;
}

constexpr const char* kOrderColumns =
    "reference, customer, group_code, first_card, last_card, state, created_at, changed_at";

Order orderRow(const SqlRow& row) {
    return {rows::text(row[0]),
            rows::text(row[1]),
            static_cast<int>(rows::number(row[2])),
            static_cast<int>(rows::number(row[3])),
            static_cast<int>(rows::number(row[4])),
            rows::text(row[5]),
            rows::text(row[6]),
            rows::text(row[7])};
}

std::string rangeText(int group, int first, int last) {
    return numberText(group, first) + "-" + numberText(group, last);
}

RegisterError refused(const std::string& message) {
    return {RegisterFailure::Refused, message + "; nothing changed"};
}

// Every number of group..first..last that a card holds, a station has claimed or a spoiled
// card keeps, once each.
std::string takenNumbers() {
    return std::string("SELECT card_code FROM card_writes WHERE group_code = ? AND card_code"
                       " BETWEEN ? AND ? AND ") +
           rows::kHoldsNumber +
           " UNION SELECT card_code FROM number_claims WHERE group_code = ? AND card_code"
           " BETWEEN ? AND ? AND state = 'claimed'"
           " UNION SELECT card_code FROM void_cards WHERE group_code = ? AND card_code"
           " BETWEEN ? AND ?";
}

std::vector<SqlValue> thrice(int group, int first, int last) {
    std::vector<SqlValue> values;
    for (int i = 0; i < 3; ++i) {
        values.insert(values.end(), {wide(group), wide(first), wide(last)});
    }
    return values;
}

} // namespace

RegisterError CardRegister::sqlError() {
    return registerError(db_->lastError(), where_);
}

RegisterError CardRegister::changeOrders(const std::function<RegisterError()>& change) {
    error_ = {};
    if (schemaVersion_ < 2) {
        error_ = {RegisterFailure::ReadOnly, "register " + where_ + " was opened to read only"};
        return error_;
    }
    // Two changes at once must not both find a range free: SQLite's write lock is taken at
    // BEGIN, PostgreSQL's table lock here.
    if (!db_->begin() || (db_->engine() == SqlEngine::Postgres &&
                          !db_->exec("LOCK TABLE orders IN SHARE ROW EXCLUSIVE MODE"))) {
        error_ = sqlError();
        db_->rollback();
        return error_;
    }
    RegisterError error = change();
    if (error.kind == RegisterFailure::None && !db_->commit()) {
        error = sqlError();
    }
    if (error.kind != RegisterFailure::None) {
        db_->rollback();
    }
    error_ = error;
    return error;
}

std::optional<Order> CardRegister::findOrder(const std::string& reference, bool& found) {
    found = false;
    if (schemaVersion_ < 2) {
        return Order{};
    }
    Order order;
    if (!query(std::string("SELECT ") + kOrderColumns + " FROM orders WHERE reference = ?",
               {reference}, [&](const SqlRow& row) {
                   order = orderRow(row);
                   found = true;
                   return false;
               })) {
        return std::nullopt;
    }
    return order;
}

std::optional<OrderProgress> CardRegister::progressOf(const Order& order) {
    OrderProgress progress{order};
    const std::int64_t group = order.group;
    const std::int64_t first = order.first;
    const std::int64_t last = order.last;
    std::int64_t taken = 0;
    const auto count = [](std::int64_t& into) {
        return [&into](const SqlRow& row) {
            into = rows::number(row[0]);
            return false;
        };
    };
    if (!query("SELECT COUNT(DISTINCT card_code) FROM card_writes w WHERE group_code = ?"
               " AND card_code BETWEEN ? AND ? AND outcome = 'written' AND NOT EXISTS"
               " (SELECT 1 FROM void_cards v WHERE v.group_code = w.group_code"
               " AND v.card_code = w.card_code)",
               {group, first, last}, count(progress.written)) ||
        !query("SELECT COUNT(DISTINCT card_code) FROM void_cards WHERE group_code = ?"
               " AND card_code BETWEEN ? AND ?",
               {group, first, last}, count(progress.voided)) ||
        !query("SELECT COUNT(*) FROM (" + takenNumbers() + ") AS taken",
               thrice(order.group, order.first, order.last), count(taken))) {
        return std::nullopt;
    }
    progress.unfinished = taken - progress.done();
    return progress;
}

bool CardRegister::completeOrderOf(std::int64_t attemptId, const std::string& now) {
    std::optional<Order> order;
    if (!db_->exec(std::string("SELECT ") + kOrderColumns +
                       " FROM orders WHERE state = 'open' AND reference ="
                       " (SELECT order_ref FROM card_writes WHERE id = ?)",
                   {attemptId}, [&](const SqlRow& row) {
                       order = orderRow(row);
                       return false;
                   })) {
        return false;
    }
    if (!order) {
        return true;
    }
    const auto progress = progressOf(*order);
    if (!progress) {
        return false;
    }
    return progress->done() < order->size() ||
           db_->exec("UPDATE orders SET state = 'complete', changed_at = ? WHERE reference = ?"
                     " AND state = 'open'",
                     {now, order->reference});
}

base::Result<Order, RegisterError> CardRegister::addOrder(const NewOrder& wanted) {
    if (wanted.reference.empty()) {
        return refused("an order needs a reference");
    }
    // Listings are lines of tab-separated fields.
    const auto plain = [](const std::string& text) {
        return std::none_of(text.begin(), text.end(),
                            [](char c) { return static_cast<unsigned char>(c) < 0x20; });
    };
    if (!plain(wanted.reference) || !plain(wanted.customer)) {
        return refused("a reference or customer may not hold tabs, line breaks or control"
                       " characters");
    }
    if (wanted.first > wanted.last) {
        return refused("the range " + rangeText(wanted.group, wanted.first, wanted.last) +
                       " is reversed");
    }
    if (wanted.group < 0 || wanted.group > 65535 || wanted.first < 0 || wanted.last > 65535) {
        return refused("card codes run from 0 to 65535");
    }
    const std::string now = utcText(clock_());
    const Order order{wanted.reference, wanted.customer, wanted.group, wanted.first,
                      wanted.last,      "open",          now,          now};
    const RegisterError error = changeOrders([&]() -> RegisterError {
        bool found = false;
        if (!findOrder(order.reference, found)) {
            return error_;
        }
        if (found) {
            return refused("order " + order.reference + " exists already");
        }
        std::optional<std::string> overlap;
        if (!query("SELECT reference, first_card, last_card FROM orders WHERE group_code = ?"
                   " AND state = 'open' AND first_card <= ? AND last_card >= ? LIMIT 1",
                   {wide(order.group), wide(order.last), wide(order.first)},
                   [&](const SqlRow& row) {
                       overlap = rows::text(row[0]) + " (" +
                                 rangeText(order.group, static_cast<int>(rows::number(row[1])),
                                           static_cast<int>(rows::number(row[2]))) +
                                 ")";
                       return false;
                   })) {
            return error_;
        }
        if (overlap) {
            return refused("the range " + rangeText(order.group, order.first, order.last) +
                           " overlaps the open order " + *overlap);
        }
        std::int64_t taken = 0;
        std::int64_t lowest = 0;
        if (!query("SELECT COUNT(*), MIN(card_code) FROM (" + takenNumbers() + ") AS taken",
                   thrice(order.group, order.first, order.last), [&](const SqlRow& row) {
                       taken = rows::number(row[0]);
                       lowest = rows::number(row[1]);
                       return false;
                   })) {
            return error_;
        }
        if (taken > 0) {
            return refused(std::to_string(taken) +
                           " numbers of the range are on cards already"
                           " (the first: " +
                           numberText(order.group, static_cast<int>(lowest)) + ")");
        }
        if (!db_->exec("INSERT INTO orders (reference, customer, group_code, first_card,"
                       " last_card, state, created_at, changed_at)"
                       " VALUES (?, ?, ?, ?, ?, 'open', ?, ?)",
                       {order.reference, order.customer, wide(order.group), wide(order.first),
                        wide(order.last), now, now})) {
            return sqlError();
        }
        return {};
    });
    if (error.kind != RegisterFailure::None) {
        return error;
    }
    return order;
}

base::Result<std::vector<Order>, RegisterError> CardRegister::openOrders() {
    std::vector<Order> open;
    if (schemaVersion_ < 2) {
        return open;
    }
    if (!query(std::string("SELECT ") + kOrderColumns +
                   " FROM orders WHERE state = 'open' ORDER BY created_at, id",
               {}, [&](const SqlRow& row) {
                   open.push_back(orderRow(row));
                   return true;
               })) {
        return error_;
    }
    return open;
}

base::Result<std::vector<OrderProgress>, RegisterError> CardRegister::orders() {
    std::vector<OrderProgress> all;
    if (schemaVersion_ < 2) {
        return all;
    }
    std::vector<Order> found;
    if (!query(std::string("SELECT ") + kOrderColumns + " FROM orders ORDER BY created_at, id", {},
               [&](const SqlRow& row) {
                   found.push_back(orderRow(row));
                   return true;
               })) {
        return error_;
    }
    for (const Order& order : found) {
        const auto progress = progressOf(order);
        if (!progress) {
            return error_;
        }
        all.push_back(*progress);
    }
    return all;
}

base::Result<OrderProgress, RegisterError>
CardRegister::orderProgress(const std::string& reference) {
    bool found = false;
    const auto order = findOrder(reference, found);
    if (!order) {
        return error_;
    }
    if (!found) {
        return RegisterError{RegisterFailure::UnknownOrder, "no order " + reference};
    }
    const auto progress = progressOf(*order);
    if (!progress) {
        return error_;
    }
    return *progress;
}

std::optional<Order> CardRegister::orderToChange(const std::string& reference, RegisterError& why) {
    bool found = false;
    auto order = findOrder(reference, found);
    if (!order) {
        why = error_;
        return std::nullopt;
    }
    if (!found) {
        why = {RegisterFailure::UnknownOrder, "no order " + reference + "; nothing changed"};
        return std::nullopt;
    }
    return order;
}

base::Result<Order, RegisterError> CardRegister::setOrderState(const std::string& reference,
                                                               const std::string& state) {
    Order changed;
    const RegisterError error = changeOrders([&]() -> RegisterError {
        RegisterError why;
        const auto order = orderToChange(reference, why);
        if (!order) {
            return why;
        }
        if (order->state != "open") {
            return refused("order " + reference + " is " + order->state);
        }
        changed = *order;
        changed.state = state;
        changed.changed = utcText(clock_());
        if (!db_->exec("UPDATE orders SET state = ?, changed_at = ? WHERE reference = ?",
                       {state, changed.changed, reference})) {
            return sqlError();
        }
        return {};
    });
    if (error.kind != RegisterFailure::None) {
        return error;
    }
    return changed;
}

base::Result<Order, RegisterError> CardRegister::closeOrder(const std::string& reference) {
    return setOrderState(reference, "closed");
}

base::Result<Order, RegisterError> CardRegister::cancelOrder(const std::string& reference) {
    return setOrderState(reference, "cancelled");
}

base::Result<Order, RegisterError> CardRegister::extendOrder(const std::string& reference,
                                                             int last) {
    Order changed;
    const RegisterError error = changeOrders([&]() -> RegisterError {
        RegisterError why;
        const auto order = orderToChange(reference, why);
        if (!order) {
            return why;
        }
        if (order->state != "open" && order->state != "complete") {
            return refused("order " + reference + " is " + order->state);
        }
        if (last <= order->last || last > 65535) {
            return refused("order " + reference + " ends at " +
                           numberText(order->group, order->last) +
                           "; it extends only up to a later code, at most 65535");
        }
        const int from = order->last + 1;
        std::optional<std::string> overlap;
        std::int64_t taken = 0;
        if (!query("SELECT reference FROM orders WHERE group_code = ? AND state = 'open'"
                   " AND reference <> ? AND first_card <= ? AND last_card >= ? LIMIT 1",
                   {wide(order->group), reference, wide(last), wide(from)},
                   [&](const SqlRow& row) {
                       overlap = rows::text(row[0]);
                       return false;
                   }) ||
            !query("SELECT COUNT(*) FROM (" + takenNumbers() + ") AS taken",
                   thrice(order->group, from, last), [&](const SqlRow& row) {
                       taken = rows::number(row[0]);
                       return false;
                   })) {
            return error_;
        }
        if (overlap) {
            return refused("the codes " + rangeText(order->group, from, last) +
                           " overlap the open order " + *overlap);
        }
        if (taken > 0) {
            return refused(std::to_string(taken) + " of the codes " +
                           rangeText(order->group, from, last) + " are on cards already");
        }
        changed = *order;
        changed.last = last;
        changed.state = "open";
        changed.changed = utcText(clock_());
        if (!db_->exec("UPDATE orders SET last_card = ?, state = 'open', changed_at = ?"
                       " WHERE reference = ?",
                       {wide(last), changed.changed, reference})) {
            return sqlError();
        }
        return {};
    });
    if (error.kind != RegisterFailure::None) {
        return error;
    }
    return changed;
}

base::Result<VoidCard, RegisterError> CardRegister::voidCard(const std::string& uid,
                                                             const std::string& reason) {
    if (reason.empty()) {
        return refused("a void card needs a reason");
    }
    VoidCard spoiled{uid, 0, 0, reason, utcText(clock_())};
    const RegisterError error = changeOrders([&]() -> RegisterError {
        std::optional<std::int64_t> row;
        if (!query(std::string("SELECT group_code, card_code, id FROM card_writes WHERE uid = ?"
                               " AND ") +
                       rows::kHoldsNumber + " ORDER BY id DESC LIMIT 1",
                   {uid}, [&](const SqlRow& found) {
                       spoiled.group = static_cast<int>(rows::number(found[0]));
                       spoiled.card = static_cast<int>(rows::number(found[1]));
                       row = rows::number(found[2]);
                       return false;
                   })) {
            return error_;
        }
        if (!row) {
            return refused("no written card has the UID " + uid);
        }
        std::int64_t already = 0;
        if (!query("SELECT COUNT(*) FROM void_cards WHERE uid = ? AND group_code = ?"
                   " AND card_code = ?",
                   {uid, wide(spoiled.group), wide(spoiled.card)}, [&](const SqlRow& found) {
                       already = rows::number(found[0]);
                       return false;
                   })) {
            return error_;
        }
        if (already > 0) {
            return refused("card " + uid + " (" + numberText(spoiled.group, spoiled.card) +
                           ") is void already");
        }
        if (!db_->exec(
                "INSERT INTO void_cards (voided_at, station, uid, group_code, card_code,"
                " reason) VALUES (?, ?, ?, ?, ?, ?)",
                {spoiled.time, station_, uid, wide(spoiled.group), wide(spoiled.card), reason}) ||
            !completeOrderOf(*row, spoiled.time)) {
            return sqlError();
        }
        return {};
    });
    if (error.kind != RegisterFailure::None) {
        return error;
    }
    return spoiled;
}

base::Result<std::vector<VoidCard>, RegisterError> CardRegister::voidCards(int group, int first,
                                                                           int last) {
    std::vector<VoidCard> found;
    if (schemaVersion_ < 2) {
        return found;
    }
    if (!query("SELECT uid, group_code, card_code, reason, voided_at FROM void_cards"
               " WHERE group_code = ? AND card_code BETWEEN ? AND ? ORDER BY card_code, id",
               {wide(group), wide(first), wide(last)}, [&](const SqlRow& row) {
                   found.push_back({rows::text(row[0]), static_cast<int>(rows::number(row[1])),
                                    static_cast<int>(rows::number(row[2])), rows::text(row[3]),
                                    rows::text(row[4])});
                   return true;
               })) {
        return error_;
    }
    return found;
}

} // namespace zr::reg
