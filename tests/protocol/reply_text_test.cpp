// Reply bytes to text, and the removal of OK and NO; fuzz_reply_text_replay runs the corpus.
#include "protocol/ReplyText.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using zr::protocol::replyText;
using zr::protocol::withoutOkAndNo;

struct ReplyCase {
    std::vector<std::uint8_t> bytes;
    std::string text;
};

class ReplyTextTest : public testing::TestWithParam<ReplyCase> {};

TEST_P(ReplyTextTest, Text) {
    EXPECT_EQ(replyText(GetParam().bytes), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReplyTextTest,
    testing::Values(ReplyCase{{0x4F, 0x4B}, "OK"},
                    // Only NULs and spaces go: CR LF stay, so this is not "OK".
                    ReplyCase{{0x4F, 0x4B, 0x0D, 0x0A}, "OK\r\n"},
                    ReplyCase{{0x00, 0x4F, 0x00, 0x4B, 0x20}, "OK"},
                    ReplyCase{{0x00, 0x20, 0x00, 0x20}, ""}, ReplyCase{{}, ""},
                    ReplyCase{{0x20, 0x4E, 0x20, 0x4F, 0x20}, "N O"},
                    ReplyCase{{0x09, 0x4F, 0x4B}, "\tOK"},
                    ReplyCase{{0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x30},
                              "1234567890"},
                    // High bytes are Latin-1 characters in UTF-8.
                    ReplyCase{{0xE9, 0x41},
                              "\xC3\xA9"
                              "A"},
                    ReplyCase{{0xFF, 0x80}, "\xC3\xBF\xC2\x80"}, ReplyCase{{0xA0}, "\xC2\xA0"}));

struct RemovalCase {
    std::string text;
    std::string cleaned;
};

class OkNoRemovalTest : public testing::TestWithParam<RemovalCase> {};

TEST_P(OkNoRemovalTest, Cleaned) {
    EXPECT_EQ(withoutOkAndNo(GetParam().text), GetParam().cleaned);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, OkNoRemovalTest,
    testing::Values(RemovalCase{"OK1234567890", "1234567890"},
                    RemovalCase{"1234567890OK", "1234567890"}, RemovalCase{"NO", ""},
                    RemovalCase{"OKNOOK", ""}, RemovalCase{"12345OK67890NO", "1234567890"},
                    // One pass each, OK first: what a removal leaves is not looked at again.
                    RemovalCase{"OOKK", "OK"}, RemovalCase{"NOKO", ""}, RemovalCase{"NNOO", "NO"},
                    RemovalCase{"ok no", "ok no"}, RemovalCase{"", ""}, RemovalCase{"O K", "O K"}));

} // namespace
