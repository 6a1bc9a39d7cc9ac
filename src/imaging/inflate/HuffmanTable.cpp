#include "imaging/inflate/HuffmanTable.h"

#include <algorithm>

namespace zr::imaging::detail {
namespace {

constexpr std::array<std::uint16_t, 29> lengthBase{3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                                   15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                                   67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<std::uint8_t, 29> lengthExtra{0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                                   2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<std::uint16_t, 30> distanceBase{
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<std::uint8_t, 30> distanceExtra{0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                     4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                     9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

constexpr unsigned endOfBlockSymbol = 256;
constexpr unsigned firstLengthSymbol = 257;

// The meaning of `symbol`, without the bit count.
std::uint32_t symbolEntry(CodeKind kind, unsigned symbol) {
    switch (kind) {
    case CodeKind::LitLen:
        if (symbol < endOfBlockSymbol) {
            return makeEntry(EntryKind::Literal, symbol);
        }
        if (symbol == endOfBlockSymbol) {
            return makeEntry(EntryKind::EndOfBlock, 0);
        }
        if (symbol - firstLengthSymbol < lengthBase.size()) {
            const unsigned index = symbol - firstLengthSymbol;
            return makeEntry(EntryKind::Base, lengthBase[index], lengthExtra[index]);
        }
        return makeEntry(EntryKind::BadSymbol, 0);
    case CodeKind::Distance:
        if (symbol < distanceBase.size()) {
            return makeEntry(EntryKind::Base, distanceBase[symbol], distanceExtra[symbol]);
        }
        return makeEntry(EntryKind::BadSymbol, 0);
    case CodeKind::CodeLength:
        return makeEntry(EntryKind::Literal, symbol);
    }
    return makeEntry(EntryKind::Invalid, 0);
}

unsigned rootBitsFor(CodeKind kind) {
    switch (kind) {
    case CodeKind::LitLen:
        return litLenRootBits;
    case CodeKind::Distance:
        return distanceRootBits;
    case CodeKind::CodeLength:
        return codeLengthRootBits;
    }
    return codeLengthRootBits;
}

std::size_t capacityFor(CodeKind kind) {
    switch (kind) {
    case CodeKind::LitLen:
        return litLenTableSize;
    case CodeKind::Distance:
        return distanceTableSize;
    case CodeKind::CodeLength:
        return codeLengthTableSize;
    }
    return 0;
}

// Fills every `step`-th entry of `row` from `first` on with `entry`.
void fillStrided(std::span<std::uint32_t> row, unsigned first, unsigned step, std::uint32_t entry) {
    for (std::size_t i = first; i < row.size(); i += step) {
        row[i] = entry;
    }
}

// Steps a bit-reversed `length`-bit code on to the next canonical code.
unsigned nextReversedCode(unsigned code, unsigned length) {
    unsigned increment = 1u << (length - 1);
    while ((code & increment) != 0) {
        increment >>= 1;
    }
    return increment == 0 ? 0 : (code & (increment - 1)) + increment;
}

} // namespace

BuildResult buildTable(CodeKind kind, std::span<const std::uint8_t> lengths,
                       std::span<std::uint32_t> table) {
    const unsigned rootBits = rootBitsFor(kind);
    if (table.size() < capacityFor(kind) || lengths.size() > 288) {
        return BuildResult::OverSubscribed;
    }

    std::array<unsigned, maxCodeLength + 1> count{};
    for (const std::uint8_t length : lengths) {
        if (length > maxCodeLength) {
            return BuildResult::OverSubscribed;
        }
        ++count[length];
    }
    count[0] = 0;
    unsigned longest = maxCodeLength;
    while (longest > 0 && count[longest] == 0) {
        --longest;
    }

    int unused = 1;
    for (unsigned length = 1; length <= maxCodeLength; ++length) {
        unused = unused * 2 - static_cast<int>(count[length]);
        if (unused < 0) {
            return BuildResult::OverSubscribed;
        }
    }
    const bool loneOneBitCode = longest == 1 && count[1] == 1;
    const bool empty = longest == 0;
    if (unused > 0) {
        const bool tolerated = (kind == CodeKind::LitLen && loneOneBitCode) ||
                               (kind == CodeKind::Distance && (loneOneBitCode || empty));
        if (!tolerated) {
            return BuildResult::Incomplete;
        }
    }

    // Symbols in canonical order: by code length, then by symbol value.
    std::array<unsigned, maxCodeLength + 2> offset{};
    for (unsigned length = 1; length <= maxCodeLength; ++length) {
        offset[length + 1] = offset[length] + count[length];
    }
    std::array<std::uint16_t, 288> sorted{};
    for (std::size_t symbol = 0; symbol < lengths.size() && symbol < sorted.size(); ++symbol) {
        if (lengths[symbol] != 0) {
            sorted[offset[lengths[symbol]]++] = static_cast<std::uint16_t>(symbol);
        }
    }
    const unsigned symbolCount = offset[maxCodeLength + 1];

    const unsigned rootSize = 1u << rootBits;
    const std::uint32_t invalid = makeEntry(EntryKind::Invalid, 0) | 1u;
    std::fill(table.begin(), table.begin() + rootSize, invalid);

    unsigned code = 0; // bit-reversed, as the decoder sees it
    unsigned subtableOffset = 0;
    unsigned subtableBits = 0;
    unsigned subtablePrefix = rootSize; // no sub-table open yet
    std::size_t used = rootSize;
    for (unsigned index = 0; index < symbolCount; ++index) {
        const unsigned symbol = sorted[index];
        const unsigned length = lengths[symbol];
        const std::uint32_t meaning = symbolEntry(kind, symbol);
        if (length <= rootBits) {
            fillStrided(table.first(rootSize), code, 1u << length, meaning | length);
        } else {
            const unsigned prefix = code & (rootSize - 1);
            if (prefix != subtablePrefix) {
                // The sub-table must hold every remaining code that starts with this prefix;
                // canonical order puts them all next to each other.
                subtableBits = length - rootBits;
                int room = 1 << subtableBits;
                while (subtableBits + rootBits < longest) {
                    room -= static_cast<int>(count[subtableBits + rootBits]);
                    if (room <= 0) {
                        break;
                    }
                    ++subtableBits;
                    room <<= 1;
                }
                subtableOffset = static_cast<unsigned>(used);
                used += std::size_t{1} << subtableBits;
                if (used > table.size()) {
                    return BuildResult::OverSubscribed;
                }
                table[prefix] =
                    makeEntry(EntryKind::Subtable, subtableOffset, subtableBits) | rootBits;
                subtablePrefix = prefix;
            }
            fillStrided(table.subspan(subtableOffset, std::size_t{1} << subtableBits),
                        code >> rootBits, 1u << (length - rootBits), meaning | (length - rootBits));
        }
        --count[length];
        code = nextReversedCode(code, length);
    }
    return BuildResult::Ok;
}

namespace {

template <typename Table> Table buildFixed(CodeKind kind, std::span<const std::uint8_t> lengths) {
    Table table{};
    buildTable(kind, lengths, table.entries);
    return table;
}

std::array<std::uint8_t, 288> fixedLitLenLengths() {
    std::array<std::uint8_t, 288> lengths{};
    std::fill(lengths.begin(), lengths.begin() + 144, std::uint8_t{8});
    std::fill(lengths.begin() + 144, lengths.begin() + 256, std::uint8_t{9});
    std::fill(lengths.begin() + 256, lengths.begin() + 280, std::uint8_t{7});
    std::fill(lengths.begin() + 280, lengths.end(), std::uint8_t{8});
    return lengths;
}

} // namespace

const LitLenTable& fixedLitLenTable() {
    static const LitLenTable table =
        buildFixed<LitLenTable>(CodeKind::LitLen, fixedLitLenLengths());
    return table;
}

const DistanceTable& fixedDistanceTable() {
    static constexpr std::array<std::uint8_t, 32> lengths = [] {
        std::array<std::uint8_t, 32> all{};
        all.fill(5);
        return all;
    }();
    static const DistanceTable table = buildFixed<DistanceTable>(CodeKind::Distance, lengths);
    return table;
}

} // namespace zr::imaging::detail
