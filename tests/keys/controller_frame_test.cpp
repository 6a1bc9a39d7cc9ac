// The 14-byte key frame for a controller: block number, key bytes, check bytes, refusals.
#include "keys/ControllerFrame.h"

#include <gtest/gtest.h>
#include <numeric>
#include <string>

namespace {

using namespace zr::keys;

const KeyBoxes kDesignKey{"FF", "FF", "FF", "FF", "FF", "FF"};

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

TEST(ControllerFrameTest, BlockNumberIsAWholeNumberFrom0To255) {
    const std::pair<const char*, int> accepted[] = {
        {"32 - Sec  8 BLOCK 32", 32}, {"0", 0}, {"255", 255}, {"  4", 4}};
    for (const auto& [text, block] : accepted) {
        const auto frame = buildControllerFrame(text, kDesignKey);
        ASSERT_TRUE(frame) << text;
        EXPECT_EQ(frame.value()[5], block);
    }
    for (const char* text :
         {"256", "-1", "", "   ", "abc", "Sec 8", "32.5", "1e999", "99999999999999999999"}) {
        const auto frame = buildControllerFrame(text, kDesignKey);
        ASSERT_FALSE(frame) << text;
        EXPECT_EQ(frame.error().kind, ControllerFrameError::Kind::BlockNumber);
        EXPECT_EQ(frame.error().text, text);
    }
}

// The other language of each message is checked through the station in key_procedures_test.
TEST(ControllerFrameTest, RefusalsNameTheBoxOrTheBlockText) {
    const auto badKey = buildControllerFrame("32", {"FF", "FF", "FF", "FF", "FF", "ZZ"});
    ASSERT_FALSE(badKey);
    EXPECT_EQ(badKey.error().kind, ControllerFrameError::Kind::KeyBox);
    EXPECT_EQ(badKey.error().box, 5u);
    EXPECT_EQ(controllerFrameErrorMessage(badKey.error(), true),
              "New A Key box 6 \"ZZ\" is not a byte (00 - FF), nothing sent!");
    const auto badBlock = buildControllerFrame("300", kDesignKey);
    ASSERT_FALSE(badBlock);
    EXPECT_EQ(controllerFrameErrorMessage(badBlock.error(), false),
              "區塊號碼 \"300\" 不是 0 到 255 的整數，未送出!");
}

} // namespace
