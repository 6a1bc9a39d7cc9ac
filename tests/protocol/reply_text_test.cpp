// The removal of OK and NO from reply text; fuzz_reply_text_replay runs the corpus of replies.
#include "protocol/ReplyText.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using zr::protocol::replyText;
using zr::protocol::withoutOkAndNo;

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

// Bytes become text as Latin-1 in UTF-8; NUL bytes go and blanks around the reply too.
TEST(ReplyTextTest, BytesBecomeText) {
    const std::vector<std::uint8_t> bytes{' ', 'O', 0, 'K', 0xFF, 0xE9, 0x80, ' '};
    EXPECT_EQ(replyText(bytes), "OK\xC3\xBF\xC3\xA9\xC2\x80");
}

} // namespace
