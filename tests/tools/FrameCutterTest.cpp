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

TEST(FrameCutter, SlowButSteadyBytesStillMakeAFrame) {
    FrameCutter cutter(150);
    const Bytes frame = {0x06, 0x09, 0x00, 0x01, 0x01, 0x02, 0x00};
    std::vector<CutPiece> pieces;
    for (std::size_t i = 0; i < frame.size(); ++i) {
        pieces = cutter.feed(std::span(frame).subspan(i, 1), std::int64_t(i) * 100);
    }
    EXPECT_EQ(pieces, std::vector{frameOf(frame)});
}

} // namespace
} // namespace zr::sim
