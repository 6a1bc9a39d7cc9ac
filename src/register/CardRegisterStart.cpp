// Starting a write attempt: which number the card gets, and the row that holds it from
// before the first write request until the outcome is known.
#include "register/CardRegister.h"
#include "register/SqlRows.h"

namespace zr::reg {
namespace {

using platform::SqlRow;

std::int64_t wide(int value) {
    return value;
}

} // namespace

std::optional<int> CardRegister::claimNumber(int group, int card, const std::string& uid) {
    const auto attempt =
        startAttempt(group, card, uid, false,
                     {.sharedSequence = true, .skipHeld = true, .ownNumberFirst = true});
    if (!attempt) {
        return std::nullopt;
    }
    return attempt->card;
}

std::optional<CardRegister::Attempt> CardRegister::startAttempt(int group, int card,
                                                                const std::string& uid, bool lock,
                                                                const NumberRule& rule) {
    return startSpan({.group = group, .from = card, .first = 0, .last = 65535, .order = {}}, uid,
                     lock, rule);
}

std::optional<CardRegister::Attempt>
CardRegister::startOrderAttempt(const std::string& reference, const std::string& uid, bool lock) {
    error_ = {};
    bool found = false;
    const auto order = findOrder(reference, found);
    if (!order) {
        return std::nullopt;
    }
    if (!found) {
        error_ = {RegisterFailure::UnknownOrder, "register " + where_ + ": no order " + reference};
        return std::nullopt;
    }
    if (order->state != "open") {
        error_ = {order->state == "complete" ? RegisterFailure::OrderComplete
                                             : RegisterFailure::OrderNotOpen,
                  "order " + reference + " is " + order->state + "; it gives no more numbers"};
        return std::nullopt;
    }
    auto attempt =
        startSpan({.group = order->group,
                   .from = order->first,
                   .first = order->first,
                   .last = order->last,
                   .order = reference},
                  uid, lock, {.sharedSequence = true, .skipHeld = true, .ownNumberFirst = true});
    if (attempt || error_.kind != RegisterFailure::NoFreeNumber) {
        return attempt;
    }
    const auto progress = progressOf(*order);
    if (!progress) {
        fail();
        return std::nullopt;
    }
    if (progress->unfinished > 0) {
        error_ = {RegisterFailure::OrderWaiting,
                  "order " + reference + ": no free number; waiting on " +
                      std::to_string(progress->unfinished) + " held by unfinished cards"};
        return std::nullopt;
    }
    if (!db_->exec("UPDATE orders SET state = 'complete', changed_at = ?"
                   " WHERE reference = ? AND state = 'open'",
                   {utcText(clock_()), reference})) {
        fail();
        return std::nullopt;
    }
    error_ = {RegisterFailure::OrderComplete,
              "order " + reference + " complete: " + std::to_string(progress->written) + " cards"};
    return std::nullopt;
}

std::optional<CardRegister::Attempt> CardRegister::startSpan(const Span& span,
                                                             const std::string& uid, bool lock,
                                                             const NumberRule& rule) {
    if (refuseUid(uid)) {
        return std::nullopt;
    }
    // The started row only has to outlive this station; the outcome's durable commit right
    // after the write makes it durable with it. One disk flush per card instead of two.
    auto attempt = startLightly(span, uid, lock, rule);
    if (attempt || !connectionLost_) {
        return attempt;
    }
    if (!db_->reconnect()) {
        fail();
        return std::nullopt;
    }
    return startLightly(span, uid, lock, rule);
}

std::optional<CardRegister::Attempt> CardRegister::startLightly(const Span& span,
                                                                const std::string& uid, bool lock,
                                                                const NumberRule& rule) {
    if (!db_->setDurableCommits(false)) {
        connectionLost_ = db_->lastError().kind == platform::SqlFailure::ConnectionLost;
        fail();
        return std::nullopt;
    }
    auto attempt = startOnce(span, uid, lock, rule);
    const RegisterError error = error_;
    const bool lost = connectionLost_;
    if (!db_->setDurableCommits(true) && attempt) {
        connectionLost_ = db_->lastError().kind == platform::SqlFailure::ConnectionLost;
        fail();
        return std::nullopt;
    }
    error_ = error;
    connectionLost_ = lost;
    return attempt;
}

std::optional<int> CardRegister::ownNumber(int group, const std::string& uid) {
    int own = 0;
    if (!db_->exec(std::string("SELECT card_code FROM card_writes WHERE group_code = ? AND uid = ?"
                               " AND NOT EXISTS (SELECT 1 FROM void_cards v"
                               " WHERE v.group_code = card_writes.group_code"
                               " AND v.card_code = card_writes.card_code) AND ") +
                       rows::kHoldsNumber + " ORDER BY id DESC LIMIT 1",
                   {wide(group), uid}, [&](const SqlRow& row) {
                       own = static_cast<int>(rows::number(row[0]));
                       return false;
                   })) {
        return std::nullopt;
    }
    return own;
}

std::optional<std::string> CardRegister::holderOf(int group, int card, const std::string& uid) {
    std::string holder;
    if (!db_->exec(std::string("SELECT uid FROM card_writes WHERE group_code = ? AND card_code = ?"
                               " AND uid <> ? AND ") +
                       rows::kHoldsNumber + " ORDER BY id DESC LIMIT 1",
                   {wide(group), wide(card), uid}, [&](const SqlRow& row) {
                       holder = rows::text(row[0]);
                       return false;
                   })) {
        return std::nullopt;
    }
    if (!holder.empty()) {
        return holder;
    }
    // A spoiled card keeps its number from every card, itself included.
    if (!db_->exec("SELECT uid FROM void_cards WHERE group_code = ? AND card_code = ? LIMIT 1",
                   {wide(group), wide(card)}, [&](const SqlRow& row) {
                       holder = rows::text(row[0]);
                       return false;
                   })) {
        return std::nullopt;
    }
    return holder;
}

std::optional<int> CardRegister::nextFree(int group, int from, int last, const std::string& uid,
                                          bool& none) {
    // The candidates are the first code and the code after each one taken: the lowest free
    // code is one of them, whatever the size of the range.
    const std::string sql =
        std::string("SELECT MIN(c) FROM (SELECT CAST(? AS INTEGER) AS c"
                    " UNION SELECT card_code + 1 FROM card_writes"
                    " WHERE group_code = ? AND card_code BETWEEN ? AND ?"
                    " UNION SELECT card_code + 1 FROM void_cards"
                    " WHERE group_code = ? AND card_code BETWEEN ? AND ?"
                    " UNION SELECT card_code + 1 FROM number_claims"
                    " WHERE group_code = ? AND card_code BETWEEN ? AND ?) AS candidates"
                    " WHERE c <= ? AND NOT EXISTS (SELECT 1 FROM card_writes"
                    " WHERE group_code = ? AND card_code = c AND uid <> ? AND ") +
        rows::kHoldsNumber +
        ") AND NOT EXISTS (SELECT 1 FROM void_cards WHERE group_code = ? AND card_code = c)"
        " AND NOT EXISTS (SELECT 1 FROM number_claims WHERE group_code = ? AND card_code = c"
        " AND uid <> ? AND NOT (station = ? AND state = 'claimed'))";
    const std::int64_t g = group;
    std::optional<int> free;
    if (!db_->exec(sql,
                   {wide(from), g, wide(from), wide(last), g, wide(from), wide(last), g, wide(from),
                    wide(last), wide(last), g, uid, g, g, uid, station_},
                   [&](const SqlRow& row) {
                       if (const auto* code = std::get_if<std::int64_t>(&row[0])) {
                           free = static_cast<int>(*code);
                       }
                       return false;
                   })) {
        return std::nullopt;
    }
    none = !free;
    return free.value_or(0);
}

// A claim is taken over only from this card (laid on another bench) or from this station's
// own open claim, and only if it is still what was read: the update names station, UID and
// state, so a station taking it between the look and the update leaves this one nothing.
std::optional<bool> CardRegister::claim(int group, int card, const std::string& uid,
                                        const std::string& now) {
    std::optional<SqlRow> held;
    if (!db_->exec("SELECT station, uid, state FROM number_claims"
                   " WHERE group_code = ? AND card_code = ?",
                   {wide(group), wide(card)}, [&](const SqlRow& row) {
                       held = row;
                       return false;
                   })) {
        return std::nullopt;
    }
    if (!held) {
        if (!db_->exec("INSERT INTO number_claims (group_code, card_code, station, uid,"
                       " state, claimed_at) VALUES (?, ?, ?, ?, 'claimed', ?)"
                       " ON CONFLICT (group_code, card_code) DO NOTHING",
                       {wide(group), wide(card), station_, uid, now})) {
            return std::nullopt;
        }
        return db_->rowsAffected() == 1;
    }
    const std::string heldStation = rows::text((*held)[0]);
    const std::string heldUid = rows::text((*held)[1]);
    const std::string heldState = rows::text((*held)[2]);
    const bool ownCard = heldUid == uid;
    const bool ownOpenClaim = heldStation == station_ && heldState == "claimed";
    if (!ownCard && !ownOpenClaim) {
        return false;
    }
    if (!db_->exec(
            "UPDATE number_claims SET station = ?, uid = ?, claimed_at = ?"
            " WHERE group_code = ? AND card_code = ? AND station = ? AND uid = ?"
            " AND state = ?",
            {station_, uid, now, wide(group), wide(card), heldStation, heldUid, heldState})) {
        return std::nullopt;
    }
    return db_->rowsAffected() == 1;
}

std::optional<std::int64_t> CardRegister::insertStarted(const Span& span, int card,
                                                        const std::string& uid, bool lock,
                                                        const std::string& time) {
    std::optional<std::int64_t> id;
    const platform::SqlValue order =
        span.order ? platform::SqlValue(*span.order) : platform::SqlValue();
    if (!db_->exec("INSERT INTO card_writes (written_at, station, uid, group_code, card_code,"
                   " locked, v1, v3, outcome, order_ref)"
                   " VALUES (?, ?, ?, ?, ?, ?, '-', '-', 'started', ?) RETURNING id",
                   {time, station_, uid, wide(span.group), wide(card), wide(lock ? 1 : 0), order},
                   [&](const SqlRow& row) {
                       id = rows::number(row[0]);
                       return false;
                   }) ||
        !id) {
        return std::nullopt;
    }
    return id;
}

std::optional<CardRegister::Attempt> CardRegister::startOnce(const Span& span,
                                                             const std::string& uid, bool lock,
                                                             const NumberRule& rule) {
    error_ = {};
    connectionLost_ = false;
    if (!db_->begin()) {
        abandonTransaction();
        return std::nullopt;
    }
    const int group = span.group;
    const std::string now = utcText(clock_());
    Attempt attempt;
    enum class Take { Taken, Passed, Failed };
    const auto take = [&](int candidate) {
        const auto holder = holderOf(group, candidate, uid);
        if (!holder) {
            return Take::Failed;
        }
        if (!holder->empty() && rule.skipHeld) {
            if (!attempt.skippedCard) {
                attempt.skippedCard = candidate;
                attempt.skippedHolder = *holder;
            }
            return Take::Passed;
        }
        if (rule.sharedSequence) {
            const auto claimed = claim(group, candidate, uid, now);
            if (!claimed) {
                return Take::Failed;
            }
            if (!*claimed) {
                return Take::Passed;
            }
        }
        const auto id = insertStarted(span, candidate, uid, lock, now);
        if (!id || !db_->commit()) {
            return Take::Failed;
        }
        attempt.card = candidate;
        attempt.id = *id;
        return Take::Taken;
    };
    const auto done = [&](Take result) -> std::optional<Attempt> {
        if (result == Take::Failed) {
            abandonTransaction();
            return std::nullopt;
        }
        return attempt;
    };

    if (rule.ownNumberFirst) {
        const auto own = ownNumber(group, uid);
        if (!own) {
            return done(Take::Failed);
        }
        if (*own != 0 && *own >= span.first && *own <= span.last) {
            const Take result = take(*own);
            attempt.ownNumber = result == Take::Taken;
            if (result != Take::Passed) {
                return done(result);
            }
        }
    }
    for (int candidate = span.from; candidate <= span.last; ++candidate) {
        if (span.order) {
            bool none = false;
            const auto free = nextFree(group, candidate, span.last, uid, none);
            if (!free) {
                return done(Take::Failed);
            }
            if (none) {
                break;
            }
            candidate = *free;
        }
        const Take result = take(candidate);
        if (result != Take::Passed) {
            return done(result);
        }
    }
    db_->rollback();
    error_ = {RegisterFailure::NoFreeNumber,
              "register " + where_ + ": no free card code from " + std::to_string(span.from) +
                  (span.last < 65535 ? " to " + std::to_string(span.last) : " up") + " in group " +
                  std::to_string(group)};
    return std::nullopt;
}

} // namespace zr::reg
