// Which sender a reply belongs to, and the alarm line's order: the pure rules under the
// exchange and the window's alarms.
#include "station/AlarmLine.h"
#include "station/RequestLedger.h"

#include <gtest/gtest.h>

namespace zr::station {
namespace {

using Owner = RequestLedger::Owner;

TEST(RequestLedger, AReplyBelongsToTheOldestOpenRequestAndCountsOnlyWhileItsSenderWaits) {
    RequestLedger ledger;
    EXPECT_EQ(ledger.replyRead("OK", 0).owner, Owner::Nobody);
    {
        const RequestLedger::WaitingSender first(ledger);
        ledger.sent("V1_LoadNewAKey", 0);
        ledger.sent("V1_LoadNewAKey", 300);
    }
    const RequestLedger::WaitingSender second(ledger);
    ledger.sent("V1_WriteCardCode", 600);
    ledger.sent("V1_WriteCardCode", 700);
    const struct {
        const char* text;
        Owner owner;
        const char* command;
        bool latest;
    } replies[] = {
        {"OK", Owner::GaveUp, "V1_LoadNewAKey", false}, // late: never the write's answer
        {"OK", Owner::GaveUp, "V1_LoadNewAKey", false},
        {"NO", Owner::Waiting, "V1_WriteCardCode", false},
        {"ER", Owner::Waiting, "V1_WriteCardCode", true},
        {"OK", Owner::Nobody, "", false},
    };
    for (const auto& r : replies) {
        const auto reply = ledger.replyRead(r.text, 800);
        EXPECT_EQ(reply.owner, r.owner) << r.text;
        EXPECT_EQ(reply.command, r.command);
        EXPECT_EQ(reply.latest, r.latest);
    }
    EXPECT_EQ(ledger.replies().sends, 2);
    EXPECT_EQ(ledger.replies().answers, 2);
    EXPECT_EQ(ledger.replies().refusals, 1);
    EXPECT_EQ(ledger.quietFor(1800), 1000U);
    ledger.bytesArrived(1700);
    EXPECT_EQ(ledger.quietFor(1800), 100U);
}

TEST(RequestLedger, ADetachedRequestIsAnsweredOnlyWhileNothingElseIsOpen) {
    RequestLedger resent;
    resent.sent("120", 0, true);
    resent.sent("120", 10, true);
    EXPECT_EQ(resent.replyRead("OK", 20).owner, Owner::GaveUp); // a newer one waits behind it
    EXPECT_EQ(resent.replyRead("OK", 30).owner, Owner::Waiting);
    RequestLedger ledger;
    ledger.sent("120", 0, true);
    EXPECT_EQ(ledger.replyRead("OK", 10).owner, Owner::Waiting);
    ledger.sent("120", 20, true);
    const RequestLedger::WaitingSender sender(ledger);
    ledger.sent("ReadUID", 30);
    EXPECT_EQ(ledger.replyRead("OK", 40).owner, Owner::GaveUp);
    ledger.sent("120", 50, true); // while a sender waits: its reply is not the sender's
    EXPECT_EQ(ledger.replyRead("OK", 60).owner, Owner::Waiting);
    EXPECT_EQ(ledger.replyRead("OK", 70).owner, Owner::GaveUp);
    EXPECT_EQ(ledger.replies().answers, 1);
    ledger.forgetOpenRequests();
    EXPECT_FALSE(ledger.open());
}

TEST(AlarmLine, AlarmsWaitInTurnAndTheFailureReasonComesLast) {
    AlarmLine line;
    EXPECT_FALSE(line.shown(true));
    line.noteFailure({"失敗", "failed"});
    line.raise({"一", "one"});
    line.raise({"二", "two"});
    line.raise({"一", "one"}); // the same alarm is not queued twice
    EXPECT_EQ(line.shown(true), "one  (1/2)");
    EXPECT_EQ(line.shown(false), "一  (1/2)");
    line.acknowledge();
    EXPECT_EQ(line.shown(true), "two");
    line.acknowledge();
    EXPECT_EQ(line.shown(true), "failed");
    line.acknowledge();
    EXPECT_FALSE(line.shown(true));
}

} // namespace
} // namespace zr::station
