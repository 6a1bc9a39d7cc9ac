#include "keys/ControllerFrame.h"

#include <gtest/gtest.h>
#include <numeric>
#include <string>

namespace {

using namespace zr::keys;

const KeyBoxes kDesignKey{"FF", "FF", "FF", "FF", "FF", "FF"};

TEST(ControllerFrameTest, FirstBlockRowWithDesignKey) {
    const auto frame = buildControllerFrame("32 - Sec  8 BLOCK 32", kDesignKey);
    ASSERT_TRUE(frame);
    EXPECT_EQ(frame.value(), (ControllerFrame{0x8F, 0x0C, 0xFF, 0x34, 0x58, 0x20, 0xFF, 0xFF, 0xFF,
                                              0xFF, 0xFF, 0xFF, 0x4C, 0xF1}));
}

TEST(ControllerFrameTest, OneDigitBoxCountsWithLeadingZero) {
    const auto frame = buildControllerFrame("33", {"5", "0", "a", "10", "ff", " 7"});
    ASSERT_TRUE(frame);
    const ControllerFrame& f = frame.value();
    EXPECT_EQ(f[5], 33);
    EXPECT_EQ(f[6], 0x05);
    EXPECT_EQ(f[7], 0x00);
    EXPECT_EQ(f[8], 0x0A);
    EXPECT_EQ(f[9], 0x10);
    EXPECT_EQ(f[10], 0xFF);
    EXPECT_EQ(f[11], 0x07);
}

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

struct BlockCase {
    std::string text;
    bool accepted;
    int block;
};

class ControllerBlockTest : public testing::TestWithParam<BlockCase> {};

TEST_P(ControllerBlockTest, BlockNumber) {
    const auto frame = buildControllerFrame(GetParam().text, kDesignKey);
    ASSERT_EQ(frame.ok(), GetParam().accepted);
    if (frame) {
        EXPECT_EQ(frame.value()[5], GetParam().block);
    } else {
        EXPECT_EQ(frame.error().kind, ControllerFrameError::Kind::BlockNumber);
        EXPECT_EQ(frame.error().text, GetParam().text);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ControllerBlockTest,
                         testing::Values(BlockCase{"32 - Sec  8 BLOCK 32", true, 32},
                                         BlockCase{"34 - Sec  8 BLOCK 34", true, 34},
                                         BlockCase{"0", true, 0}, BlockCase{"255", true, 255},
                                         BlockCase{"  4", true, 4}, BlockCase{"256", false, 0},
                                         BlockCase{"-1", false, 0}, BlockCase{"", false, 0},
                                         BlockCase{"   ", false, 0}, BlockCase{"abc", false, 0},
                                         BlockCase{"Sec 8", false, 0}, BlockCase{"32.5", false, 0},
                                         BlockCase{"1e999", false, 0},
                                         BlockCase{"99999999999999999999", false, 0}));

TEST(ControllerFrameTest, KeyBoxOutsideAByteIsRefusedAndNamed) {
    const auto frame = buildControllerFrame("32", {"FF", "FF", "FF", "FF", "FF", "ZZ"});
    ASSERT_FALSE(frame);
    EXPECT_EQ(frame.error().kind, ControllerFrameError::Kind::KeyBox);
    EXPECT_EQ(frame.error().box, 5u);
    EXPECT_EQ(controllerFrameErrorMessage(frame.error(), true),
              "New A Key box 6 \"ZZ\" is not a byte (00 - FF), nothing sent!");
    EXPECT_EQ(controllerFrameErrorMessage(frame.error(), false),
              "新 A KEY 第 6 格 \"ZZ\" 不是一個位元組 (00 - FF)，未送出!");
}

TEST(ControllerFrameTest, BlockMessagesNameTheText) {
    const auto frame = buildControllerFrame("300", kDesignKey);
    ASSERT_FALSE(frame);
    EXPECT_EQ(controllerFrameErrorMessage(frame.error(), true),
              "Block number \"300\" is not a whole number from 0 to 255, nothing sent!");
    EXPECT_EQ(controllerFrameErrorMessage(frame.error(), false),
              "區塊號碼 \"300\" 不是 0 到 255 的整數，未送出!");
    EXPECT_EQ(serialPortClosedMessage(true), "Serial port is not open, nothing sent!");
    EXPECT_EQ(serialPortClosedMessage(false), "序列埠未開啟，未送出!");
}

} // namespace
