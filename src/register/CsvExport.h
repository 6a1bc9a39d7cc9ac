#pragma once

#include "register/CardRegister.h"

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace zr::reg {

// One CSV field (RFC 4180): quoted, with inner quotes doubled, when it holds a comma, a
// quote, CR or LF; as it is otherwise.
std::string csvField(std::string_view text);

// The header line of the export.
inline constexpr const char* kCsvHeader =
    "id,time_utc,station,uid,group_code,card_code,number,lock,v1,v3,outcome";

// One attempt's line, CR LF included.
std::string csvLine(const WriteRow& row);

// Every write attempt as CSV (UTF-8, CR LF line ends, a header line); with a group or a card
// range in `numbers`, only the attempts on those numbers (a run's delivery file). False when
// the register could not be read; the lines written so far are then incomplete.
bool exportCsv(CardRegister& cardRegister, std::ostream& out, const ListFilter& numbers = {});

// The given attempts in the same format (an order's delivered cards). False when writing
// failed.
bool writeCsv(const std::vector<WriteRow>& rows, std::ostream& out);

} // namespace zr::reg
