#include "imaging/inflate/Inflate.h"

#include "imaging/inflate/BitReader.h"
#include "imaging/inflate/HuffmanBlock.h"
#include "imaging/inflate/HuffmanTable.h"

#include <algorithm>
#include <array>

namespace zr::imaging {
namespace {

using detail::BitReader;
using detail::OutputWindow;

constexpr std::size_t zlibHeaderSize = 2;
constexpr unsigned maxLitLenCodes = 286;
constexpr unsigned maxDistanceCodes = 30;

// The order in which a dynamic block sends the code lengths of the code-length alphabet.
constexpr std::array<std::uint8_t, 19> codeLengthOrder{16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                       11, 4,  12, 3, 13, 2, 14, 1, 15};

InflateStatus inflateStored(BitReader& bits, OutputWindow& output) {
    const std::span<const std::uint8_t> rest = bits.alignAndRelease();
    if (rest.size() < 4) {
        return InflateStatus::Truncated;
    }
    const std::size_t length = rest[0] | (std::size_t{rest[1]} << 8);
    const std::size_t complement = rest[2] | (std::size_t{rest[3]} << 8);
    if ((length ^ complement) != 0xFFFF) {
        return InflateStatus::BadStoredLength;
    }
    if (length > output.buffer.size() - output.written) {
        return InflateStatus::OutputOverflow;
    }
    if (length > rest.size() - 4) {
        return InflateStatus::Truncated;
    }
    std::copy_n(rest.begin() + 4, length,
                output.buffer.begin() + static_cast<std::ptrdiff_t>(output.written));
    output.written += length;
    bits.skipBytes(4 + length);
    return InflateStatus::Ok;
}

// Reads the run-length coded code lengths of a dynamic block into `lengths`.
InflateStatus readCodeLengths(BitReader& bits, const std::uint32_t* codeLengthTable,
                              std::span<std::uint8_t> lengths) {
    std::size_t filled = 0;
    while (filled < lengths.size()) {
        std::uint32_t entry = 0;
        const InflateStatus status =
            detail::decodeEntry(bits, codeLengthTable, detail::codeLengthRootBits, entry);
        if (status != InflateStatus::Ok) {
            return status == InflateStatus::BadSymbol ? InflateStatus::BadCodeLengths : status;
        }
        const unsigned symbol = detail::entryValue(entry);
        if (symbol < 16) {
            lengths[filled++] = static_cast<std::uint8_t>(symbol);
            continue;
        }
        std::uint8_t repeated = 0;
        std::uint32_t repeat = 0;
        bool complete = false;
        if (symbol == 16) {
            if (filled == 0) {
                return InflateStatus::BadCodeLengths;
            }
            repeated = lengths[filled - 1];
            complete = bits.read(2, repeat);
            repeat += 3;
        } else if (symbol == 17) {
            complete = bits.read(3, repeat);
            repeat += 3;
        } else {
            complete = bits.read(7, repeat);
            repeat += 11;
        }
        if (!complete) {
            return InflateStatus::Truncated;
        }
        if (repeat > lengths.size() - filled) {
            return InflateStatus::BadCodeLengths;
        }
        std::fill_n(lengths.begin() + static_cast<std::ptrdiff_t>(filled), repeat, repeated);
        filled += repeat;
    }
    return InflateStatus::Ok;
}

struct DynamicTables {
    detail::LitLenTable litLen;
    detail::DistanceTable distance;
};

InflateStatus readDynamicTables(BitReader& bits, DynamicTables& tables) {
    std::uint32_t litLenCount = 0;
    std::uint32_t distanceCount = 0;
    std::uint32_t codeLengthCount = 0;
    if (!bits.read(5, litLenCount) || !bits.read(5, distanceCount) ||
        !bits.read(4, codeLengthCount)) {
        return InflateStatus::Truncated;
    }
    litLenCount += 257;
    distanceCount += 1;
    codeLengthCount += 4;
    if (litLenCount > maxLitLenCodes || distanceCount > maxDistanceCodes) {
        return InflateStatus::BadCodeLengths;
    }

    std::array<std::uint8_t, codeLengthOrder.size()> codeLengthLengths{};
    for (std::size_t i = 0; i < codeLengthCount; ++i) {
        std::uint32_t length = 0;
        if (!bits.read(3, length)) {
            return InflateStatus::Truncated;
        }
        codeLengthLengths[codeLengthOrder[i]] = static_cast<std::uint8_t>(length);
    }
    std::array<std::uint32_t, detail::codeLengthTableSize> codeLengthTable{};
    if (detail::buildTable(detail::CodeKind::CodeLength, codeLengthLengths, codeLengthTable) !=
        detail::BuildResult::Ok) {
        return InflateStatus::BadCodeLengths;
    }

    std::array<std::uint8_t, maxLitLenCodes + maxDistanceCodes> lengths{};
    const std::span<std::uint8_t> used{lengths.data(), litLenCount + distanceCount};
    const InflateStatus status = readCodeLengths(bits, codeLengthTable.data(), used);
    if (status != InflateStatus::Ok) {
        return status;
    }
    constexpr std::size_t endOfBlock = 256;
    if (lengths[endOfBlock] == 0) {
        return InflateStatus::BadCodeLengths;
    }
    if (detail::buildTable(detail::CodeKind::LitLen, used.first(litLenCount),
                           tables.litLen.entries) != detail::BuildResult::Ok ||
        detail::buildTable(detail::CodeKind::Distance, used.subspan(litLenCount),
                           tables.distance.entries) != detail::BuildResult::Ok) {
        return InflateStatus::BadCodeLengths;
    }
    return InflateStatus::Ok;
}

InflateStatus inflateBlocks(BitReader& bits, OutputWindow& output, std::size_t maxBlocks) {
    DynamicTables dynamic;
    std::uint32_t final = 0;
    for (std::size_t blocks = 0; final == 0; ++blocks) {
        if (blocks == maxBlocks) {
            return InflateStatus::TooManyBlocks;
        }
        std::uint32_t type = 0;
        if (!bits.read(1, final) || !bits.read(2, type)) {
            return InflateStatus::Truncated;
        }
        InflateStatus status = InflateStatus::Ok;
        switch (type) {
        case 0:
            status = inflateStored(bits, output);
            break;
        case 1:
            status =
                detail::decodeHuffmanBlock(bits, output, detail::fixedLitLenTable().entries.data(),
                                           detail::fixedDistanceTable().entries.data());
            break;
        case 2:
            status = readDynamicTables(bits, dynamic);
            if (status == InflateStatus::Ok) {
                status = detail::decodeHuffmanBlock(bits, output, dynamic.litLen.entries.data(),
                                                    dynamic.distance.entries.data());
            }
            break;
        default:
            status = InflateStatus::BadBlockType;
            break;
        }
        if (status != InflateStatus::Ok) {
            return status;
        }
    }
    return InflateStatus::Ok;
}

} // namespace

InflateResult inflateZlib(std::span<const std::uint8_t> input, std::span<std::uint8_t> output,
                          std::size_t maxBlocks) {
    if (input.size() < zlibHeaderSize) {
        return {InflateStatus::Truncated, 0};
    }
    BitReader bits{input.subspan(zlibHeaderSize)};
    OutputWindow window{output, 0};
    const InflateStatus status = inflateBlocks(bits, window, maxBlocks);
    return {status, window.written};
}

} // namespace zr::imaging
