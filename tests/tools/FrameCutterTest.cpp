// How the simulator cuts the station's byte stream into request frames and drops the rest.
#include "FrameCutter.h"

#include "ProgrammerFrames.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zr::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

CutPiece frameOf(Bytes bytes) {
    return {PieceKind::Frame, std::move(bytes)};
}
CutPiece droppedOf(Bytes bytes) {
    return {PieceKind::Dropped, std::move(bytes)};
}

const std::vector<Bytes> kEveryRequestFrame = {
    {0x01, 0x00},
    {0x02, 0x02, 0x01},
    {0x02, 0x03, 0x00},
    {0x02, 0x03, 0x01},
    {0x01, 0x04},
    {0x08, 0x07, 0x20, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
    {0x08, 0x08, 0x20, 0x05, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
    {0x08, 0x07, 0x04, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF},
    {0x08, 0x08, 0x04, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5},
    {0x06, 0x09, 0x00, 0x01, 0x01, 0x02, 0x00},
    {0x01, 0x0A},
    {0x8F, 0x0C, 0xFF, 0x34, 0x58, 0x20, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x4C, 0xF1},
};

std::string describe(const std::vector<CutPiece>& pieces) {
    std::string text;
    for (const CutPiece& piece : pieces) {
        text += piece.kind == PieceKind::Frame ? "[F " : "[D ";
        text += hexText(piece.bytes) + "]";
    }
    return text;
}

TEST(FrameCutter, EveryFrameOneByteAtATime) {
    for (const Bytes& frame : kEveryRequestFrame) {
        FrameCutter cutter;
        std::vector<CutPiece> pieces;
        for (std::size_t i = 0; i < frame.size(); ++i) {
            for (CutPiece& piece : cutter.feed(std::span(frame).subspan(i, 1), std::int64_t(i))) {
                pieces.push_back(std::move(piece));
            }
        }
        EXPECT_EQ(pieces, std::vector{frameOf(frame)}) << describe(pieces);
    }
}

TEST(FrameCutter, AllFramesBackToBackInOneArrival) {
    Bytes stream;
    std::vector<CutPiece> expected;
    for (const Bytes& frame : kEveryRequestFrame) {
        stream.insert(stream.end(), frame.begin(), frame.end());
        expected.push_back(frameOf(frame));
    }
    FrameCutter cutter;
    const auto pieces = cutter.feed(stream, 0);
    EXPECT_EQ(pieces, expected) << describe(pieces);
    EXPECT_EQ(cutter.pendingSize(), 0u);
}

struct ResyncCase {
    std::string name;
    Bytes stream;
    std::vector<CutPiece> expected;
};

class FrameCutterResync : public testing::TestWithParam<ResyncCase> {};

TEST_P(FrameCutterResync, DropsWhatStartsNoFrame) {
    FrameCutter cutter;
    const auto pieces = cutter.feed(GetParam().stream, 0);
    EXPECT_EQ(pieces, GetParam().expected) << describe(pieces);
}

INSTANTIATE_TEST_SUITE_P(
    Garbage, FrameCutterResync,
    testing::Values(
        ResyncCase{"ImpossibleLengths",
                   {0x41, 0x42, 0x00, 0x01, 0x00},
                   {droppedOf({0x41, 0x42, 0x00}), frameOf({0x01, 0x00})}},
        ResyncCase{"UnknownCode",
                   {0x02, 0x05, 0x01, 0x0A},
                   {droppedOf({0x02, 0x05}), frameOf({0x01, 0x0A})}},
        ResyncCase{"LengthNotMatchingCode",
                   {0x02, 0x00, 0x01, 0x00},
                   {droppedOf({0x02, 0x00}), frameOf({0x01, 0x00})}},
        ResyncCase{"ControllerStartWithWrongCount",
                   {0x8F, 0x0D, 0x01, 0x00},
                   {droppedOf({0x8F, 0x0D}), frameOf({0x01, 0x00})}},
        ResyncCase{"LengthByteBeforeControllerStart",
                   {0x01, 0x8F, 0x0C, 0xFF, 0x34, 0x58, 0x20, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                    0x4C, 0xF1},
                   {droppedOf({0x01}), frameOf({0x8F, 0x0C, 0xFF, 0x34, 0x58, 0x20, 0xFF, 0xFF,
                                                0xFF, 0xFF, 0xFF, 0xFF, 0x4C, 0xF1})}},
        ResyncCase{"GarbageBetweenFrames",
                   {0x01, 0x00, 0xC3, 0xA9, 0x01, 0x04},
                   {frameOf({0x01, 0x00}), droppedOf({0xC3, 0xA9}), frameOf({0x01, 0x04})}}),
    [](const testing::TestParamInfo<ResyncCase>& param) { return param.param.name; });

TEST(FrameCutter, StalePartialFrameDoesNotSwallowTheNextAttempt) {
    FrameCutter cutter(150);
    EXPECT_TRUE(cutter.feed(Bytes{0x06, 0x09, 0x00}, 1000).empty());
    const auto pieces = cutter.feed(Bytes{0x01, 0x00}, 1301);
    EXPECT_EQ(pieces, (std::vector{droppedOf({0x06, 0x09, 0x00}), frameOf({0x01, 0x00})}))
        << describe(pieces);
}

TEST(FrameCutter, SlowButSteadyBytesStillMakeAFrame) {
    FrameCutter cutter(150);
    const Bytes frame = {0x06, 0x09, 0x00, 0x01, 0x01, 0x02, 0x00};
    std::vector<CutPiece> pieces;
    for (std::size_t i = 0; i < frame.size(); ++i) {
        pieces = cutter.feed(std::span(frame).subspan(i, 1), std::int64_t(i) * 100);
    }
    EXPECT_EQ(pieces, std::vector{frameOf(frame)});
}

TEST(FrameCutter, LongGarbageIsReportedInBoundedRunsAndNeverBuffered) {
    FrameCutter cutter;
    const Bytes noise(100, 0xEE);
    const auto pieces = cutter.feed(noise, 0);
    ASSERT_EQ(pieces.size(), 4u);
    std::size_t total = 0;
    for (const CutPiece& piece : pieces) {
        EXPECT_EQ(piece.kind, PieceKind::Dropped);
        EXPECT_LE(piece.bytes.size(), FrameCutter::kMaxDroppedRun);
        total += piece.bytes.size();
    }
    EXPECT_EQ(total, noise.size());
    EXPECT_EQ(cutter.pendingSize(), 0u);
}

TEST(FrameCutter, ResetForgetsAHalfFrame) {
    FrameCutter cutter;
    cutter.feed(Bytes{0x08, 0x07, 0x20}, 0);
    cutter.reset();
    EXPECT_EQ(cutter.feed(Bytes{0x01, 0x00}, 1), std::vector{frameOf({0x01, 0x00})});
}

} // namespace
} // namespace zr::sim
