// The live page's views of the register: aggregates over today's rows, each one query with
// a row limit, so a refresh costs the same whatever the register's size beyond today.
#include "register/CardRegister.h"
#include "register/SqlRows.h"

namespace zr::reg {
namespace {

using platform::SqlRow;
using platform::SqlValue;

std::int64_t wide(int value) {
    return value;
}

int code(const SqlValue& value) {
    return static_cast<int>(rows::number(value));
}

// kWriteColumns of the row aliased w.
constexpr const char* kWColumns = "w.id, w.written_at, w.station, w.uid, w.group_code,"
                                  " w.card_code, w.locked, w.v1, w.v3, w.outcome";

} // namespace

base::Result<std::vector<StationDay>, RegisterError>
CardRegister::stationDays(const std::string& dayStart, const std::string& recentStart, int limit) {
    const std::string partly = rows::kPartlyWritten;
    std::vector<StationDay> days;
    if (!query(std::string("SELECT s.station, s.written, s.failed, s.partly, s.recent, ") +
                   kWColumns +
                   " FROM (SELECT station,"
                   " COUNT(CASE WHEN outcome = 'written' THEN 1 END) AS written,"
                   " COUNT(CASE WHEN outcome = 'failed' AND NOT " +
                   partly + " THEN 1 END) AS failed, COUNT(CASE WHEN " + partly +
                   " THEN 1 END) AS partly,"
                   " COUNT(CASE WHEN outcome = 'written' AND written_at >= ? THEN 1 END)"
                   " AS recent, MAX(id) AS last_id FROM card_writes WHERE written_at >= ?"
                   " GROUP BY station) s JOIN card_writes w ON w.id = s.last_id"
                   " ORDER BY s.station LIMIT ?",
               {recentStart, dayStart, wide(limit)}, [&](const SqlRow& row) {
                   StationDay day;
                   day.station = rows::text(row[0]);
                   day.written = rows::number(row[1]);
                   day.failed = rows::number(row[2]);
                   day.partlyWritten = rows::number(row[3]);
                   day.recentWritten = rows::number(row[4]);
                   day.last = rows::writeRow(SqlRow(row.begin() + 5, row.end()));
                   days.push_back(std::move(day));
                   return true;
               })) {
        return error_;
    }
    return days;
}

base::Result<std::vector<RangeProgress>, RegisterError>
CardRegister::rangesSince(const std::string& since, int limit) {
    std::vector<RangeProgress> ranges;
    if (!query("SELECT station, group_code, MIN(card_code), MAX(card_code),"
               " COUNT(DISTINCT card_code), MAX(written_at) FROM card_writes"
               " WHERE written_at >= ? AND outcome = 'written' GROUP BY station, group_code"
               " ORDER BY MAX(written_at) DESC, station, group_code LIMIT ?",
               {since, wide(limit)}, [&](const SqlRow& row) {
                   ranges.push_back({rows::text(row[0]), code(row[1]), code(row[2]), code(row[3]),
                                     rows::number(row[4]), rows::text(row[5])});
                   return true;
               })) {
        return error_;
    }
    return ranges;
}

// Only numbers with an attempt since `since` are looked at (through the number index), so the
// cost follows the day's rows, not the register's; every one is checked against all rows.
base::Result<std::vector<SharedNumber>, RegisterError>
CardRegister::sharedNumbersSince(const std::string& since, int limit) {
    const std::string holds = rows::kHoldsNumber;
    std::vector<SharedNumber> numbers;
    // Materialized, so the day's rows come through the time index; each of their numbers is
    // then counted through the number index on its own (a join would walk the whole index).
    // A number met twice in the day is counted twice, to the same result.
    if (!query("WITH t AS MATERIALIZED (SELECT group_code, card_code FROM card_writes WHERE"
               " written_at >= ? AND " +
                   holds +
                   ") SELECT c.group_code, c.card_code, MAX(c.cards) FROM (SELECT t.group_code,"
                   " t.card_code, (SELECT COUNT(DISTINCT w.uid) FROM card_writes w WHERE"
                   " w.group_code = t.group_code AND w.card_code = t.card_code AND " +
                   holds +
                   ") AS cards FROM t) c WHERE c.cards > 1 GROUP BY c.group_code, c.card_code"
                   " ORDER BY c.group_code, c.card_code LIMIT ?",
               {since, wide(limit)}, [&](const SqlRow& row) {
                   numbers.push_back({code(row[0]), code(row[1]), rows::number(row[2])});
                   return true;
               })) {
        return error_;
    }
    return numbers;
}

base::Result<std::vector<WriteRow>, RegisterError>
CardRegister::openPartlyWritten(const std::string& since, int limit) {
    std::vector<WriteRow> found;
    if (!query(std::string("SELECT ") + kWColumns + " FROM card_writes w WHERE w.written_at >= ?" +
                   " AND " + rows::kPartlyWritten +
                   " AND NOT EXISTS (SELECT 1 FROM card_writes x WHERE x.uid = w.uid"
                   " AND x.id > w.id AND x.outcome = 'written')"
                   " ORDER BY w.written_at DESC, w.id DESC LIMIT ?",
               {since, wide(limit)}, [&](const SqlRow& row) {
                   found.push_back(rows::writeRow(row));
                   return true;
               })) {
        return error_;
    }
    return found;
}

base::Result<std::vector<FailureRun>, RegisterError>
CardRegister::failureRuns(const std::string& since, int atLeast, int limit) {
    std::vector<FailureRun> runs;
    if (!query("SELECT f.station, COUNT(*) FROM card_writes f LEFT JOIN (SELECT station,"
               " MAX(id) AS last_ok FROM card_writes WHERE written_at >= ? AND outcome = 'written'"
               " GROUP BY station) ok ON ok.station = f.station WHERE f.written_at >= ?"
               " AND f.outcome = 'failed' AND f.id > COALESCE(ok.last_ok, 0)"
               " GROUP BY f.station HAVING COUNT(*) >= ? ORDER BY f.station LIMIT ?",
               {since, since, wide(atLeast), wide(limit)}, [&](const SqlRow& row) {
                   runs.push_back({rows::text(row[0]), rows::number(row[1])});
                   return true;
               })) {
        return error_;
    }
    return runs;
}

} // namespace zr::reg
