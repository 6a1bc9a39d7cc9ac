// The shared sequence on one SQLite file opened by two stations.
#include "RegisterFixture.h"

#include <gtest/gtest.h>

namespace zr::reg::test {
namespace {

using SharedSequence = TwoBenches;

enum class Then { Interrupted, Written, FailedBeforeWriting, NoAnswerToTheWrite };

constexpr CardRegister::NumberRule kShared{
    .sharedSequence = true, .skipHeld = true, .ownNumberFirst = true};
constexpr CardRegister::NumberRule kAutomatic{
    .sharedSequence = false, .skipHeld = true, .ownNumberFirst = true};
constexpr CardRegister::NumberRule kByHand{
    .sharedSequence = false, .skipHeld = false, .ownNumberFirst = false};
constexpr CardRegister::NumberRule kSharedByHand{
    .sharedSequence = true, .skipHeld = false, .ownNumberFirst = false};

TEST_F(SharedSequence, NoNumberGoesToASecondCard) {
    const struct {
        char bench;
        CardRegister::NumberRule rule;
        const char* uid;
        int from;
        int expected;
        Then then;
        const char* why;
    } steps[] = {
        {'A', kShared, "2000000401", 5, 5, Then::FailedBeforeWriting, "free number"},
        {'B', kShared, "2000000402", 5, 6, Then::Written, "5 is A's open claim"},
        {'A', kShared, "2000000403", 5, 5, Then::Interrupted,
         "A's claim whose write left nothing is reused"},
        {'A', kShared, "2000000404", 5, 7, Then::Written, "5 may be on 403, 6 is on 402"},
        {'B', kShared, "2000000403", 1, 5, Then::Written,
         "the interrupted card gets its own number again, on another bench"},
        {'A', kShared, "2000000405", 1, 1, Then::Written, "a free lower number when asked for"},
        {'A', kAutomatic, "2000000406", 1, 2, Then::Written,
         "without the sequence, numbers other cards hold are passed over too"},
        {'B', kAutomatic, "2000000407", 9, 9, Then::Interrupted, "free"},
        {'A', kAutomatic, "2000000408", 9, 10, Then::Written, "not one whose write never ended"},
        {'A', kByHand, "2000000409", 9, 9, Then::Written,
         "by hand, the number the operator said yes to"},
        {'B', kAutomatic, "2000000406", 20, 2, Then::Written, "a card laid again keeps its number"},
        {'B', kAutomatic, "2000000410", 11, 11, Then::NoAnswerToTheWrite, "free"},
        {'A', kAutomatic, "2000000411", 11, 12, Then::Written,
         "a write without an answer may have landed: its number stays with that card"},
        {'B', kSharedByHand, "2000000412", 6, 8, Then::Written,
         "a written card's claim is no open claim of its bench: 6 and 7 are taken"},
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.why);
        CardRegister& bench = step.bench == 'A' ? *benchA : *benchB;
        const auto attempt = bench.startAttempt(3, step.from, step.uid, true, step.rule);
        ASSERT_TRUE(attempt) << bench.lastError().message;
        EXPECT_EQ(attempt->card, step.expected);
        CardWrite outcome = written(step.uid, 3, attempt->card);
        if (step.then == Then::FailedBeforeWriting || step.then == Then::NoAnswerToTheWrite) {
            outcome.v1 = step.then == Then::NoAnswerToTheWrite ? LayoutOutcome::Unknown
                                                               : LayoutOutcome::Failed;
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
    EXPECT_EQ(rows.value()[11].v1, "unknown");
    // 407's own 9 went to 409 by hand: 407 gets a new number, not "its own".
    const auto again = benchB->startAttempt(3, 20, "2000000407", true, kAutomatic);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->card, 20);
    EXPECT_FALSE(again->ownNumber);
}

TEST_F(SharedSequence, APassedOverNumberNamesItsCardAndAUidMustBeOne) {
    ASSERT_TRUE(benchA->recordWrite(written("2000000401", 6, 1)));
    const auto attempt = benchB->startAttempt(6, 1, "2000000402", false, kAutomatic);
    ASSERT_TRUE(attempt);
    EXPECT_EQ(attempt->card, 2);
    EXPECT_EQ(attempt->skippedCard, 1);
    EXPECT_EQ(attempt->skippedHolder, "2000000401");
    EXPECT_FALSE(attempt->ownNumber);
    for (const char* notAUid : {"20000300282000030028", "NONONONONO", "9999999999", "200003002"}) {
        EXPECT_FALSE(benchB->startAttempt(6, 1, notAUid, false, kAutomatic)) << notAUid;
        EXPECT_EQ(benchB->lastError().kind, RegisterFailure::NotAUid);
        EXPECT_FALSE(benchB->recordWrite(written(notAUid, 6, 9)));
    }
}

TEST_F(SharedSequence, NumbersWrittenBeforeTheSequenceAreSkippedAndTheTopEnds) {
    ASSERT_TRUE(benchA->recordWrite(written("2000000401", 4, 65534)));
    CardWrite partial = written("2000000402", 4, 65535);
    partial.v3 = LayoutOutcome::Failed; // V1 holds the number all the same
    partial.written = false;
    ASSERT_TRUE(benchA->recordWrite(partial));

    EXPECT_EQ(benchB->claimNumber(4, 65533, "2000000409"), 65533);
    EXPECT_FALSE(benchB->claimNumber(4, 65534, "2000000410"));
    EXPECT_EQ(benchB->lastError().kind, RegisterFailure::NoFreeNumber);
    EXPECT_EQ(benchA->claimNumber(4, 65534, "2000000401"), 65534); // its own card
    // Another group is its own sequence.
    EXPECT_EQ(benchB->claimNumber(5, 65534, "2000000410"), 65534);
}

} // namespace
} // namespace zr::reg::test
