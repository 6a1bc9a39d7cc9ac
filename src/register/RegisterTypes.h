#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zr::reg {

// What happened to one card layout in a write attempt. Unknown: a write request went out and no
// answer of its own came back (none, late, garbled, or the link dropped), so the card may hold
// the number; such a layout holds its number like a written one.
enum class LayoutOutcome { Skipped, Written, Failed, Unknown };

std::string_view layoutOutcomeText(LayoutOutcome outcome); // "-", "ok", "failed", "unknown"

// One write attempt as the station saw it.
struct CardWrite {
    std::string uid;
    int group = 0;
    int card = 0;
    bool lock = false;
    LayoutOutcome v1 = LayoutOutcome::Skipped;
    LayoutOutcome v3 = LayoutOutcome::Skipped;
    bool written = false; // the whole attempt succeeded
    bool operator==(const CardWrite&) const = default;
};

// A write attempt as the register holds it.
struct WriteRow {
    std::int64_t id = 0;
    std::string time; // UTC, 2026-12-06T20:28:28.123Z
    std::string station;
    std::string uid;
    int group = 0;
    int card = 0;
    bool lock = false;
    std::string v1; // layoutOutcomeText
    std::string v3;
    std::string outcome; // "written" or "failed"
};

// A read-back: the numbers read per layout in display form (empty when nothing was read).
struct CardReadBack {
    std::string uid;
    std::string v1;
    std::string v3;
};

// Whether a read-back shows what the register says the card holds.
enum class Verdict { Matches, Differs, Unregistered };

std::string_view verdictText(Verdict verdict); // "match", "differs", "unregistered"

struct VerificationRow {
    std::int64_t id = 0;
    std::string time;
    std::string station;
    std::string uid;
    std::string v1;
    std::string v3;
    std::string registered; // display form of the registered number, or empty
    std::string verdict;
};

// group:card in five digits each ("00012:00345").
std::string numberText(int group, int card);

} // namespace zr::reg
