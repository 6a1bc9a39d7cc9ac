#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace zr::imaging::detail {

// One lookup-table entry, packed into 32 bits so a table row is a single load:
//   bits 0..3   bits the entry consumes (code length, or the root width for a sub-table link)
//   bits 4..7   kind
//   bits 8..11  extra bits that follow the code, or the index width of a linked sub-table
//   bits 16..31 literal byte, base length or distance, or the sub-table's offset
enum class EntryKind : std::uint32_t {
    Invalid = 0, // no code maps here (incomplete code)
    Literal = 1,
    Base = 2, // length or distance: base value plus extra bits
    EndOfBlock = 3,
    Subtable = 4,
    BadSymbol = 5, // a code the format assigns but forbids (lengths 286/287, distances 30/31)
};

constexpr unsigned entryBits(std::uint32_t entry) {
    return entry & 0xFu;
}
constexpr EntryKind entryKind(std::uint32_t entry) {
    return EntryKind{(entry >> 4) & 0xFu};
}
constexpr unsigned entryExtra(std::uint32_t entry) {
    return (entry >> 8) & 0xFu;
}
constexpr unsigned entryValue(std::uint32_t entry) {
    return entry >> 16;
}

constexpr std::uint32_t makeEntry(EntryKind kind, unsigned value, unsigned extra = 0) {
    return (static_cast<std::uint32_t>(value) << 16) | (extra << 8) |
           (static_cast<std::uint32_t>(kind) << 4);
}

constexpr unsigned maxCodeLength = 15;
constexpr unsigned litLenRootBits = 11;
constexpr unsigned distanceRootBits = 8;
constexpr unsigned codeLengthRootBits = 7;

// Worst-case table sizes (root table plus every sub-table) for complete codes over 288
// length/literal symbols with an 11-bit root and 32 distance symbols with an 8-bit root.
constexpr std::size_t litLenTableSize = 2342;
constexpr std::size_t distanceTableSize = 402;
constexpr std::size_t codeLengthTableSize = 1u << codeLengthRootBits;

// Which code a table decodes; decides the meaning of each symbol and which incomplete codes
// are tolerated (a lone one-bit code for lengths/literals and distances, an empty distance code).
enum class CodeKind { LitLen, Distance, CodeLength };

enum class BuildResult { Ok, OverSubscribed, Incomplete };

// Builds the decoding table for the canonical code with the given per-symbol code lengths
// (0 = unused). `table` must hold at least the worst-case size for `kind`.
BuildResult buildTable(CodeKind kind, std::span<const std::uint8_t> lengths,
                       std::span<std::uint32_t> table);

struct LitLenTable {
    std::array<std::uint32_t, litLenTableSize> entries;
};
struct DistanceTable {
    std::array<std::uint32_t, distanceTableSize> entries;
};

// The block tables of the fixed code, built once.
const LitLenTable& fixedLitLenTable();
const DistanceTable& fixedDistanceTable();

} // namespace zr::imaging::detail
