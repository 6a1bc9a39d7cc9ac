#include "register/RegisterJournal.h"

#include "base/TextRules.h"

#include <array>
#include <charconv>
#include <vector>

namespace zr::reg {
namespace {

constexpr std::string_view kVersion = "1";
constexpr std::size_t kFields = 11;

std::optional<LayoutOutcome> layoutFrom(std::string_view text) {
    for (const LayoutOutcome outcome : {LayoutOutcome::Skipped, LayoutOutcome::Written,
                                        LayoutOutcome::Failed, LayoutOutcome::Unknown}) {
        if (layoutOutcomeText(outcome) == text) {
            return outcome;
        }
    }
    return std::nullopt;
}

template <typename Number>
std::optional<Number> numberFrom(std::string_view text, Number low, Number high) {
    Number value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

// The texts a row carries come from the station itself (digits, names without tabs); a field
// holding a tab or a line break could not be read back, so such a row is not written at all.
bool plainField(const std::string& text) {
    return text.find_first_of("\t\r\n") == std::string::npos;
}

} // namespace

std::string journalLine(const JournalRow& row) {
    const CardWrite& w = row.write;
    const std::array<std::string, kFields> fields{std::string(kVersion),
                                                  row.where,
                                                  row.time,
                                                  w.uid,
                                                  std::to_string(w.group),
                                                  std::to_string(w.card),
                                                  w.lock ? "1" : "0",
                                                  std::string(layoutOutcomeText(w.v1)),
                                                  std::string(layoutOutcomeText(w.v3)),
                                                  w.written ? "written" : "failed",
                                                  std::to_string(row.attemptId)};
    std::string line;
    for (const std::string& field : fields) {
        line += (line.empty() ? "" : "\t") + field;
    }
    return line;
}

std::optional<JournalRow> parseJournalLine(std::string_view line) {
    std::vector<std::string_view> fields;
    for (std::size_t start = 0;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab - start));
        if (tab == std::string_view::npos || fields.size() > kFields) {
            break;
        }
        start = tab + 1;
    }
    if (fields.size() != kFields || fields[0] != kVersion || fields[1].empty() ||
        fields[2].empty() || !base::isCardUid(fields[3])) {
        return std::nullopt;
    }
    const auto group = numberFrom<int>(fields[4], 0, 65535);
    const auto card = numberFrom<int>(fields[5], 0, 65535);
    const auto v1 = layoutFrom(fields[7]);
    const auto v3 = layoutFrom(fields[8]);
    const auto id = numberFrom<std::int64_t>(fields[10], 0, INT64_MAX);
    const bool lockKnown = fields[6] == "0" || fields[6] == "1";
    const bool outcomeKnown = fields[9] == "written" || fields[9] == "failed";
    if (!group || !card || !v1 || !v3 || !id || !lockKnown || !outcomeKnown) {
        return std::nullopt;
    }
    JournalRow row;
    row.where = fields[1];
    row.time = fields[2];
    row.write = {std::string(fields[3]), *group, *card, fields[6] == "1", *v1, *v3,
                 fields[9] == "written"};
    row.attemptId = *id;
    return row;
}

bool RegisterJournal::keep(const JournalRow& row) {
    if (!plainField(row.where) || !plainField(row.time) || !base::isCardUid(row.write.uid)) {
        return false;
    }
    return file_.append(journalLine(row));
}

std::optional<std::size_t> RegisterJournal::waiting(const std::string& where) {
    const auto lines = file_.read();
    if (!lines) {
        return std::nullopt;
    }
    std::size_t count = 0;
    for (const std::string& line : *lines) {
        const auto row = parseJournalLine(line);
        count += row && row->where == where ? 1 : 0;
    }
    return count;
}

bool RegisterJournal::flushInto(CardRegister& cards) {
    const auto lines = file_.read();
    if (!lines) {
        return false;
    }
    std::vector<std::string> left;
    bool stored = true;
    for (const std::string& line : *lines) {
        const auto row = parseJournalLine(line);
        if (stored && row && row->where == cards.where()) {
            stored = cards.recordWrite(row->write, row->attemptId, row->time);
            if (stored) {
                continue;
            }
        }
        left.push_back(line);
    }
    if (left.size() == lines->size()) {
        return stored;
    }
    return file_.replace(left) && stored;
}

} // namespace zr::reg
