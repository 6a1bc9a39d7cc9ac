// The 14-byte key frame for a controller: the bytes its check bytes cover.
#include "keys/ControllerFrame.h"

#include <gtest/gtest.h>
#include <numeric>
#include <string>

namespace {

using namespace zr::keys;

const KeyBoxes kDesignKey{"FF", "FF", "FF", "FF", "FF", "FF"};

// Check bytes recomputed independently, for many keys and blocks: X folds bytes 2 to 11 into
// 0xFF, S adds X to their sum; the frame start and length take no part.
TEST(ControllerFrameTest, CheckBytesCoverBytesTwoToElevenOnly) {
    for (int block = 0; block < 256; block += 17) {
        for (int seed = 0; seed < 256; seed += 29) {
            KeyBoxes boxes;
            for (std::size_t i = 0; i < kKeyLength; ++i) {
                boxes[i] = byteBoxText(static_cast<std::uint8_t>((seed * 7 + i * 31) & 0xFF));
            }
            const auto frame = buildControllerFrame(std::to_string(block), boxes);
            ASSERT_TRUE(frame);
            const ControllerFrame& f = frame.value();
            unsigned x = 0xFF;
            for (std::size_t i = 2; i <= 11; ++i) {
                x ^= f[i];
            }
            const unsigned sum = std::accumulate(f.begin() + 2, f.begin() + 12, 0U);
            EXPECT_EQ(f[0], 0x8F);
            EXPECT_EQ(f[1], 12);
            EXPECT_EQ(f[5], block);
            EXPECT_EQ(f[12], x);
            EXPECT_EQ(f[13], (x + sum) % 256);
        }
    }
}

} // namespace
