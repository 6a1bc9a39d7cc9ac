#pragma once

#include "platform/DurableLines.h"
#include "register/CardRegister.h"
#include "register/RegisterTypes.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zr::reg {

// A write attempt whose row the register could not take when it happened.
struct JournalRow {
    std::string where; // the register it belongs to
    std::string time;  // UTC, as the register keeps it
    CardWrite write;
    std::int64_t attemptId = 0;
    bool operator==(const JournalRow&) const = default;
};

// One tab-separated line: "1", where, time, uid, group, card, lock, v1, v3, outcome, id.
std::string journalLine(const JournalRow& row);
// Nothing for a line that is not exactly such a row (a torn last line, a foreign file).
std::optional<JournalRow> parseJournalLine(std::string_view line);

// Rows the station could not store in its register, kept on disk until they are stored: a
// card the programmer confirmed is never on record in memory alone. Lines that are not rows
// are left in the file, untouched, for someone to look at.
class RegisterJournal {
  public:
    explicit RegisterJournal(platform::DurableLines& file) : file_(file) {}

    // On disk when it returns true.
    bool keep(const JournalRow& row);
    // Rows waiting for `where`; nothing when the file cannot be read.
    std::optional<std::size_t> waiting(const std::string& where);
    // Stores every row of `cards`'s register, oldest first, and drops the stored ones from the
    // file. False when a row could not be stored or the file not rewritten (what is left
    // stays). Storing a row twice is harmless: it completes its attempt's row again.
    bool flushInto(CardRegister& cards);
    std::string where() const { return file_.where(); }

  private:
    platform::DurableLines& file_;
};

} // namespace zr::reg
