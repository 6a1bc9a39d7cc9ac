// The own inflater decodes what zlib encodes, at every level and strategy, for data shaped to
// reach every code path (stored, fixed and dynamic blocks, long codes, far distances).
#include "ZlibPeer.h"
#include "imaging/inflate/Inflate.h"

#include <gtest/gtest.h>
#include <string>
#include <zlib.h>

namespace zr::imaging::test {
namespace {

struct Sample {
    std::string name;
    Bytes data;
};

std::vector<Sample> samples() {
    Bytes farRepeats = randomBytes(30000, 7);
    const Bytes head(farRepeats.begin(), farRepeats.begin() + 25000);
    farRepeats.insert(farRepeats.end(), head.begin(), head.end()); // matches 30000 bytes back
    return {
        {"empty", {}},
        {"oneByte", {0x5A}},
        {"random", randomBytes(5000, 1)},
        {"text", textLike(20000, 2)},
        {"longRuns", longRuns(100000, 3)},
        {"largeText", textLike(300000, 4)},
        {"farRepeats", farRepeats},
        {"imageRows", imageRows(300, 200, 5)},
        {"skewedBytes", skewedBytes(100000, 6)},
        {"skewedDistances", skewedDistances(200000, 8)},
        {"zeros", Bytes(70000, 0)},
        {"shortPeriods",
         [] {
             Bytes periods;
             for (std::size_t period = 2; period <= 9; ++period) {
                 for (std::size_t i = 0; i < 600; ++i) {
                     periods.push_back(static_cast<std::uint8_t>('a' + i % period));
                 }
             }
             return periods;
         }()},
    };
}

struct Setting {
    int level;
    int strategy;
};

std::vector<Setting> settings() {
    std::vector<Setting> all;
    for (int level = 0; level <= 9; ++level) {
        all.push_back({level, Z_DEFAULT_STRATEGY});
    }
    for (const int strategy : {Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED, Z_FILTERED}) {
        all.push_back({6, strategy});
    }
    return all;
}

TEST(InflateRoundTrip, DecodesWhatZlibEncodedAtEveryLevelAndStrategy) {
    for (const Sample& sample : samples()) {
        for (const Setting setting : settings()) {
            SCOPED_TRACE(sample.name + " level " + std::to_string(setting.level) + " strategy " +
                         std::to_string(setting.strategy));
            const Bytes stream = zlibCompress(sample.data, setting.level, setting.strategy);
            ASSERT_FALSE(stream.empty());
            Bytes output(sample.data.size(), 0xEE);
            const InflateResult result = inflateZlib(stream, output);
            ASSERT_EQ(result.status, InflateStatus::Ok);
            EXPECT_EQ(result.written, sample.data.size());
            EXPECT_TRUE(output == sample.data);
        }
    }
}

TEST(InflateRoundTrip, SeveralBlocksOfEveryKindInOneStream) {
    // Flushing between parts forces a new block each time; changing the parameters makes the
    // blocks stored, fixed and dynamic in turn.
    const Bytes part = textLike(4000, 11);
    z_stream stream{};
    ASSERT_EQ(deflateInit(&stream, 6), Z_OK);
    Bytes compressed(100000);
    Bytes expected;
    stream.next_out = compressed.data();
    stream.avail_out = static_cast<uInt>(compressed.size());
    const std::array<Setting, 4> turns{
        {{0, Z_DEFAULT_STRATEGY}, {6, Z_FIXED}, {9, Z_DEFAULT_STRATEGY}, {6, Z_HUFFMAN_ONLY}}};
    for (std::size_t turn = 0; turn < turns.size(); ++turn) {
        ASSERT_EQ(deflateParams(&stream, turns[turn].level, turns[turn].strategy), Z_OK);
        stream.next_in = const_cast<Bytef*>(part.data());
        stream.avail_in = static_cast<uInt>(part.size());
        const bool last = turn + 1 == turns.size();
        ASSERT_NE(deflate(&stream, last ? Z_FINISH : Z_FULL_FLUSH), Z_STREAM_ERROR);
        expected.insert(expected.end(), part.begin(), part.end());
    }
    compressed.resize(stream.total_out);
    deflateEnd(&stream);

    Bytes output(expected.size());
    const InflateResult result = inflateZlib(compressed, output);
    ASSERT_EQ(result.status, InflateStatus::Ok);
    EXPECT_TRUE(output == expected);
}

} // namespace
} // namespace zr::imaging::test
