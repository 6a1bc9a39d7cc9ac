// Benches that work an order, on the virtual clock: the real write workflow against the
// programmer model, the register's sink on one SQLite file shared by two benches.
#include "RegisterFixture.h"
#include "base/TextRules.h"
#include "recording/RecordingRig.h"
#include "register/OrderTexts.h"
#include "register/RegisterSink.h"

#include <set>

namespace zr::reg::test {
namespace {

using recording::AttemptOutcome;
using recording::test::RecordingRig;

// The register's sink in front of the rig's memory sink, which lays the next card on.
struct Bench final : recording::CardRecordSink {
    bool recordWrite(const recording::WriteAttempt& attempt) override {
        const bool kept = sink->recordWrite(attempt);
        rig.sink.recordWrite(attempt);
        return kept;
    }
    void recordReadBack(const recording::ReadBackResult& result) override {
        sink->recordReadBack(result);
    }
    std::optional<recording::NumberClaim> claimCardCode(const std::string& uid,
                                                        const std::string& group,
                                                        const std::string& card) override {
        return sink->claimCardCode(uid, group, card);
    }
    Bench(const std::string& file, TestClock& clock, const std::string& name) {
        link = std::make_unique<RegisterLink>(
            rig.world.loop, [&file, &clock, name] { return openAt("sqlite:" + file, name, clock); },
            file, std::nullopt, nullptr);
        sink = std::make_unique<RegisterSink>(rig.station, *link, journal, false, clock.clock(),
                                              [](const std::string&) {});
        rig.station.setCardRecordSink(this);
        rig.station.txtGroupCode.setText("00001");
        rig.station.txtCardCode.setText("00007");
    }
    RecordingRig rig;
    platform::MemoryLines journalFile;
    RegisterJournal journal{journalFile};
    std::unique_ptr<RegisterLink> link;
    std::unique_ptr<RegisterSink> sink;
};

class OrderBench : public ::testing::Test {
  protected:
    void SetUp() override {
        file = dir.file("cards.sqlite");
        admin = openAt("sqlite:" + file, "office", clock).value();
        ASSERT_TRUE(admin->addOrder({"PO-4711", "Acme", 77, 100, 102}).ok());
        ASSERT_TRUE(admin->addOrder({"PO-4712", "Acme", 78, 100, 102}).ok());
    }
    sim::CardNumber numberOn(Bench& bench, const std::string& uid) {
        const sim::CardMemory* card = bench.rig.programmer.memoryOf(uid);
        return card && card->numbers[sim::kV1Sector] ? *card->numbers[sim::kV1Sector]
                                                     : sim::CardNumber{};
    }
    TempDir dir;
    TestClock clock;
    std::string file;
    std::shared_ptr<CardRegister> admin;
};

struct Finish {
    bool english;
    const char* order;
    int group;
    unsigned long long firstUid;
    const char* complete;
    const char* status;
};

// Every card of the order gets the order's group and its next number whatever the fields say;
// once the range is written the bench stops and says so with the success tones.
TEST_F(OrderBench, CardsGetTheOrdersNumbersAndTheLastEndsAutomaticRecording) {
    const Finish cases[] = {
        {true, "PO-4711", 77, 1000000001, "Order PO-4711 complete: 3 cards",
         "Order PO-4711 · 0 void · 12 cards/h on all benches · 00:00:00 left"},
        {false, "PO-4712", 78, 1000000101, "訂單 PO-4712 已完成：3 張卡片",
         "訂單 PO-4712 · 作廢 0 · 全部工作站每小時 12 張 · 剩餘 00:00:00"},
    };
    for (const Finish& finish : cases) {
        Bench bench(file, clock, finish.order);
        auto& s = bench.rig.station;
        s.chkLanguage.setValue(finish.english ? 1 : 0);
        s.chkSound.setValue(1);
        bench.sink->setOrder(finish.order);
        bench.rig.queueCards(finish.firstUid, 4);
        bench.rig.startAutoRecording();
        bench.rig.world.loop.runFor(40000);
        for (std::uint16_t i = 0; i < 3; ++i) {
            const std::string uid = std::to_string(finish.firstUid + i);
            const auto card = static_cast<std::uint16_t>(100 + i);
            EXPECT_EQ(numberOn(bench, uid),
                      (sim::CardNumber{static_cast<std::uint16_t>(finish.group), card, true}));
            EXPECT_EQ(admin->findNumber(finish.group, card).value().at(0).uid, uid);
        }
        EXPECT_EQ(numberOn(bench, std::to_string(finish.firstUid + 3)), sim::CardNumber{});
        EXPECT_EQ(s.txtGroupCode.text(), "00001");
        EXPECT_EQ(s.txtCardCode.text(), "00007");
        EXPECT_FALSE(s.chkAutoRecord.checked());
        EXPECT_EQ(s.infoOK.caption, finish.complete);
        // Two per written card, then two for the order.
        EXPECT_EQ(bench.rig.toneFrequencies().size(), 8U);
        EXPECT_EQ(s.lblRunStatus.caption, finish.status);
        EXPECT_EQ(s.prgRun.text, "3 / 3");
    }
}

// Two benches on one register never give one number twice; with every number held, the
// bench waits (still recording) and goes on once the other bench's card is finished.
TEST_F(OrderBench, TwoBenchesShareTheRangeAndOneWaitsOnTheOthersUnfinishedCard) {
    Bench a(file, clock, "bench-A");
    Bench b(file, clock, "bench-B");
    a.sink->setOrder("PO-4711");
    b.sink->setOrder("PO-4711");
    const auto first = b.sink->claimCardCode("2000000001", "00001", "00007");
    const auto second = a.sink->claimCardCode("2000000002", "00001", "00007");
    const auto third = b.sink->claimCardCode("2000000003", "00001", "00007");
    ASSERT_TRUE(first && second && third);
    const std::set<std::string> given{first->cardCode, second->cardCode, third->cardCode};
    EXPECT_EQ(given, (std::set<std::string>{"00100", "00101", "00102"}));
    EXPECT_EQ(first->groupCode, "00077");
    a.sink->recordWrite({.uid = "2000000002",
                         .groupCode = "00077",
                         .cardCode = second->cardCode,
                         .v1 = recording::LayoutOutcome::Written,
                         .outcome = AttemptOutcome::Written});
    a.rig.queueCards(1000000001, 1);
    a.rig.startAutoRecording();
    a.rig.world.loop.runFor(3000);
    EXPECT_TRUE(a.rig.station.chkAutoRecord.checked());
    EXPECT_EQ(a.rig.station.infoErr.caption,
              "Order PO-4711: no number is free now. The bench waits for the 2 numbers that "
              "unfinished cards of other benches hold, and goes on by itself.");
    EXPECT_EQ(numberOn(a, "1000000001"), sim::CardNumber{});
    for (const auto* claim : {&*first, &*third}) {
        b.sink->recordWrite({.uid = claim == &*first ? "2000000001" : "2000000003",
                             .groupCode = "00077",
                             .cardCode = claim->cardCode,
                             .v1 = recording::LayoutOutcome::Written,
                             .outcome = AttemptOutcome::Written});
    }
    a.rig.world.loop.runFor(3000);
    EXPECT_FALSE(a.rig.station.chkAutoRecord.checked());
    EXPECT_EQ(a.rig.station.infoOK.caption, "Order PO-4711 complete: 3 cards");
}

struct Refusal {
    const char* name;
    std::string order; // taken by the bench
    bool closeAfterFirst;
    const char* message;
};

// An order closed mid-run, or one the register does not have (from the settings): automatic
// recording stops with the reason and no card gets a number.
TEST_F(OrderBench, AClosedOrUnknownOrderStopsTheBench) {
    const Refusal cases[] = {
        {"closed mid-run", "PO-4711", true,
         "Order PO-4711 is closed: it gives no more numbers, no card is written. Choose another "
         "order!"},
        {"unknown", "PO-9999", false,
         "The card register has no order PO-9999: no card is written. Choose another order!"},
    };
    for (const Refusal& refusal : cases) {
        SCOPED_TRACE(refusal.name);
        Bench bench(file, clock, std::string("bench-") + refusal.name);
        bench.sink->setOrder(refusal.order);
        EXPECT_EQ(bench.sink->orderUsable(), refusal.closeAfterFirst);
        if (refusal.closeAfterFirst) {
            bench.rig.sink.onWrite = [&](const recording::WriteAttempt&) {
                ASSERT_TRUE(admin->closeOrder("PO-4711").ok());
                bench.rig.world.loop.post(500, [&] { bench.rig.layNext(); });
            };
        }
        bench.rig.queueCards(1000000201, 2);
        bench.rig.startAutoRecording();
        bench.rig.world.loop.runFor(10000);
        EXPECT_FALSE(bench.rig.station.chkAutoRecord.checked());
        EXPECT_EQ(bench.rig.station.infoErr.caption, refusal.message);
        EXPECT_EQ(numberOn(bench, refusal.closeAfterFirst ? "1000000202" : "1000000201"),
                  sim::CardNumber{});
    }
}

TEST(OrderTexts, ThousandsAndBothLanguages) {
    EXPECT_EQ(base::thousands(5000), "5,000");
    EXPECT_EQ(base::thousands(1234567), "1,234,567");
    EXPECT_EQ(base::thousands(999), "999");
    EXPECT_EQ(orderCompleteText("PO-4711", 5000, false), "訂單 PO-4711 已完成：5,000 張卡片");
    EXPECT_EQ(orderRefusedText("PO-1", "cancelled", false),
              "訂單 PO-1 已取消，不再給號，卡片未寫入，請選擇其他訂單!");
}

} // namespace
} // namespace zr::reg::test
