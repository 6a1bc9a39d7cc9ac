// The shared sequence on one SQLite file opened by two stations.
#include "RegisterFixture.h"

#include <gtest/gtest.h>

namespace zr::reg::test {
namespace {

using SharedSequence = TwoBenches;

enum class Then { Interrupted, Written, FailedBeforeWriting };

TEST_F(SharedSequence, ClaimsSkipWhatOthersHoldAndKeepWhatIsOwn) {
    const struct {
        char bench;
        bool shared;
        const char* uid;
        int from;
        int expected;
        Then then;
        const char* why;
    } steps[] = {
        {'A', true, "0401", 5, 5, Then::FailedBeforeWriting, "free number"},
        {'B', true, "0402", 5, 6, Then::Written, "5 is A's open claim"},
        {'A', true, "0403", 5, 5, Then::Interrupted, "A's claim whose write failed is reused"},
        {'A', true, "0404", 5, 7, Then::Written, "5 may be on 0403, 6 is on 0402"},
        {'B', true, "0403", 5, 5, Then::Written, "the interrupted card gets its own number again"},
        {'A', true, "0405", 1, 1, Then::Written, "a free lower number when asked for"},
        {'A', false, "0406", 1, 1, Then::Written,
         "without the sequence, written numbers are reused"},
        {'B', false, "0407", 9, 9, Then::Interrupted, "free"},
        {'A', false, "0408", 9, 10, Then::Written, "but not one whose write never ended"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.why);
        CardRegister& bench = step.bench == 'A' ? *benchA : *benchB;
        const auto attempt = bench.startAttempt(3, step.from, step.uid, true, step.shared);
        ASSERT_TRUE(attempt) << bench.lastError().message;
        EXPECT_EQ(attempt->card, step.expected);
        CardWrite outcome = written(step.uid, 3, attempt->card);
        if (step.then == Then::FailedBeforeWriting) {
            outcome.v1 = LayoutOutcome::Failed;
            outcome.v3 = LayoutOutcome::Skipped;
            outcome.written = false;
        }
        if (step.then != Then::Interrupted) {
            ASSERT_TRUE(bench.recordWrite(outcome, attempt->id));
        }
    }
    // One row per attempt: the outcomes completed the rows their starts made.
    const auto rows = benchA->list({});
    ASSERT_TRUE(rows.ok());
    ASSERT_EQ(rows.value().size(), std::size(steps));
    EXPECT_EQ(rows.value()[0].outcome, "failed");
    EXPECT_EQ(rows.value()[2].outcome, "started");
    EXPECT_EQ(rows.value()[3].outcome, "written");
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
