#pragma once

#include "platform/Database.h"
#include "register/RegisterTypes.h"

#include <cstdint>
#include <string>

// Reading the register's columns, whatever type the engine hands back.
namespace zr::reg::rows {

inline std::int64_t number(const platform::SqlValue& value) {
    if (const auto* whole = std::get_if<std::int64_t>(&value)) {
        return *whole;
    }
    return 0;
}

inline std::string text(const platform::SqlValue& value) {
    if (const auto* string = std::get_if<std::string>(&value)) {
        return *string;
    }
    if (const auto* whole = std::get_if<std::int64_t>(&value)) {
        return std::to_string(*whole);
    }
    return {};
}

inline constexpr const char* kWriteColumns =
    "id, written_at, station, uid, group_code, card_code, locked, v1, v3, outcome";

inline WriteRow writeRow(const platform::SqlRow& row) {
    WriteRow write;
    write.id = number(row[0]);
    write.time = text(row[1]);
    write.station = text(row[2]);
    write.uid = text(row[3]);
    write.group = static_cast<int>(number(row[4]));
    write.card = static_cast<int>(number(row[5]));
    write.lock = number(row[6]) != 0;
    write.v1 = text(row[7]);
    write.v3 = text(row[8]);
    write.outcome = text(row[9]);
    return write;
}

// A row whose card holds (or may hold) its number: the whole attempt succeeded, one layout
// did (a failed V3 write after a good V1 write leaves the number in V1), a layout's write went
// unanswered and may have landed, or the attempt began and its outcome never came (the station
// died mid-write).
inline constexpr const char* kHoldsNumber =
    "(outcome IN ('written', 'started') OR v1 IN ('ok', 'unknown') OR v3 IN ('ok', 'unknown'))";

// A failed attempt that left its number on the card all the same (or may have): the card
// needs the operator's eye.
inline constexpr const char* kPartlyWritten =
    "(outcome = 'failed' AND (v1 IN ('ok', 'unknown') OR v3 IN ('ok', 'unknown')))";

} // namespace zr::reg::rows
