// The shared sequence on one SQLite file opened by two stations.
#include "RegisterFixture.h"

#include <gtest/gtest.h>

namespace zr::reg::test {
namespace {

class SharedSequence : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string url = "sqlite:" + dir.file("cards.sqlite");
        auto a = openAt(url, "bench-A", clock);
        auto b = openAt(url, "bench-B", clock);
        ASSERT_TRUE(a.ok() && b.ok());
        benchA = a.value();
        benchB = b.value();
    }
    TempDir dir;
    TestClock clock;
    std::shared_ptr<CardRegister> benchA;
    std::shared_ptr<CardRegister> benchB;
};

TEST_F(SharedSequence, ClaimsSkipWhatOthersHoldAndKeepWhatIsOwn) {
    const struct {
        char bench;
        const char* uid;
        int from;
        int expected;
        bool writeAfter;
        const char* why;
    } steps[] = {
        {'A', "0401", 5, 5, false, "free number"},
        {'B', "0402", 5, 6, false, "held by A's open claim"},
        {'A', "0403", 5, 5, true, "A's own unwritten claim is reused for the next card"},
        {'A', "0403", 5, 5, false, "the card's own number again (a retry)"},
        {'B', "0403", 1, 1, false, "a free lower number is taken when asked for"},
        {'B', "0404", 5, 6, true, "B's own claim"},
        {'A', "0405", 5, 7, false, "5 and 6 written"},
        {'B', "0403", 5, 5, false, "the card already holding 5 keeps it, whoever asks"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.why);
        CardRegister& bench = step.bench == 'A' ? *benchA : *benchB;
        const auto claimed = bench.claimNumber(3, step.from, step.uid);
        ASSERT_TRUE(claimed) << bench.lastError().message;
        EXPECT_EQ(*claimed, step.expected);
        if (step.writeAfter) {
            ASSERT_TRUE(bench.recordWrite(written(step.uid, 3, *claimed)));
        }
    }
}

TEST_F(SharedSequence, NumbersWrittenBeforeTheSequenceAreSkippedAndTheTopEnds) {
    ASSERT_TRUE(benchA->recordWrite(written("0401", 4, 65534)));
    CardWrite partial = written("0402", 4, 65535);
    partial.v3 = LayoutOutcome::Failed; // V1 holds the number all the same
    partial.written = false;
    ASSERT_TRUE(benchA->recordWrite(partial));

    EXPECT_EQ(benchB->claimNumber(4, 65533, "0409"), 65533);
    EXPECT_FALSE(benchB->claimNumber(4, 65534, "0410"));
    EXPECT_EQ(benchB->lastError().kind, RegisterFailure::NoFreeNumber);
    EXPECT_EQ(benchA->claimNumber(4, 65534, "0401"), 65534); // its own card
    // Another group is its own sequence.
    EXPECT_EQ(benchB->claimNumber(5, 65534, "0410"), 65534);
}

TEST_F(SharedSequence, OtherUidWithTheNumber) {
    ASSERT_TRUE(benchA->recordWrite(written("0401", 1, 1)));
    CardWrite failed = written("0402", 1, 2);
    failed.v1 = LayoutOutcome::Failed;
    failed.v3 = LayoutOutcome::Skipped;
    failed.written = false;
    ASSERT_TRUE(benchA->recordWrite(failed));

    const struct {
        int card;
        const char* uid;
        std::optional<std::string> other;
    } cases[] = {
        {1, "0401", std::nullopt},
        {1, "0499", "0401"},
        {2, "0499", std::nullopt}, // a failed write gave the number to nobody
        {3, "0499", std::nullopt},
    };
    for (const auto& c : cases) {
        const auto other = benchB->otherUidWith(1, c.card, c.uid);
        ASSERT_TRUE(other.ok());
        EXPECT_EQ(other.value(), c.other) << c.card << " " << c.uid;
    }
}

} // namespace
} // namespace zr::reg::test
