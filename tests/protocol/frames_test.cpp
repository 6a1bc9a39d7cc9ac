#include "keys/SiteConfig.h"
#include "protocol/Frames.h"

#include <gtest/gtest.h>

namespace {

using namespace zr::protocol;
using zr::keys::KeyBoxes;
using zr::keys::KeyBytes;

const KeyBoxes kDesignBoxes{"FF", "FF", "FF", "FF", "FF", "FF"};
const KeyBytes kLoginKey{0x11, 0x22, 0x33, 0x44, 0x55, 0x66};
const KeyBytes kV1CardKey{0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5};

struct FrameCase {
    const char* name;
    Frame frame;
    Frame expected;
};

class FixedFrameTest : public testing::TestWithParam<FrameCase> {};

TEST_P(FixedFrameTest, ByteExact) {
    EXPECT_EQ(GetParam().frame, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Senders, FixedFrameTest,
    testing::Values(FrameCase{"ReadUid", readUidFrame(), {0x01, 0x00}},
                    FrameCase{"V1ReadCardCode", v1ReadCardCodeFrame(), {0x01, 0x04}},
                    FrameCase{"V2ReadCardCode", v2ReadCardCodeFrame(), {0x01, 0x0A}},
                    FrameCase{"V1SelectType0", v1SelectTypeFrame(0), {0x02, 0x03, 0x00}},
                    FrameCase{"V1SelectType1", v1SelectTypeFrame(1), {0x02, 0x03, 0x01}},
                    FrameCase{"V1ModifyKey", v1ModifyKeyFrame(), {0x02, 0x02, 0x01}},
                    FrameCase{"V2LoginFixedKey",
                              v2LoginFixedKeyFrame(kLoginKey),
                              {0x08, 0x07, 0x20, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66}},
                    FrameCase{"V1LoginFixedKey",
                              v1LoginFixedKeyFrame(kLoginKey),
                              {0x08, 0x07, 0x04, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66}},
                    FrameCase{"V1ModifyFixedKey",
                              v1ModifyFixedKeyFrame(kV1CardKey),
                              {0x08, 0x08, 0x04, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5}},
                    FrameCase{"LoginBlock",
                              loginBlockFrame(33, kLoginKey),
                              {0x08, 0x07, 0x21, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66}},
                    FrameCase{"ChangeBlockKey",
                              changeBlockKeyFrame(34, kV1CardKey),
                              {0x08, 0x08, 0x22, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5}},
                    FrameCase{"WriteGroup1Card258",
                              writeCardCodeFrame({0x00, 0x01, 0x01, 0x02, 0x00}),
                              {0x06, 0x09, 0x00, 0x01, 0x01, 0x02, 0x00}}),
    [](const testing::TestParamInfo<FrameCase>& param) { return std::string(param.param.name); });

TEST(KeyFrameTest, DesignKeyBoxes) {
    const auto login = v2LoginTypedKeyFrame(kDesignBoxes);
    const auto modify = v2ModifyKeyFrame(kDesignBoxes);
    ASSERT_TRUE(login && modify);
    EXPECT_EQ(login.value(), (Frame{0x08, 0x07, 0x20, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(modify.value(), (Frame{0x08, 0x08, 0x20, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
}

TEST(KeyFrameTest, OneDigitAndLowerCaseBoxes) {
    const auto login = v2LoginTypedKeyFrame({"5", "a", "0f", " F0 ", "", "10"});
    ASSERT_TRUE(login);
    EXPECT_EQ(login.value(), (Frame{0x08, 0x07, 0x20, 0x05, 0x0A, 0x0F, 0xF0, 0x00, 0x10}));
}

TEST(KeyFrameTest, PastedBoxIsRefusedNotTruncated) {
    for (const auto& build : {v2LoginTypedKeyFrame, v2ModifyKeyFrame}) {
        const auto frame = build({"FF", "FF", "ZZ", "FF", "FF", "FF"});
        ASSERT_FALSE(frame);
        EXPECT_EQ(frame.error().box, 2u);
        EXPECT_EQ(frame.error().value, 595);
    }
}

TEST(WriteFrameTest, FromTheCardNumberFields) {
    const auto payload = zr::recording::encodeCardNumber("00002", "00001", true);
    ASSERT_TRUE(payload);
    EXPECT_EQ(writeCardCodeFrame(*payload), (Frame{0x06, 0x09, 0x00, 0x02, 0x00, 0x01, 0x01}));
}

TEST(FrameTest, LengthByteCountsTheBytesThatFollow) {
    for (const Frame& frame :
         {readUidFrame(), v1SelectTypeFrame(1), v2LoginFixedKeyFrame(kLoginKey),
          writeCardCodeFrame({1, 2, 3, 4, 1})}) {
        ASSERT_FALSE(frame.empty());
        EXPECT_EQ(frame[0], frame.size() - 1);
    }
}

TEST(FrameTest, DefaultSiteKeysGoIntoTheFixedKeyFrames) {
    const auto site = zr::keys::defaultSiteConfig();
    EXPECT_EQ(v2LoginFixedKeyFrame(site.loginKey),
              (Frame{0x08, 0x07, 0x20, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(v1ModifyFixedKeyFrame(site.v1CardKey),
              (Frame{0x08, 0x08, 0x04, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5}));
}

} // namespace
