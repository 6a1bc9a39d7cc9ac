// The own inflater on streams no encoder makes: each malformation fails with its own status,
// every cut is truncated, and output never spills past its buffer. fuzz_inflate_replay
// compares it with zlib on the kept corpus.
#include "DeflateWriter.h"
#include "ZlibPeer.h"
#include "imaging/inflate/Inflate.h"

#include <algorithm>
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

// A final dynamic block header with the given code-length-code lengths (in symbol order).
// Returns the code-length codes for the symbols that follow.
std::vector<std::uint32_t> dynamicHeader(DeflateWriter& writer, unsigned litLenCount,
                                         unsigned distanceCount,
                                         const std::vector<std::uint8_t>& codeLengthLengths) {
    writer.finalBlock(2);
    writer.bits(litLenCount - 257, 5).bits(distanceCount - 1, 5).bits(19 - 4, 4);
    for (const unsigned symbol : codeLengthOrder) {
        writer.bits(codeLengthLengths[symbol], 3);
    }
    return canonicalCodes(codeLengthLengths);
}

struct DynamicCodes {
    std::vector<std::uint32_t> litLen;
    std::vector<std::uint32_t> distance;
};

// A final dynamic block whose code lengths are sent one by one with a 4-bit code-length code.
DynamicCodes dynamicBlock(DeflateWriter& writer, const std::vector<std::uint8_t>& litLen,
                          const std::vector<std::uint8_t>& distance) {
    std::vector<std::uint8_t> codeLengthLengths(19, 0);
    std::fill(codeLengthLengths.begin(), codeLengthLengths.begin() + 16, std::uint8_t{4});
    const auto codeLengthCodes =
        dynamicHeader(writer, static_cast<unsigned>(litLen.size()),
                      static_cast<unsigned>(distance.size()), codeLengthLengths);
    for (const auto& table : {litLen, distance}) {
        for (const std::uint8_t length : table) {
            writer.code(codeLengthCodes[length], 4);
        }
    }
    return {canonicalCodes(litLen), canonicalCodes(distance)};
}

using LengthList = std::initializer_list<std::pair<unsigned, std::uint8_t>>;

// `size` code lengths, all zero but the given symbols (the table grows to reach them).
std::vector<std::uint8_t> lengths(std::size_t size, LengthList set) {
    std::vector<std::uint8_t> out(size, 0);
    for (const auto& [symbol, length] : set) {
        out.resize(std::max<std::size_t>(out.size(), symbol + 1), 0);
        out[symbol] = length;
    }
    return out;
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
    add("blockType3", DeflateWriter{}.finalBlock(3), InflateStatus::BadBlockType);
    add("storedLengthNotComplemented", DeflateWriter{}.finalBlock(0).bytes({5, 0, 0, 0, 'a'}),
        InflateStatus::BadStoredLength);
    add("storedLongerThanOutput",
        DeflateWriter{}.finalBlock(0).bytes({5, 0, 0xFA, 0xFF, 'a', 'b', 'c', 'd', 'e'}),
        InflateStatus::OutputOverflow, 4);
    add("storedLongerThanInput", DeflateWriter{}.finalBlock(0).bytes({5, 0, 0xFA, 0xFF, 'a'}),
        InflateStatus::Truncated);

    const auto fixed = [] { return DeflateWriter{}.finalBlock(1); };
    add("distanceBeforeStart",
        fixed().fixedLiterals("a").fixedLengthSymbol(257).fixedDistanceSymbol(1),
        InflateStatus::BadDistance);
    // Long enough for the decoder's bulk loop, which checks distances on its own.
    const std::string run(40, 'a');
    add("distanceOneBeforeStartInBulk",
        fixed()
            .fixedLiterals(run)
            .fixedLengthSymbol(257)
            .fixedDistanceSymbol(10)
            .bits(8, 4)
            .fixedLiterals(run)
            .fixedEndOfBlock(),
        InflateStatus::BadDistance, 4096);
    add("longestDistanceIntoEmptyOutput",
        fixed().fixedLengthSymbol(257).fixedDistanceSymbol(29).bits(0x1FFF, 13),
        InflateStatus::BadDistance);
    add("distanceExactlyToStart",
        fixed().fixedLiterals("ab").fixedLengthSymbol(257).fixedDistanceSymbol(1).fixedEndOfBlock(),
        InflateStatus::Ok);
    for (const unsigned symbol : {286u, 287u}) {
        add("lengthSymbol" + std::to_string(symbol),
            fixed().fixedLiterals("a").fixedLengthSymbol(symbol), InflateStatus::BadSymbol);
    }
    for (const unsigned symbol : {30u, 31u}) {
        add("distanceSymbol" + std::to_string(symbol),
            fixed().fixedLiterals("abc").fixedLengthSymbol(257).fixedDistanceSymbol(symbol),
            InflateStatus::BadSymbol);
    }

    // Code-length codes, then literal/length and distance codes, that no decoder can build.
    const auto header = [](const std::vector<std::uint8_t>& codeLengthLengths) {
        DeflateWriter writer;
        dynamicHeader(writer, 257, 1, codeLengthLengths);
        return writer;
    };
    add("codeLengthCodeOverSubscribed", header(std::vector<std::uint8_t>(19, 1)),
        InflateStatus::BadCodeLengths);
    add("codeLengthCodeIncomplete", header(lengths(19, {{0, 2}, {8, 2}})),
        InflateStatus::BadCodeLengths);
    const auto dynamic = [](LengthList litLen, const std::vector<std::uint8_t>& distance) {
        DeflateWriter writer;
        dynamicBlock(writer, lengths(257, litLen), distance);
        return writer;
    };
    const std::pair<const char*, DeflateWriter> badCodes[] = {
        {"litLenOverSubscribed", dynamic({{'a', 1}, {'b', 1}, {256, 1}}, {1})},
        {"litLenIncomplete", dynamic({{'a', 2}, {256, 2}}, {1})},
        {"litLenOverSubscribedByLengthSymbol", dynamic({{'a', 1}, {256, 1}, {257, 1}}, {1})},
        {"noEndOfBlockCode", dynamic({{'a', 1}, {'b', 1}}, {1})},
        {"distanceIncomplete", dynamic({{'a', 1}, {256, 1}}, {2, 2})},
        {"tooManyLengthCodes", dynamic({{'a', 1}, {256, 1}, {287, 0}}, {1})},
        {"tooManyDistanceCodes", dynamic({{'a', 1}, {256, 1}}, std::vector<std::uint8_t>(31, 5))},
    };
    for (const auto& [name, writer] : badCodes) {
        add(name, writer, InflateStatus::BadCodeLengths);
    }
    // One code too many or one short at the longest length only: 1 to 14 bits once each, then
    // three 15-bit codes or one (two would complete the code).
    for (const std::size_t fifteens : {3U, 1U}) {
        std::vector<std::uint8_t> litLen(257, 0);
        for (std::size_t symbol = 0; symbol < 14; ++symbol) {
            litLen[symbol] = static_cast<std::uint8_t>(symbol + 1);
        }
        std::fill(litLen.end() - static_cast<std::ptrdiff_t>(fifteens), litLen.end(),
                  std::uint8_t{15});
        DeflateWriter writer;
        dynamicBlock(writer, litLen, {1});
        add("fifteenBitCodes" + std::to_string(fifteens), writer, InflateStatus::BadCodeLengths);
    }
    {
        DeflateWriter writer;
        const auto codes = dynamicHeader(writer, 257, 1, lengths(19, {{0, 1}, {16, 1}}));
        add("repeatWithoutPreviousLength", writer.code(codes[16], 1).bits(0, 2),
            InflateStatus::BadCodeLengths);
    }
    {
        DeflateWriter writer;
        const auto codes = dynamicHeader(writer, 257, 1, lengths(19, {{0, 1}, {18, 1}}));
        writer.code(codes[18], 1).bits(127, 7).code(codes[18], 1).bits(127, 7);
        add("repeatPastLastLength", writer, InflateStatus::BadCodeLengths);
    }

    // A lone one-bit code is accepted, but its unused twin is not a symbol.
    add("unusedHalfOfLoneCode", dynamic({{256, 1}}, {1}).code(1, 1), InflateStatus::BadSymbol);
    for (const std::uint8_t distanceLength : {std::uint8_t{0}, std::uint8_t{1}}) {
        DeflateWriter writer;
        const DynamicCodes codes =
            dynamicBlock(writer, lengths(257, {{'a', 2}, {256, 2}, {257, 1}}), {distanceLength});
        writer.code(codes.litLen['a'], 2).code(codes.litLen[257], 1);
        if (distanceLength == 0) {
            add("matchWithEmptyDistanceCode", writer.bits(0, 8), InflateStatus::BadSymbol);
        } else {
            writer.code(codes.distance[0], 1).code(codes.litLen[256], 2);
            add("dynamicBlockWithLoneDistanceCode", writer, InflateStatus::Ok);
        }
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

TEST(InflateHostile, OutputExactlyFullOrRoomySucceedsAndOneByteShortOverflows) {
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

            const auto untouched = [&](std::size_t tail) {
                return std::all_of(buffer.end() - static_cast<std::ptrdiff_t>(tail), buffer.end(),
                                   [](std::uint8_t byte) { return byte == 0xEE; });
            };
            EXPECT_TRUE(untouched(guard));
            const InflateResult roomy = inflateZlib(stream, buffer);
            EXPECT_EQ(roomy.status, InflateStatus::Ok);
            EXPECT_EQ(roomy.written, data.size());
            EXPECT_TRUE(untouched(guard));

            std::fill(buffer.begin(), buffer.end(), std::uint8_t{0xEE});
            const InflateResult shortBy1 =
                inflateZlib(stream, std::span{buffer}.first(data.size() - 1));
            EXPECT_EQ(shortBy1.status, InflateStatus::OutputOverflow);
            EXPECT_LT(shortBy1.written, data.size());
            EXPECT_TRUE(untouched(guard + 1));
        }
    }
}

} // namespace
} // namespace zr::imaging::test
