#include "imaging/inflate/HuffmanBlock.h"

#include "imaging/inflate/HuffmanTable.h"

#include <cstring>

namespace zr::imaging::detail {
namespace {

constexpr std::uint64_t lowMask(unsigned count) {
    return (std::uint64_t{1} << count) - 1;
}

// A match copy in the fast loop may write up to 13 bytes past its end (8-byte steps, or one
// stride of a short period), and a match is at most 258 bytes long, so the fast loop keeps
// this much room in the output.
constexpr std::ptrdiff_t fastOutputMargin = 258 + 16;

// Copies a match of `length` bytes from `distance` bytes back, in 8-byte words where the
// source cannot overlap the word being written. May write up to 13 bytes past the match.
inline void copyMatchFast(std::uint8_t* out, std::size_t distance, std::size_t length) {
    const std::uint8_t* source = out - distance;
    std::uint8_t* const end = out + length;
    if (distance >= 8) {
        do {
            std::memcpy(out, source, 8);
            out += 8;
            source += 8;
        } while (out < end);
    } else if (distance == 1) {
        const std::uint64_t pattern = std::uint64_t{*source} * 0x0101010101010101u;
        do {
            std::memcpy(out, &pattern, 8);
            out += 8;
        } while (out < end);
    } else {
        // A short period repeats every `stride` bytes too, with stride the first multiple of
        // the period that reaches 8: lay down one stride byte by byte, then copy words.
        const std::size_t stride = distance * ((8 + distance - 1) / distance);
        std::uint8_t* const strideEnd = out + stride;
        do {
            *out++ = *source++;
        } while (out < strideEnd);
        source = out - stride;
        while (out < end) {
            std::memcpy(out, source, 8);
            out += 8;
            source += 8;
        }
    }
}

// The hot loop: runs while at least one full refill is left in the input and a whole match
// fits in the output with room to spare, so no symbol needs its own bounds check. One refill
// covers the longest symbol sequence: 15 + 5 length bits and 15 + 13 distance bits.
// Returns true when the block ended (or failed, with `status` set); false when it reached
// the edge of the input or output and the careful loop has to take over.
bool decodeFast(BitReader& reader, OutputWindow& output, const std::uint32_t* litLenTable,
                const std::uint32_t* distanceTable, InflateStatus& status) {
    BitReader bits = reader;
    std::uint8_t* const start = output.buffer.data();
    std::uint8_t* out = start + output.written;
    std::uint8_t* const fastEnd = start + output.buffer.size() - fastOutputMargin;
    bool finished = false;
    while (out < fastEnd && bits.canRefillByWord()) {
        bits.refillByWord();
        std::uint32_t entry = litLenTable[bits.peek() & lowMask(litLenRootBits)];
        if (entryKind(entry) == EntryKind::Subtable) {
            bits.consume(litLenRootBits);
            entry = litLenTable[entryValue(entry) + (bits.peek() & lowMask(entryExtra(entry)))];
        }
        bits.consume(entryBits(entry));
        const EntryKind kind = entryKind(entry);
        if (kind == EntryKind::Literal) {
            *out++ = static_cast<std::uint8_t>(entryValue(entry));
            continue;
        }
        if (kind != EntryKind::Base) {
            status = kind == EntryKind::EndOfBlock ? InflateStatus::Ok : InflateStatus::BadSymbol;
            finished = true;
            break;
        }
        const std::size_t length = entryValue(entry) + (bits.peek() & lowMask(entryExtra(entry)));
        bits.consume(entryExtra(entry));

        entry = distanceTable[bits.peek() & lowMask(distanceRootBits)];
        if (entryKind(entry) == EntryKind::Subtable) {
            bits.consume(distanceRootBits);
            entry = distanceTable[entryValue(entry) + (bits.peek() & lowMask(entryExtra(entry)))];
        }
        bits.consume(entryBits(entry));
        if (entryKind(entry) != EntryKind::Base) {
            status = InflateStatus::BadSymbol;
            finished = true;
            break;
        }
        const std::size_t distance = entryValue(entry) + (bits.peek() & lowMask(entryExtra(entry)));
        bits.consume(entryExtra(entry));
        if (distance > static_cast<std::size_t>(out - start)) {
            status = InflateStatus::BadDistance;
            finished = true;
            break;
        }
        copyMatchFast(out, distance, length);
        out += length;
    }
    output.written = static_cast<std::size_t>(out - start);
    reader = bits;
    return finished;
}

// Reads a length or distance value: the entry's base plus its extra bits.
InflateStatus readBaseValue(BitReader& bits, std::uint32_t entry, std::size_t& value) {
    std::uint32_t extra = 0;
    if (!bits.read(entryExtra(entry), extra)) {
        return InflateStatus::Truncated;
    }
    value = entryValue(entry) + extra;
    return InflateStatus::Ok;
}

// One symbol with every check in place, for the stretches near the ends of input and output.
// Sets `endOfBlock` when the symbol ends the block.
InflateStatus decodeCareful(BitReader& bits, OutputWindow& output, const std::uint32_t* litLenTable,
                            const std::uint32_t* distanceTable, bool& endOfBlock) {
    std::uint32_t entry = 0;
    InflateStatus status = decodeEntry(bits, litLenTable, litLenRootBits, entry);
    if (status != InflateStatus::Ok) {
        return status;
    }
    const std::span<std::uint8_t> buffer = output.buffer;
    switch (entryKind(entry)) {
    case EntryKind::Literal:
        if (output.written == buffer.size()) {
            return InflateStatus::OutputOverflow;
        }
        buffer[output.written++] = static_cast<std::uint8_t>(entryValue(entry));
        return InflateStatus::Ok;
    case EntryKind::EndOfBlock:
        endOfBlock = true;
        return InflateStatus::Ok;
    case EntryKind::Base:
        break;
    default:
        return InflateStatus::BadSymbol;
    }

    std::size_t length = 0;
    if ((status = readBaseValue(bits, entry, length)) != InflateStatus::Ok) {
        return status;
    }
    if ((status = decodeEntry(bits, distanceTable, distanceRootBits, entry)) != InflateStatus::Ok) {
        return status;
    }
    if (entryKind(entry) != EntryKind::Base) {
        return InflateStatus::BadSymbol;
    }
    std::size_t distance = 0;
    if ((status = readBaseValue(bits, entry, distance)) != InflateStatus::Ok) {
        return status;
    }
    if (distance > output.written) {
        return InflateStatus::BadDistance;
    }
    if (length > buffer.size() - output.written) {
        return InflateStatus::OutputOverflow;
    }
    for (std::size_t i = 0; i < length; ++i, ++output.written) {
        buffer[output.written] = buffer[output.written - distance];
    }
    return InflateStatus::Ok;
}

} // namespace

InflateStatus decodeEntry(BitReader& bits, const std::uint32_t* table, unsigned rootBits,
                          std::uint32_t& entry) {
    bits.refill();
    entry = table[bits.peek() & lowMask(rootBits)];
    if (entryKind(entry) == EntryKind::Subtable) {
        if (bits.bitCount() < rootBits) {
            return InflateStatus::Truncated;
        }
        bits.consume(rootBits);
        entry = table[entryValue(entry) + (bits.peek() & lowMask(entryExtra(entry)))];
    }
    if (bits.bitCount() < entryBits(entry)) {
        return InflateStatus::Truncated;
    }
    bits.consume(entryBits(entry));
    const EntryKind kind = entryKind(entry);
    return kind == EntryKind::Invalid || kind == EntryKind::BadSymbol ? InflateStatus::BadSymbol
                                                                      : InflateStatus::Ok;
}

InflateStatus decodeHuffmanBlock(BitReader& bits, OutputWindow& output,
                                 const std::uint32_t* litLenTable,
                                 const std::uint32_t* distanceTable) {
    const bool roomForFastLoop = output.buffer.size() > static_cast<std::size_t>(fastOutputMargin);
    bool endOfBlock = false;
    while (!endOfBlock) {
        if (roomForFastLoop) {
            InflateStatus status = InflateStatus::Ok;
            if (decodeFast(bits, output, litLenTable, distanceTable, status)) {
                return status;
            }
        }
        const InflateStatus status =
            decodeCareful(bits, output, litLenTable, distanceTable, endOfBlock);
        if (status != InflateStatus::Ok) {
            return status;
        }
    }
    return InflateStatus::Ok;
}

} // namespace zr::imaging::detail
