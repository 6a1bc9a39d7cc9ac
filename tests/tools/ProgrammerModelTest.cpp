// The simulated programmer's replies to each frame, card by card, without a link.
#include "ProgrammerModel.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zr::sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

const std::string kUid = "0123456789";
const Bytes kLoginKey = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
const Bytes kPasswordSet1 = {0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5};
const Bytes kCardKey = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC}; // stands for the UID-derived key
const Bytes kWrongKey = {0x11, 0x22, 0x33, 0x44, 0x55, 0x66};

Bytes frame(Bytes head, const Bytes& tail = {}) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

const Bytes kReadUid = {0x01, 0x00};
const Bytes kSelectType0 = {0x02, 0x03, 0x00};
const Bytes kSelectType1 = {0x02, 0x03, 0x01};
const Bytes kV1ModifyKey = {0x02, 0x02, 0x01};
const Bytes kV1Read = {0x01, 0x04};
const Bytes kV2Read = {0x01, 0x0A};
const Bytes kV1LoginFixed = frame({0x08, 0x07, 0x04}, kLoginKey);
const Bytes kV1ModifyFixed = frame({0x08, 0x08, 0x04}, kPasswordSet1);
const Bytes kV2LoginFixed = frame({0x08, 0x07, 0x20}, kLoginKey);
const Bytes kV2LoginCardKey = frame({0x08, 0x07, 0x20}, kCardKey);
const Bytes kV2ModifyCardKey = frame({0x08, 0x08, 0x20}, kCardKey);
const Bytes kWrite2_1Locked = {0x06, 0x09, 0x00, 0x02, 0x00, 0x01, 0x01};
const Bytes kWrite1_258 = {0x06, 0x09, 0x00, 0x01, 0x01, 0x02, 0x00};
const Bytes kController = {0x8F, 0x0C, 0xFF, 0x34, 0x58, 0x20, 0xFF,
                           0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x4C, 0xF1};

struct Exchange {
    Bytes request;
    std::string reply;
};

struct Conversation {
    std::string name;
    std::vector<Exchange> exchanges;
};

// The station's write workflow (V1 then V3, model row 1), then its read-back, on a fresh card.
const std::vector<Exchange> kWriteThenReadBack = {
    {kReadUid, kUid},         {kSelectType0, "OK"},     {kV1ModifyFixed, "OK"},
    {kSelectType1, "OK"},     {kWrite2_1Locked, "OK"},  {kV2LoginFixed, "OK"},
    {kV2ModifyCardKey, "OK"}, {kWrite2_1Locked, "OK"},  {kReadUid, kUid},
    {kV1LoginFixed, "OK"},    {kSelectType1, "OK"},     {kV1Read, "0000200001"},
    {kV2LoginFixed, "OK"},    {kV2ModifyCardKey, "OK"}, {kV2Read, "0000200001"},
};

std::vector<Exchange> concat(std::vector<Exchange> first, const std::vector<Exchange>& second) {
    first.insert(first.end(), second.begin(), second.end());
    return first;
}

class ProgrammerConversation : public testing::TestWithParam<Conversation> {};

TEST_P(ProgrammerConversation, EveryRequestGetsItsReply) {
    ProgrammerModel model;
    model.layCard(kUid);
    const auto& exchanges = GetParam().exchanges;
    for (std::size_t i = 0; i < exchanges.size(); ++i) {
        EXPECT_EQ(model.answer(exchanges[i].request), exchanges[i].reply) << "exchange " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Workflows, ProgrammerConversation,
    testing::Values(
        Conversation{"WriteThenReadBack", kWriteThenReadBack},
        Conversation{
            "ModelRow0ReadBackUsesTheCardKey",
            concat(kWriteThenReadBack,
                   {{kV2LoginCardKey, "OK"}, {kV2ModifyCardKey, "OK"}, {kV2Read, "0000200001"}})},
        Conversation{
            "WriteAfterWrongKeyRefused",
            {{frame({0x08, 0x07, 0x20}, kWrongKey), "NO"}, {kWrite1_258, "NO"}, {kV2Read, "NO"}}},
        // A refused log-in keeps the programmer's mode: the write goes where it pointed.
        Conversation{"RefusedLogInKeepsTheMode",
                     {{kSelectType0, "OK"},
                      {frame({0x08, 0x07, 0x20}, kWrongKey), "NO"},
                      {kWrite1_258, "OK"},
                      {kV2Read, "0000100258"},
                      {kV1Read, "0000100258"},
                      {kSelectType1, "NO"},
                      {kV1Read, "0000100258"}}},
        Conversation{"KeyChangedThenOldKeyStillWorksAsKeyB",
                     {{kV2LoginFixed, "OK"},
                      {frame({0x08, 0x08, 0x20}, kWrongKey), "OK"},
                      {frame({0x08, 0x07, 0x20}, kWrongKey), "OK"},
                      {kV2LoginFixed, "OK"},
                      {kV2LoginCardKey, "NO"}}},
        Conversation{"RecordedCardIsNotBlank",
                     concat(kWriteThenReadBack, {{kSelectType0, "NO"}, {kWrite1_258, "NO"}})},
        Conversation{"LockedNumberRefusesRewrite",
                     concat(kWriteThenReadBack,
                            {{kSelectType1, "OK"}, {kWrite1_258, "NO"}, {kV1Read, "0000200001"}})},
        Conversation{"ControllerFrame", {{kController, "OK"}}}),
    [](const testing::TestParamInfo<Conversation>& param) { return param.param.name; });

TEST(ProgrammerModel, WithoutACardOnlyTheControllerAnswersOk) {
    ProgrammerModel model;
    for (const Bytes& request : {kReadUid, kSelectType0, kV1ModifyKey, kV1Read, kV2LoginFixed,
                                 kV2ModifyCardKey, kWrite1_258, kV2Read}) {
        EXPECT_EQ(model.answer(request), "NO");
    }
    EXPECT_EQ(model.answer(kController), "OK");
}

TEST(ProgrammerModel, SiteKeysComeFromTheConfiguration) {
    const ProgrammerKeys keys{{1, 2, 3, 4, 5, 6}, {7, 8, 9, 10, 11, 12}};
    ProgrammerModel model(keys);
    model.layCard(kUid);
    EXPECT_EQ(model.answer(kV2LoginFixed), "OK") << "fresh key A is the transport key";
    EXPECT_EQ(model.answer(frame({0x08, 0x07, 0x04}, {1, 2, 3, 4, 5, 6})), "OK") << "key B";
    EXPECT_EQ(model.answer(kSelectType0), "OK");
    EXPECT_EQ(model.answer(kV1ModifyKey), "OK");
    EXPECT_EQ(model.answer(kSelectType1), "OK");
    EXPECT_EQ(model.memoryOf(kUid)->keyA[kV1Sector], (Key{7, 8, 9, 10, 11, 12}));
}

TEST(ControllerFrame, CheckBytesDecideTheReply) {
    ProgrammerModel model;
    EXPECT_EQ(model.answer(kController), "OK");
    for (const std::size_t index : {2u, 5u, 11u, 12u, 13u}) {
        Bytes changed = kController;
        changed[index] ^= 0x01;
        EXPECT_EQ(model.answer(changed), "NO") << "byte " << index;
    }
}

TEST(ControllerFrame, BytesZeroAndOneTakeNoPartInTheChecks) {
    Bytes body = {0xFF, 0x34, 0x58, 0x21, 0x05, 0x10, 0x00, 0xAB, 0xCD, 0xEF};
    const ControllerCheckBytes check = controllerCheckBytes(body);
    Bytes full = frame({0x8F, 0x0C}, body);
    full.push_back(check.x);
    full.push_back(check.s);
    EXPECT_TRUE(controllerFrameChecksOut(full));
    full[1] = 0x0D;
    EXPECT_FALSE(controllerFrameChecksOut(full));
}

struct TextCase {
    std::string text;
    bool valid;
};

} // namespace
} // namespace zr::sim
