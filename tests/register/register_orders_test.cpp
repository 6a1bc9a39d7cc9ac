// An order's numbering on one SQLite file worked by two benches.
#include "RegisterFixture.h"

#include <gtest/gtest.h>

namespace zr::reg::test {
namespace {

using OrderNumbering = TwoBenches;

enum class Act { Start, ByHand, Void, Extend, Close };
enum class Then { Written, Interrupted, NoAnswer, FailedBeforeWriting };

TEST_F(OrderNumbering, TheRangeIsGivenOnceWhateverHoldsItsNumbers) {
    ASSERT_TRUE(benchA->addOrder({"PO-7", "Acme", 7, 1, 7}).ok());
    const struct {
        char bench;
        Act act;
        const char* uid;
        int number; // expected card code (Start), the code (ByHand), the new end (Extend)
        RegisterFailure failure;
        Then then;
        const char* why;
    } steps[] = {
        {'A', Act::Start, "2000000401", 1, RegisterFailure::None, Then::Written, "the first"},
        {'B', Act::ByHand, "2000000402", 3, RegisterFailure::None, Then::Written,
         "a card outside the order takes 3 by hand"},
        {'B', Act::Start, "2000000403", 2, RegisterFailure::None, Then::Interrupted, "a hole"},
        {'A', Act::Start, "2000000404", 4, RegisterFailure::None, Then::Written,
         "2 may be on a card, 3 is"},
        {'A', Act::Void, "2000000404", 0, RegisterFailure::None, Then::Written, "spoiled"},
        {'A', Act::Start, "2000000404", 5, RegisterFailure::None, Then::NoAnswer,
         "a void card laid again gets no void number"},
        {'B', Act::Start, "2000000405", 6, RegisterFailure::None, Then::FailedBeforeWriting,
         "B's claim stays open"},
        {'A', Act::Start, "2000000406", 7, RegisterFailure::None, Then::Written,
         "another bench's open claim is passed over"},
        {'B', Act::Start, "2000000407", 6, RegisterFailure::None, Then::Written,
         "a bench's own open claim is reused"},
        {'A', Act::Start, "2000000408", 0, RegisterFailure::OrderWaiting, Then::Written,
         "2 and 5 are held by unfinished cards"},
        {'B', Act::Start, "2000000403", 2, RegisterFailure::None, Then::Written,
         "the interrupted card gets its own number"},
        {'A', Act::Start, "2000000404", 5, RegisterFailure::None, Then::Written,
         "an unanswered write's card gets its own number"},
        {'B', Act::Start, "2000000409", 0, RegisterFailure::OrderComplete, Then::Written,
         "every number written or void"},
        {'B', Act::ByHand, "2000000414", 10, RegisterFailure::None, Then::Written,
         "a card outside the order takes 10 by hand"},
        {'A', Act::Extend, "", 10, RegisterFailure::Refused, Then::Written, "10 is on a card"},
        {'A', Act::Extend, "", 9, RegisterFailure::None, Then::Written, "open again"},
        {'A', Act::Start, "2000000410", 8, RegisterFailure::None, Then::Interrupted, "in flight"},
        {'B', Act::Close, "", 0, RegisterFailure::None, Then::Written, "closed while A works"},
        {'B', Act::Start, "2000000411", 0, RegisterFailure::OrderNotOpen, Then::Written,
         "a closed order gives nothing"},
        {'A', Act::Extend, "", 12, RegisterFailure::Refused, Then::Written, "closed"},
    };
    std::int64_t inFlight = 0; // the attempt last left unfinished
    for (const auto& step : steps) {
        SCOPED_TRACE(step.why);
        CardRegister& bench = step.bench == 'A' ? *benchA : *benchB;
        if (step.act != Act::Start && step.act != Act::ByHand) {
            EXPECT_EQ(step.act == Act::Void     ? bench.voidCard(step.uid, "dropped").ok()
                      : step.act == Act::Extend ? bench.extendOrder("PO-7", step.number).ok()
                                                : bench.closeOrder("PO-7").ok(),
                      step.failure == RegisterFailure::None);
            continue;
        }
        const auto attempt = step.act == Act::ByHand
                                 ? bench.startAttempt(7, step.number, step.uid, true,
                                                      {.sharedSequence = false, .skipHeld = false})
                                 : bench.startOrderAttempt("PO-7", step.uid, true);
        EXPECT_EQ(bench.lastError().kind, step.failure) << bench.lastError().message;
        if (!attempt) {
            continue;
        }
        EXPECT_EQ(attempt->card, step.number);
        CardWrite outcome = written(step.uid, 7, attempt->card);
        outcome.written = step.then == Then::Written;
        outcome.v1 = step.then == Then::NoAnswer  ? LayoutOutcome::Unknown
                     : step.then == Then::Written ? LayoutOutcome::Written
                                                  : LayoutOutcome::Failed;
        outcome.v3 = outcome.written ? LayoutOutcome::Written : LayoutOutcome::Skipped;
        if (step.then == Then::Interrupted) {
            inFlight = attempt->id;
        } else {
            ASSERT_TRUE(bench.recordWrite(outcome, attempt->id));
        }
    }
    // The card in flight when the order closed is on record with its order.
    ASSERT_TRUE(benchA->recordWrite(written("2000000410", 7, 8), inFlight));
    const auto progress = benchB->orderProgress("PO-7");
    ASSERT_TRUE(progress.ok());
    const OrderProgress& p = progress.value();
    EXPECT_EQ(std::tuple(p.order.state, p.order.last, p.written, p.voided, p.unfinished, p.free()),
              std::tuple("closed", 9, 7, 1, 0, 1));
    // The spoiled card itself never gets its void number back, whatever the rule.
    const auto again = benchA->startAttempt(7, 4, "2000000404", true,
                                            {.sharedSequence = false, .ownNumberFirst = false});
    ASSERT_TRUE(again);
    EXPECT_EQ(again->card, 5);
}

TEST_F(OrderNumbering, TheLastWriteCompletesTheOrderAndTheRangeEndsAtItsTop) {
    ASSERT_TRUE(benchA->recordWrite(written("2000000501", 2, 100)));
    ASSERT_TRUE(benchA->addOrder({"PO-8", "", 2, 65534, 65535}).ok());
    const auto first = benchA->startOrderAttempt("PO-8", "2000000501", true);
    const auto second = benchB->startOrderAttempt("PO-8", "2000000502", true);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->card, 65534); // not the card's own 100, outside the range
    EXPECT_EQ(second->card, 65535);
    ASSERT_TRUE(benchA->recordWrite(written("2000000501", 2, 65534), first->id));
    // One unfinished card is enough to keep the order waiting rather than complete.
    EXPECT_FALSE(benchB->startOrderAttempt("PO-8", "2000000503", true));
    EXPECT_EQ(benchB->lastError().kind, RegisterFailure::OrderWaiting);
    ASSERT_TRUE(benchB->recordWrite(written("2000000502", 2, 65535), second->id));
    EXPECT_EQ(benchA->orderProgress("PO-8").value().order.state, "complete");
    EXPECT_FALSE(benchA->startOrderAttempt("PO-8", "2000000503", true));
    EXPECT_EQ(benchA->lastError().kind, RegisterFailure::OrderComplete);
    EXPECT_FALSE(benchA->startOrderAttempt("PO-9", "2000000503", true));
    EXPECT_EQ(benchA->lastError().kind, RegisterFailure::UnknownOrder);
}

TEST_F(OrderNumbering, ChangesAreRefusedWithTheirReasonAndTouchNoOtherOrder) {
    ASSERT_TRUE(benchA->recordWrite(written("2000000601", 3, 6)));
    ASSERT_TRUE(benchA->addOrder({"PO-A", "", 3, 1, 5}).ok());
    ASSERT_TRUE(benchA->addOrder({"PO-B", "", 4, 1, 5}).ok());
    // A card laid again gets its own number again: written twice, one number done.
    for (int pass = 0; pass < 2; ++pass) {
        const auto attempt = benchA->startOrderAttempt("PO-A", "2000000602", true);
        ASSERT_TRUE(attempt);
        EXPECT_EQ(attempt->card, 1);
        ASSERT_TRUE(benchA->recordWrite(written("2000000602", 3, 1), attempt->id));
    }
    const auto progress = benchA->orderProgress("PO-A").value();
    EXPECT_EQ(std::tuple(progress.written, progress.free(), progress.order.state),
              std::tuple(1, 4, "open"));
    const struct {
        const char* why;
        base::Result<Order, RegisterError> result;
    } refusals[] = {
        {"reversed", benchA->addOrder({"PO-C", "", 3, 9, 8})},
        {"to its own end", benchA->extendOrder("PO-A", 5)},
        {"over the card just past its end", benchA->extendOrder("PO-A", 7)},
    };
    for (const auto& refusal : refusals) {
        SCOPED_TRACE(refusal.why);
        ASSERT_FALSE(refusal.result.ok());
        EXPECT_EQ(refusal.result.error().kind, RegisterFailure::Refused);
    }
    ASSERT_TRUE(benchB->closeOrder("PO-A").ok());
    EXPECT_EQ(benchB->orderProgress("PO-B").value().order.state, "open");
    EXPECT_EQ(benchB->orderProgress("PO-A").value().order.state, "closed");
}

} // namespace
} // namespace zr::reg::test
