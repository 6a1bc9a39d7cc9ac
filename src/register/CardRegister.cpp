#include "register/CardRegister.h"

#include "base/TextRules.h"
#include "register/Schema.h"
#include "register/SqlRows.h"

#include <ctime>

namespace zr::reg {
namespace {

using platform::SqlEngine;
using platform::SqlFailure;
using platform::SqlRow;
using platform::SqlValue;

std::int64_t wide(int value) {
    return value;
}

} // namespace

std::string utcText(std::chrono::system_clock::time_point time) {
    const auto millis =
        std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count();
    const std::time_t seconds = static_cast<std::time_t>(millis / 1000);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[96]; // room for any int the format could meet
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", utc.tm_year + 1900,
                  utc.tm_mon + 1, utc.tm_mday, utc.tm_hour, utc.tm_min, utc.tm_sec,
                  static_cast<int>(millis % 1000));
    return text;
}

CardRegister::CardRegister(std::unique_ptr<platform::Database> db, std::string where,
                           std::string station, Clock clock, int schemaVersion)
    : db_(std::move(db)), where_(std::move(where)), station_(std::move(station)),
      clock_(std::move(clock)), schemaVersion_(schemaVersion) {}

CardRegister::Result CardRegister::open(std::unique_ptr<platform::Database> db, std::string where,
                                        std::string station, Access access, Clock clock) {
    RegisterError error;
    const auto version = reg::schemaVersion(*db, where, error);
    if (!version) {
        return error;
    }
    // A reader leaves an older register as it is: what it reads is in every version, and a
    // register without orders simply has none.
    if (access == Access::ReadOnly && *version >= 1 && *version < kSchemaVersion) {
        return std::shared_ptr<CardRegister>(new CardRegister(
            std::move(db), std::move(where), std::move(station), std::move(clock), *version));
    }
    error = migrateSchema(*db, where);
    if (error.kind == RegisterFailure::Unavailable && db->engine() == SqlEngine::Postgres) {
        // Two stations creating an empty shared register at once: the loser's CREATE can
        // collide in the catalogue; the second try finds the winner's tables.
        error = migrateSchema(*db, where);
    }
    if (error.kind != RegisterFailure::None) {
        return error;
    }
    if (access == Access::ReadWrite) {
        // A file that opens but refuses writes would otherwise fail only at the first card.
        if (!db->begin() || !db->exec("UPDATE register_schema SET version = version")) {
            error = registerError(db->lastError(), where);
            db->rollback();
            return error;
        }
        db->rollback();
    }
    return std::shared_ptr<CardRegister>(new CardRegister(
        std::move(db), std::move(where), std::move(station), std::move(clock), kSchemaVersion));
}

bool CardRegister::fail() {
    error_ = registerError(db_->lastError(), where_);
    return false;
}

bool CardRegister::query(const std::string& sql, const std::vector<SqlValue>& parameters,
                         const platform::SqlRowHandler& onRow) {
    bool delivered = false;
    const platform::SqlRowHandler counted = [&](const SqlRow& row) {
        delivered = true;
        return onRow(row);
    };
    if (db_->exec(sql, parameters, onRow ? counted : onRow)) {
        return true;
    }
    // Asked again only when the caller has seen none of the rows, so none comes twice.
    if (!delivered && db_->lastError().kind == SqlFailure::ConnectionLost && db_->reconnect() &&
        db_->exec(sql, parameters, onRow)) {
        return true;
    }
    return fail();
}

bool CardRegister::refuseUid(const std::string& uid) {
    if (base::isCardUid(uid)) {
        return false;
    }
    error_ = {RegisterFailure::NotAUid,
              "register " + where_ + ": '" + uid +
                  "' is not a card UID (ten digits, two halves up to 65535); the row is refused"};
    return true;
}

bool CardRegister::recordWrite(const CardWrite& write, std::int64_t attemptId, std::string time) {
    if (refuseUid(write.uid)) {
        return false;
    }
    error_ = {};
    return storeWrite({time.empty() ? utcText(clock_()) : std::move(time), write, attemptId});
}

bool CardRegister::writable() {
    error_ = {};
    connectionLost_ = false;
    if (db_->begin() && db_->exec("UPDATE register_schema SET version = version") &&
        db_->rollback()) {
        return true;
    }
    abandonTransaction();
    if (connectionLost_ && db_->reconnect() && db_->begin() &&
        db_->exec("UPDATE register_schema SET version = version") && db_->rollback()) {
        error_ = {};
        return true;
    }
    return false;
}

bool CardRegister::storeWrite(const PendingWrite& row) {
    if (storeWriteOnce(row)) {
        return true;
    }
    if (!connectionLost_) {
        return false;
    }
    if (!db_->reconnect()) {
        return fail();
    }
    return storeWriteOnce(row);
}

bool CardRegister::storeWriteOnce(const PendingWrite& row) {
    const CardWrite& write = row.write;
    connectionLost_ = false;
    if (!db_->begin()) {
        return abandonTransaction();
    }
    const std::vector<SqlValue> values{row.time,
                                       station_,
                                       write.uid,
                                       wide(write.group),
                                       wide(write.card),
                                       wide(write.lock ? 1 : 0),
                                       std::string(layoutOutcomeText(write.v1)),
                                       std::string(layoutOutcomeText(write.v3)),
                                       std::string(write.written ? "written" : "failed")};
    bool stored = false;
    if (row.attemptId != 0) {
        std::vector<SqlValue> update(values);
        update.emplace_back(row.attemptId);
        stored = db_->exec("UPDATE card_writes SET written_at = ?, station = ?, uid = ?,"
                           " group_code = ?, card_code = ?, locked = ?, v1 = ?, v3 = ?,"
                           " outcome = ? WHERE id = ?",
                           update);
        stored = stored && db_->rowsAffected() == 1;
    }
    if (!stored && db_->lastError().kind == SqlFailure::None) {
        stored = db_->exec("INSERT INTO card_writes (written_at, station, uid, group_code,"
                           " card_code, locked, v1, v3, outcome)"
                           " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)",
                           values);
    }
    stored =
        stored &&
        (!write.written || db_->exec("UPDATE number_claims SET state = 'written', uid = ?"
                                     " WHERE group_code = ? AND card_code = ? AND station = ?",
                                     {write.uid, wide(write.group), wide(write.card), station_})) &&
        (!write.written || row.attemptId == 0 || completeOrderOf(row.attemptId, row.time)) &&
        db_->commit();
    return stored || abandonTransaction();
}

bool CardRegister::abandonTransaction() {
    connectionLost_ = db_->lastError().kind == SqlFailure::ConnectionLost;
    fail();
    db_->rollback();
    return false;
}

std::optional<Verdict> CardRegister::recordReadBack(const CardReadBack& readBack) {
    std::optional<SqlRow> registered;
    if (!query(std::string("SELECT group_code, card_code, v1, v3 FROM card_writes WHERE uid = ?"
                           " AND ") +
                   rows::kHoldsNumber + " ORDER BY id DESC LIMIT 1",
               {readBack.uid}, [&](const SqlRow& row) {
                   registered = row;
                   return false;
               })) {
        return std::nullopt;
    }
    Verdict verdict = Verdict::Unregistered;
    std::string number;
    if (registered) {
        number = numberText(static_cast<int>(rows::number((*registered)[0])),
                            static_cast<int>(rows::number((*registered)[1])));
        const bool v1Holds = rows::text((*registered)[2]) == "ok";
        const bool v3Holds = rows::text((*registered)[3]) == "ok";
        const bool v1Good = !v1Holds || readBack.v1 == number;
        const bool v3Good = !v3Holds || readBack.v3 == number;
        verdict = v1Good && v3Good ? Verdict::Matches : Verdict::Differs;
    }
    if (!query("INSERT INTO card_verifications (read_at, station, uid, v1, v3, registered,"
               " verdict) VALUES (?, ?, ?, ?, ?, ?, ?)",
               {utcText(clock_()), station_, readBack.uid, readBack.v1, readBack.v3, number,
                std::string(verdictText(verdict))},
               {})) {
        return std::nullopt;
    }
    return verdict;
}

base::Result<std::optional<std::string>, RegisterError>
CardRegister::otherUidWith(int group, int card, const std::string& uid) {
    std::optional<std::string> other;
    if (!query(std::string("SELECT uid FROM card_writes WHERE group_code = ? AND card_code = ?"
                           " AND uid <> ? AND ") +
                   rows::kHoldsNumber + " ORDER BY id DESC LIMIT 1",
               {wide(group), wide(card), uid}, [&](const SqlRow& row) {
                   other = rows::text(row[0]);
                   return false;
               })) {
        return error_;
    }
    return other;
}

} // namespace zr::reg
