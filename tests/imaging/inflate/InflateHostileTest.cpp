#include "DeflateWriter.h"
#include "ZlibPeer.h"
#include "imaging/inflate/Inflate.h"

#include <array>
#include <gtest/gtest.h>
#include <string>
#include <zlib.h>

namespace zr::imaging::test {
namespace {

constexpr std::array<unsigned, 19> codeLengthOrder{16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                                   11, 4,  12, 3, 13, 2, 14, 1, 15};

// Canonical codes for the given lengths, as deflate assigns them.
std::vector<std::uint32_t> canonicalCodes(const std::vector<std::uint8_t>& lengths) {
    std::array<std::uint32_t, 16> count{};
    for (const std::uint8_t length : lengths) {
        ++count[length];
    }
    count[0] = 0;
    std::array<std::uint32_t, 16> next{};
    for (unsigned length = 1; length < 16; ++length) {
        next[length] = (next[length - 1] + count[length - 1]) << 1;
    }
    std::vector<std::uint32_t> codes(lengths.size());
    for (std::size_t symbol = 0; symbol < lengths.size(); ++symbol) {
        if (lengths[symbol] != 0) {
            codes[symbol] = next[lengths[symbol]]++;
        }
    }
    return codes;
}

// A final dynamic block header with the given code-length-code lengths (in symbol order),
// then `sequence` sent with that code. Returns the code-length codes for further symbols.
std::vector<std::uint32_t> dynamicHeader(DeflateWriter& writer, unsigned litLenCount,
                                         unsigned distanceCount,
                                         const std::vector<std::uint8_t>& codeLengthLengths) {
    writer.bits(1, 1).bits(2, 2);
    writer.bits(litLenCount - 257, 5).bits(distanceCount - 1, 5).bits(19 - 4, 4);
    for (const unsigned symbol : codeLengthOrder) {
        writer.bits(codeLengthLengths[symbol], 3);
    }
    return canonicalCodes(codeLengthLengths);
}

struct DynamicCodes {
    std::vector<std::uint8_t> litLen;
    std::vector<std::uint32_t> litLenCodes;
    std::vector<std::uint32_t> distanceCodes;
};

// A final dynamic block whose code lengths are sent one by one with a 4-bit code-length code.
DynamicCodes dynamicBlock(DeflateWriter& writer, const std::vector<std::uint8_t>& litLen,
                          const std::vector<std::uint8_t>& distance) {
    std::vector<std::uint8_t> codeLengthLengths(19, 0);
    std::fill(codeLengthLengths.begin(), codeLengthLengths.begin() + 16, std::uint8_t{4});
    const auto codeLengthCodes =
        dynamicHeader(writer, static_cast<unsigned>(litLen.size()),
                      static_cast<unsigned>(distance.size()), codeLengthLengths);
    for (const auto& lengths : {litLen, distance}) {
        for (const std::uint8_t length : lengths) {
            writer.code(codeLengthCodes[length], 4);
        }
    }
    return {litLen, canonicalCodes(litLen), canonicalCodes(distance)};
}

std::vector<std::uint8_t>
litLenLengths(std::initializer_list<std::pair<unsigned, std::uint8_t>> set) {
    std::vector<std::uint8_t> lengths(257, 0);
    for (const auto& [symbol, length] : set) {
        if (symbol >= lengths.size()) {
            lengths.resize(symbol + 1, 0);
        }
        lengths[symbol] = length;
    }
    return lengths;
}

struct HostileCase {
    std::string name;
    Bytes stream;
    std::size_t outputSize;
    InflateStatus expected;
};

std::vector<HostileCase> hostileCases() {
    std::vector<HostileCase> cases;
    const auto add = [&](std::string name, const DeflateWriter& writer, InflateStatus expected,
                         std::size_t outputSize = 64) {
        cases.push_back({std::move(name), writer.data(), outputSize, expected});
    };

    add("emptyInput", DeflateWriter{}, InflateStatus::Truncated);
    add("blockType3", DeflateWriter{}.bits(1, 1).bits(3, 2), InflateStatus::BadBlockType);
    add("storedLengthNotComplemented",
        DeflateWriter{}.bits(1, 1).bits(0, 2).byte(5).byte(0).byte(0).byte(0).byte('a'),
        InflateStatus::BadStoredLength);
    add("storedLongerThanOutput",
        DeflateWriter{}
            .bits(1, 1)
            .bits(0, 2)
            .byte(5)
            .byte(0)
            .byte(0xFA)
            .byte(0xFF)
            .byte('a')
            .byte('b')
            .byte('c')
            .byte('d')
            .byte('e'),
        InflateStatus::OutputOverflow, 4);
    add("storedLongerThanInput",
        DeflateWriter{}.bits(1, 1).bits(0, 2).byte(5).byte(0).byte(0xFA).byte(0xFF).byte('a'),
        InflateStatus::Truncated);

    add("distanceBeforeStart",
        DeflateWriter{}
            .bits(1, 1)
            .bits(1, 2)
            .fixedLiteral('a')
            .fixedLengthSymbol(257)
            .fixedDistanceSymbol(1)
            .fixedEndOfBlock(),
        InflateStatus::BadDistance);
    add("longestDistanceIntoEmptyOutput",
        DeflateWriter{}
            .bits(1, 1)
            .bits(1, 2)
            .fixedLengthSymbol(257)
            .fixedDistanceSymbol(29)
            .bits(0x1FFF, 13)
            .fixedEndOfBlock(),
        InflateStatus::BadDistance);
    add("distanceExactlyToStart",
        DeflateWriter{}
            .bits(1, 1)
            .bits(1, 2)
            .fixedLiteral('a')
            .fixedLiteral('b')
            .fixedLengthSymbol(257)
            .fixedDistanceSymbol(1)
            .fixedEndOfBlock(),
        InflateStatus::Ok);
    for (const unsigned symbol : {286u, 287u}) {
        add("lengthSymbol" + std::to_string(symbol),
            DeflateWriter{}
                .bits(1, 1)
                .bits(1, 2)
                .fixedLiteral('a')
                .fixedLengthSymbol(symbol)
                .fixedDistanceSymbol(0)
                .fixedEndOfBlock(),
            InflateStatus::BadSymbol);
    }
    for (const unsigned symbol : {30u, 31u}) {
        add("distanceSymbol" + std::to_string(symbol),
            DeflateWriter{}
                .bits(1, 1)
                .bits(1, 2)
                .fixedLiteral('a')
                .fixedLiteral('b')
                .fixedLiteral('c')
                .fixedLengthSymbol(257)
                .fixedDistanceSymbol(symbol)
                .fixedEndOfBlock(),
            InflateStatus::BadSymbol);
    }

    {
        DeflateWriter writer;
        dynamicHeader(writer, 257, 1, std::vector<std::uint8_t>(19, 1));
        add("codeLengthCodeOverSubscribed", writer, InflateStatus::BadCodeLengths);
    }
    {
        std::vector<std::uint8_t> lengths(19, 0);
        lengths[0] = 2;
        lengths[8] = 2;
        DeflateWriter writer;
        dynamicHeader(writer, 257, 1, lengths);
        add("codeLengthCodeIncomplete", writer, InflateStatus::BadCodeLengths);
    }
    {
        DeflateWriter writer;
        dynamicBlock(writer, litLenLengths({{'a', 1}, {'b', 1}, {256, 1}}), {1});
        add("litLenOverSubscribed", writer, InflateStatus::BadCodeLengths);
    }
    {
        DeflateWriter writer;
        dynamicBlock(writer, litLenLengths({{'a', 2}, {256, 2}}), {1});
        add("litLenIncomplete", writer, InflateStatus::BadCodeLengths);
    }
    {
        DeflateWriter writer;
        dynamicBlock(writer, litLenLengths({{'a', 1}, {256, 1}, {257, 1}}), {1});
        add("litLenOverSubscribedByLengthSymbol", writer, InflateStatus::BadCodeLengths);
    }
    {
        DeflateWriter writer;
        dynamicBlock(writer, litLenLengths({{'a', 1}, {'b', 1}}), {1});
        add("noEndOfBlockCode", writer, InflateStatus::BadCodeLengths);
    }
    {
        DeflateWriter writer;
        dynamicBlock(writer, litLenLengths({{'a', 1}, {256, 1}}), {2, 2});
        add("distanceIncomplete", writer, InflateStatus::BadCodeLengths);
    }
    {
        DeflateWriter writer;
        dynamicBlock(writer, litLenLengths({{'a', 1}, {256, 1}, {287, 0}}), {1});
        add("tooManyLengthCodes", writer, InflateStatus::BadCodeLengths);
    }
    {
        DeflateWriter writer;
        dynamicBlock(writer, litLenLengths({{'a', 1}, {256, 1}}), std::vector<std::uint8_t>(31, 5));
        add("tooManyDistanceCodes", writer, InflateStatus::BadCodeLengths);
    }
    {
        std::vector<std::uint8_t> lengths(19, 0);
        lengths[0] = 1;
        lengths[16] = 1;
        DeflateWriter writer;
        const auto codes = dynamicHeader(writer, 257, 1, lengths);
        writer.code(codes[16], 1).bits(0, 2);
        add("repeatWithoutPreviousLength", writer, InflateStatus::BadCodeLengths);
    }
    {
        std::vector<std::uint8_t> lengths(19, 0);
        lengths[0] = 1;
        lengths[18] = 1;
        DeflateWriter writer;
        const auto codes = dynamicHeader(writer, 257, 1, lengths);
        writer.code(codes[18], 1).bits(127, 7).code(codes[18], 1).bits(127, 7);
        add("repeatPastLastLength", writer, InflateStatus::BadCodeLengths);
    }
    {
        // A lone one-bit code is accepted, but its unused twin is not a symbol.
        DeflateWriter writer;
        dynamicBlock(writer, litLenLengths({{256, 1}}), {1});
        writer.code(1, 1);
        add("unusedHalfOfLoneCode", writer, InflateStatus::BadSymbol);
    }
    {
        DeflateWriter writer;
        const DynamicCodes codes =
            dynamicBlock(writer, litLenLengths({{'a', 2}, {256, 2}, {257, 1}}), {0});
        writer.code(codes.litLenCodes['a'], 2).code(codes.litLenCodes[257], 1).bits(0, 8);
        add("matchWithEmptyDistanceCode", writer, InflateStatus::BadSymbol);
    }
    {
        DeflateWriter writer;
        const DynamicCodes codes =
            dynamicBlock(writer, litLenLengths({{'a', 2}, {256, 2}, {257, 1}}), {1});
        writer.code(codes.litLenCodes['a'], 2)
            .code(codes.litLenCodes[257], 1)
            .code(codes.distanceCodes[0], 1)
            .code(codes.litLenCodes[256], 2);
        add("dynamicBlockWithLoneDistanceCode", writer, InflateStatus::Ok);
    }
    return cases;
}

TEST(InflateHostile, EachMalformedStreamFailsWithItsOwnStatus) {
    for (const HostileCase& hostile : hostileCases()) {
        SCOPED_TRACE(hostile.name);
        Bytes output(hostile.outputSize);
        const InflateResult result = inflateZlib(hostile.stream, output);
        EXPECT_EQ(result.status, hostile.expected);
        EXPECT_LE(result.written, output.size());
    }
}

TEST(InflateHostile, EveryCutOfAStreamIsTruncated) {
    const Bytes text = textLike(600, 21);
    for (const auto& [level, strategy] : {std::pair{0, Z_DEFAULT_STRATEGY},
                                          {6, Z_FIXED},
                                          {9, Z_DEFAULT_STRATEGY},
                                          {6, Z_HUFFMAN_ONLY}}) {
        const Bytes stream = zlibCompress(text, level, strategy);
        const std::size_t adlerSize = 4;
        for (std::size_t cut = 0; cut < stream.size(); ++cut) {
            SCOPED_TRACE("level " + std::to_string(level) + " strategy " +
                         std::to_string(strategy) + " cut " + std::to_string(cut));
            Bytes output(text.size());
            const InflateResult result = inflateZlib(std::span{stream}.first(cut), output);
            // Only the checksum, which is not verified, may be missing.
            EXPECT_EQ(result.status, cut < stream.size() - adlerSize ? InflateStatus::Truncated
                                                                     : InflateStatus::Ok);
        }
    }
}

TEST(InflateHostile, OutputExactlyFullSucceedsAndOneByteShortOverflows) {
    const Bytes large = imageRows(400, 300, 31);
    for (const auto& [level, strategy] : {std::pair{0, Z_DEFAULT_STRATEGY},
                                          {1, Z_DEFAULT_STRATEGY},
                                          {6, Z_FIXED},
                                          {9, Z_DEFAULT_STRATEGY},
                                          {6, Z_RLE},
                                          {6, Z_HUFFMAN_ONLY}}) {
        for (const Bytes& data : {textLike(3000, 30), large, longRuns(50000, 32)}) {
            SCOPED_TRACE("level " + std::to_string(level) + " strategy " +
                         std::to_string(strategy) + " size " + std::to_string(data.size()));
            const Bytes stream = zlibCompress(data, level, strategy);
            constexpr std::size_t guard = 64;
            Bytes buffer(data.size() + guard, 0xEE);

            const InflateResult full = inflateZlib(stream, std::span{buffer}.first(data.size()));
            EXPECT_EQ(full.status, InflateStatus::Ok);
            EXPECT_TRUE(std::equal(data.begin(), data.end(), buffer.begin()));

            std::fill(buffer.begin(), buffer.end(), std::uint8_t{0xEE});
            const InflateResult shortBy1 =
                inflateZlib(stream, std::span{buffer}.first(data.size() - 1));
            EXPECT_EQ(shortBy1.status, InflateStatus::OutputOverflow);
            EXPECT_LT(shortBy1.written, data.size());
            EXPECT_TRUE(std::all_of(buffer.end() - guard - 1, buffer.end(),
                                    [](std::uint8_t byte) { return byte == 0xEE; }));
        }
    }
}

TEST(InflateHostile, EmptyDataFitsAnEmptyOutput) {
    const Bytes stream = zlibCompress({}, 6, Z_DEFAULT_STRATEGY);
    const InflateResult result = inflateZlib(stream, {});
    EXPECT_EQ(result.status, InflateStatus::Ok);
    EXPECT_EQ(result.written, 0u);
}

} // namespace
} // namespace zr::imaging::test
