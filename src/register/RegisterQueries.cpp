// The register's read side: listings, look-ups, counts, duplicates and statistics.
#include "register/CardRegister.h"
#include "register/SqlRows.h"

#include <ctime>
#include <map>

namespace zr::reg {
namespace {

using platform::SqlRow;
using platform::SqlValue;

std::vector<Duplicate> grouped(const std::vector<std::pair<std::string, std::string>>& pairs) {
    std::vector<Duplicate> duplicates;
    for (const auto& [key, holder] : pairs) {
        if (duplicates.empty() || duplicates.back().key != key) {
            duplicates.push_back({key, {}});
        }
        duplicates.back().holders.push_back(holder);
    }
    return duplicates;
}

struct Clause {
    std::string where;
    std::vector<SqlValue> parameters;
    std::string tail;
};

Clause filterClause(const ListFilter& filter) {
    Clause clause{" WHERE 1 = 1", {}, " ORDER BY id"};
    const auto add = [&](const char* condition, SqlValue value) {
        clause.where += condition;
        clause.parameters.push_back(std::move(value));
    };
    if (!filter.since.empty()) {
        add(" AND written_at >= ?", filter.since);
    }
    if (!filter.before.empty()) {
        add(" AND written_at < ?", filter.before);
    }
    if (!filter.station.empty()) {
        add(" AND station = ?", filter.station);
    }
    if (filter.group) {
        add(" AND group_code = ?", std::int64_t{*filter.group});
    }
    if (filter.cardFrom) {
        add(" AND card_code >= ?", std::int64_t{*filter.cardFrom});
    }
    if (filter.cardTo) {
        add(" AND card_code <= ?", std::int64_t{*filter.cardTo});
    }
    if (filter.limit) {
        clause.tail += " LIMIT ?";
        clause.parameters.emplace_back(std::int64_t{*filter.limit});
    }
    return clause;
}

} // namespace

std::chrono::system_clock::time_point
localMidnightBefore(std::chrono::system_clock::time_point now) {
    const std::time_t seconds = std::chrono::system_clock::to_time_t(now);
    std::tm local{};
    localtime_r(&seconds, &local);
    local.tm_hour = 0;
    local.tm_min = 0;
    local.tm_sec = 0;
    local.tm_isdst = -1;
    return std::chrono::system_clock::from_time_t(std::mktime(&local));
}

base::Result<std::vector<WriteRow>, RegisterError>
CardRegister::writeRows(const std::string& where, const std::vector<SqlValue>& parameters,
                        const std::string& tail) {
    std::vector<WriteRow> found;
    if (!query(std::string("SELECT ") + rows::kWriteColumns + " FROM card_writes" + where + tail,
               parameters, [&](const SqlRow& row) {
                   found.push_back(rows::writeRow(row));
                   return true;
               })) {
        return error_;
    }
    return found;
}

base::Result<std::vector<WriteRow>, RegisterError> CardRegister::list(const ListFilter& filter) {
    const Clause clause = filterClause(filter);
    return writeRows(clause.where, clause.parameters, clause.tail);
}

base::Result<std::vector<WriteRow>, RegisterError> CardRegister::lastCards(int count) {
    return writeRows("", {std::int64_t{count}}, " ORDER BY id DESC LIMIT ?");
}

base::Result<std::vector<WriteRow>, RegisterError> CardRegister::findUid(const std::string& uid) {
    return writeRows(" WHERE uid = ?", {uid});
}

base::Result<std::vector<WriteRow>, RegisterError> CardRegister::findNumber(int group, int card) {
    return writeRows(" WHERE group_code = ? AND card_code = ?",
                     {std::int64_t{group}, std::int64_t{card}});
}

base::Result<std::vector<VerificationRow>, RegisterError>
CardRegister::verificationsOf(const std::string& uid) {
    std::vector<VerificationRow> found;
    if (!query("SELECT id, read_at, station, uid, v1, v3, registered, verdict"
               " FROM card_verifications WHERE uid = ? ORDER BY id",
               {uid}, [&](const SqlRow& row) {
                   found.push_back({rows::number(row[0]), rows::text(row[1]), rows::text(row[2]),
                                    rows::text(row[3]), rows::text(row[4]), rows::text(row[5]),
                                    rows::text(row[6]), rows::text(row[7])});
                   return true;
               })) {
        return error_;
    }
    return found;
}

base::Result<std::int64_t, RegisterError>
CardRegister::countWrittenSince(const std::string& since) {
    std::int64_t count = 0;
    if (!query("SELECT COUNT(*) FROM card_writes WHERE outcome = 'written' AND written_at >= ?",
               {since}, [&](const SqlRow& row) {
                   count = rows::number(row[0]);
                   return false;
               })) {
        return error_;
    }
    return count;
}

base::Result<std::int64_t, RegisterError> CardRegister::countWrittenToday() {
    return countWrittenSince(utcText(localMidnightBefore(clock_())));
}

base::Result<std::vector<Duplicate>, RegisterError> CardRegister::numbersOnSeveralUids() {
    const std::string holds = rows::kHoldsNumber;
    std::vector<std::pair<std::string, std::string>> pairs;
    if (!query("SELECT group_code, card_code, uid FROM card_writes WHERE " + holds +
                   " AND (group_code, card_code) IN (SELECT group_code, card_code FROM"
                   " card_writes WHERE " +
                   holds +
                   " GROUP BY group_code, card_code HAVING COUNT(DISTINCT uid) > 1)"
                   " GROUP BY group_code, card_code, uid ORDER BY group_code, card_code, uid",
               {}, [&](const SqlRow& row) {
                   pairs.emplace_back(numberText(static_cast<int>(rows::number(row[0])),
                                                 static_cast<int>(rows::number(row[1]))),
                                      rows::text(row[2]));
                   return true;
               })) {
        return error_;
    }
    return grouped(pairs);
}

base::Result<std::vector<Duplicate>, RegisterError> CardRegister::uidsWithSeveralNumbers() {
    const std::string holds = rows::kHoldsNumber;
    std::vector<std::pair<std::string, std::string>> pairs;
    if (!query("SELECT uid, group_code, card_code FROM card_writes WHERE " + holds +
                   " AND uid IN (SELECT uid FROM card_writes WHERE " + holds +
                   " GROUP BY uid HAVING COUNT(DISTINCT CAST(group_code AS BIGINT) * 65536 + "
                   "card_code) > 1)"
                   " GROUP BY uid, group_code, card_code ORDER BY uid, group_code, card_code",
               {}, [&](const SqlRow& row) {
                   pairs.emplace_back(rows::text(row[0]),
                                      numberText(static_cast<int>(rows::number(row[1])),
                                                 static_cast<int>(rows::number(row[2]))));
                   return true;
               })) {
        return error_;
    }
    return grouped(pairs);
}

base::Result<std::vector<StationHour>, RegisterError> CardRegister::stationHours() {
    std::vector<StationHour> hours;
    if (!query("SELECT station, SUBSTR(written_at, 1, 13), COUNT(*),"
               " COUNT(CASE WHEN outcome <> 'written' THEN 1 END) FROM card_writes"
               " GROUP BY station, SUBSTR(written_at, 1, 13)"
               " ORDER BY SUBSTR(written_at, 1, 13), station",
               {}, [&](const SqlRow& row) {
                   hours.push_back({rows::text(row[0]), rows::text(row[1]), rows::number(row[2]),
                                    rows::number(row[3])});
                   return true;
               })) {
        return error_;
    }
    return hours;
}

bool CardRegister::forEachWrite(const std::function<bool(const WriteRow&)>& onRow,
                                const ListFilter& filter) {
    const Clause clause = filterClause(filter);
    return query(std::string("SELECT ") + rows::kWriteColumns + " FROM card_writes" + clause.where +
                     clause.tail,
                 clause.parameters, [&](const SqlRow& row) { return onRow(rows::writeRow(row)); });
}

} // namespace zr::reg
