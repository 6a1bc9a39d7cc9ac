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
    if (refuseUid(uid)) {
        return std::nullopt;
    }
    // The started row only has to outlive this station; the outcome's durable commit right
    // after the write makes it durable with it. One disk flush per card instead of two.
    auto attempt = startLightly(group, card, uid, lock, rule);
    if (attempt || !connectionLost_) {
        return attempt;
    }
    if (!db_->reconnect()) {
        fail();
        return std::nullopt;
    }
    return startLightly(group, card, uid, lock, rule);
}

std::optional<CardRegister::Attempt> CardRegister::startLightly(int group, int card,
                                                                const std::string& uid, bool lock,
                                                                const NumberRule& rule) {
    if (!db_->setDurableCommits(false)) {
        connectionLost_ = db_->lastError().kind == platform::SqlFailure::ConnectionLost;
        fail();
        return std::nullopt;
    }
    auto attempt = startOnce(group, card, uid, lock, rule);
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
                               " AND ") +
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
    return holder;
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

std::optional<std::int64_t> CardRegister::insertStarted(int group, int card, const std::string& uid,
                                                        bool lock, const std::string& time) {
    std::optional<std::int64_t> id;
    if (!db_->exec("INSERT INTO card_writes (written_at, station, uid, group_code, card_code,"
                   " locked, v1, v3, outcome) VALUES (?, ?, ?, ?, ?, ?, '-', '-', 'started')"
                   " RETURNING id",
                   {time, station_, uid, wide(group), wide(card), wide(lock ? 1 : 0)},
                   [&](const SqlRow& row) {
                       id = rows::number(row[0]);
                       return false;
                   }) ||
        !id) {
        return std::nullopt;
    }
    return id;
}

std::optional<CardRegister::Attempt> CardRegister::startOnce(int group, int card,
                                                             const std::string& uid, bool lock,
                                                             const NumberRule& rule) {
    error_ = {};
    connectionLost_ = false;
    if (!db_->begin()) {
        abandonTransaction();
        return std::nullopt;
    }
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
        const auto id = insertStarted(group, candidate, uid, lock, now);
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
        if (*own != 0) {
            const Take result = take(*own);
            attempt.ownNumber = result == Take::Taken;
            if (result != Take::Passed) {
                return done(result);
            }
        }
    }
    for (int candidate = card; candidate <= 65535; ++candidate) {
        const Take result = take(candidate);
        if (result != Take::Passed) {
            return done(result);
        }
    }
    db_->rollback();
    error_ = {RegisterFailure::NoFreeNumber, "register " + where_ + ": no free card code from " +
                                                 std::to_string(card) + " up in group " +
                                                 std::to_string(group)};
    return std::nullopt;
}

} // namespace zr::reg
