// The simulator's scenario lines, each command parsed or refused.
#include "ScenarioCommand.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace zr::sim::scenario {
namespace {

struct LineCase {
    std::string line;
    std::optional<Command> command;
    bool refused = false;
};

bool sameCommand(const Command& a, const Command& b) {
    if (a.index() != b.index()) {
        return false;
    }
    if (const auto* lay = std::get_if<LayCard>(&a)) {
        return lay->uid == std::get<LayCard>(b).uid;
    }
    if (const auto* pause = std::get_if<Pause>(&a)) {
        return pause->ms == std::get<Pause>(b).ms;
    }
    if (const auto* split = std::get_if<SplitReplies>(&a)) {
        return split->pieces == std::get<SplitReplies>(b).pieces;
    }
    if (const auto* queue = std::get_if<QueueCards>(&a)) {
        return queue->uids == std::get<QueueCards>(b).uids;
    }
    if (const auto* swap = std::get_if<SwapAfter>(&a)) {
        return swap->ms == std::get<SwapAfter>(b).ms;
    }
    if (const auto* snatch = std::get_if<SnatchAtWrite>(&a)) {
        return snatch->nth == std::get<SnatchAtWrite>(b).nth;
    }
    if (const auto* reply = std::get_if<UidReply>(&a)) {
        return reply->text == std::get<UidReply>(b).text;
    }
    if (const auto* refuse = std::get_if<RefuseLogIn>(&a)) {
        const auto& other = std::get<RefuseLogIn>(b);
        return refuse->count == other.count && refuse->carriedOut == other.carriedOut;
    }
    if (const auto* mute = std::get_if<MuteReads>(&a)) {
        return mute->count == std::get<MuteReads>(b).count;
    }
    if (const auto* delay = std::get_if<UidDelay>(&a)) {
        return delay->ms == std::get<UidDelay>(b).ms;
    }
    return true;
}

TEST(ScenarioLine, ParsesEachCommandAndRefusesNonsense) {
    const std::vector<LineCase> cases = {
        {"card 0123456789", LayCard{"0123456789"}},
        {"  card\t0123456789   # the first card", LayCard{"0123456789"}},
        {"card 6553665535", std::nullopt, true},
        {"card", std::nullopt, true},
        {"card 0123456789 extra", std::nullopt, true},
        {"remove", RemoveCard{}},
        {"delay 250", Pause{250}},
        {"delay 0", Pause{0}},
        {"delay -1", std::nullopt, true},
        {"delay 3600001", std::nullopt, true},
        {"delay 12ms", std::nullopt, true},
        {"split 3", SplitReplies{3}},
        {"split 1", SplitReplies{1}},
        {"split 0", std::nullopt, true},
        {"split 65", std::nullopt, true},
        {"queue 0000165533 3", QueueCards{{"0000165533", "0000165534", "0000165535"}}},
        {"queue 0000165535 2", std::nullopt, true}, // 00001 65536 is no UID
        {"queue 0000100001 0", std::nullopt, true},
        {"queue 0000100001 10001", std::nullopt, true},
        {"queue 0000100001", std::nullopt, true},
        {"swap 300", SwapAfter{300}},
        {"swap -5", std::nullopt, true},
        {"snatch", SnatchAtWrite{}},
        {"snatch now", std::nullopt, true},
        {"snatch 2", SnatchAtWrite{2}},
        {"snatch 0", std::nullopt, true},
        {"lose", LoseWriteAnswer{}},
        {"refuse-login", RefuseLogIn{1, false}},
        {"misreport-login 3", RefuseLogIn{3, true}},
        {"refuse-login 101", std::nullopt, true},
        {"mute-read 3", MuteReads{3}},
        {"mute-read 0", std::nullopt, true},
        {"mute-read 1 2", std::nullopt, true},
        {"uid-reply ~*~~&~@%%&", UidReply{"~*~~&~@%%&"}},
        {"uid-reply", std::nullopt, true},
        {"uid-delay 350", UidDelay{350}},
        {"uid-delay 60001", std::nullopt, true},
        {"silent", GoSilent{}},
        {"normal", GoNormal{}},
        {"garbage", GarbleNextReply{}},
        {"drop", DropLink{}},
        {"quit\r", Quit{}},
        {"quit now", std::nullopt, true},
        {"Card 0123456789", std::nullopt, true},
        {"explode", std::nullopt, true},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"# card 0123456789", std::nullopt},
    };
    for (const LineCase& test : cases) {
        const ParsedLine parsed = parseLine(test.line);
        EXPECT_EQ(!parsed.error.empty(), test.refused) << test.line;
        ASSERT_EQ(parsed.command.has_value(), test.command.has_value()) << test.line;
        if (test.command) {
            EXPECT_TRUE(sameCommand(*parsed.command, *test.command)) << test.line;
        }
    }
}

} // namespace
} // namespace zr::sim::scenario
