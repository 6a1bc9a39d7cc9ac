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

// The register's sink in front of the rig's memory sink, which lays the next card on.
struct Bench final : recording::CardRecordSink {
    Bench(const std::string& file, TestClock& clock, const std::string& name) {
        link = std::make_unique<RegisterLink>(
            rig.world.loop, [&file, &clock, name] { return openAt("sqlite:" + file, name, clock); },
            file, std::nullopt, nullptr);
        sink = std::make_unique<RegisterSink>(s, *link, journal, false, clock.clock(),
                                              [](const std::string&) {});
        rig.recorder.setSink(this);
    }
    bool recordWrite(const recording::WriteAttempt& attempt) override {
        const bool kept = sink->recordWrite(attempt);
        rig.sink.recordWrite(attempt);
        return kept;
    }
    void recordReadBack(const recording::ReadBackResult&) override {}
    std::optional<recording::NumberClaim> claimCardCode(const std::string& uid,
                                                        const std::string& group,
                                                        const std::string& card) override {
        return sink->claimCardCode(uid, group, card);
    }
    // A card written elsewhere with the number this bench claimed for it.
    void confirm(const std::string& uid, const recording::NumberClaim& claim) {
        sink->recordWrite({.uid = uid,
                           .groupCode = claim.groupCode,
                           .cardCode = claim.cardCode,
                           .v1 = recording::LayoutOutcome::Written});
    }
    sim::CardNumber numberOn(const std::string& uid) {
        const sim::CardMemory* card = rig.programmer.memoryOf(uid);
        return card && card->numbers[sim::kV1Sector] ? *card->numbers[sim::kV1Sector]
                                                     : sim::CardNumber{};
    }
    recording::test::RecordingRig rig;
    station::Station& s = rig.station;
    platform::MemoryLines journalFile;
    RegisterJournal journal{journalFile};
    std::unique_ptr<RegisterLink> link;
    std::unique_ptr<RegisterSink> sink;
};

class OrderBench : public ::testing::Test {
  protected:
    void SetUp() override {
        admin = openAt("sqlite:" + file, "office", clock).value();
        ASSERT_TRUE(admin->addOrder({"PO-4711", "Acme", 77, 100, 102}).ok());
        ASSERT_TRUE(admin->addOrder({"PO-4712", "Acme", 78, 100, 102}).ok());
    }
    TempDir dir;
    TestClock clock;
    std::string file = dir.file("cards.sqlite");
    std::shared_ptr<CardRegister> admin;
};

// Every card of the order gets the order's group and its next number whatever the fields say;
// once the range is written the bench stops and says so with the success tones.
TEST_F(OrderBench, CardsGetTheOrdersNumbersAndTheLastEndsAutomaticRecording) {
    const struct {
        bool english;
        const char* order;
        std::uint16_t group;
        const char *complete, *status;
    } cases[] = {
        {true, "PO-4711", 77, "Order PO-4711 complete: 3 cards",
         "Order PO-4711 · 0 void · 12 cards/h on all benches · 00:00:00 left"},
        {false, "PO-4712", 78, "訂單 PO-4712 已完成：3 張卡片",
         "訂單 PO-4712 · 作廢 0 · 全部工作站每小時 12 張 · 剩餘 00:00:00"},
    };
    for (const auto& finish : cases) {
        Bench bench(file, clock, finish.order);
        bench.s.chkLanguage.setValue(finish.english ? 1 : 0);
        bench.s.chkSound.setValue(1);
        bench.sink->setOrder(finish.order);
        const unsigned long long firstUid = 1000000000ULL + 100U * finish.group;
        bench.rig.queueCards(firstUid, 4);
        bench.rig.startAutoRecording();
        bench.rig.world.loop.runFor(40000);
        for (std::uint16_t i = 0; i < 4; ++i) {
            const sim::CardNumber number{finish.group, static_cast<std::uint16_t>(100 + i), true};
            EXPECT_EQ(bench.numberOn(std::to_string(firstUid + i)),
                      i < 3 ? number : sim::CardNumber{});
        }
        EXPECT_EQ(admin->findNumber(finish.group, 102).value().at(0).uid,
                  std::to_string(firstUid + 2));
        EXPECT_EQ(bench.s.txtGroupCode.text() + ":" + bench.s.txtCardCode.text(), "00001:00001");
        EXPECT_FALSE(bench.s.chkAutoRecord.checked());
        EXPECT_EQ(bench.s.infoOK.caption, finish.complete);
        // Two per written card, then two for the order.
        EXPECT_EQ(bench.rig.toneFrequencies().size(), 8U);
        EXPECT_EQ(bench.s.lblRunStatus.caption, finish.status);
        EXPECT_EQ(bench.s.prgRun.text, "3 / 3");
    }
}

// Two benches on one register never give one number twice; with every number held, the
// bench waits (still recording) and goes on once the other bench's cards are finished.
TEST_F(OrderBench, TwoBenchesShareTheRangeAndOneWaitsOnTheOthersUnfinishedCards) {
    Bench a(file, clock, "bench-A");
    Bench b(file, clock, "bench-B");
    for (Bench* bench : {&a, &b}) {
        bench->sink->setOrder("PO-4711");
    }
    const auto first = b.sink->claimCardCode("2000000001", "00001", "00001");
    const auto second = a.sink->claimCardCode("2000000002", "00001", "00001");
    const auto third = b.sink->claimCardCode("2000000003", "00001", "00001");
    ASSERT_TRUE(first && second && third);
    EXPECT_EQ((std::set<std::string>{first->cardCode, second->cardCode, third->cardCode}),
              (std::set<std::string>{"00100", "00101", "00102"}));
    EXPECT_EQ(first->groupCode, "00077");
    a.confirm("2000000002", *second);
    a.rig.queueCards(1000000001, 1);
    a.rig.startAutoRecording();
    a.rig.world.loop.runFor(3000);
    EXPECT_TRUE(a.s.chkAutoRecord.checked());
    EXPECT_EQ(a.s.infoErr.caption,
              "Order PO-4711: no number is free now. The bench waits for the 2 numbers that "
              "unfinished cards of other benches hold, and goes on by itself.");
    EXPECT_EQ(a.numberOn("1000000001"), sim::CardNumber{});
    b.confirm("2000000001", *first);
    b.confirm("2000000003", *third);
    a.rig.world.loop.runFor(3000);
    EXPECT_FALSE(a.s.chkAutoRecord.checked());
    EXPECT_EQ(a.s.infoOK.caption, "Order PO-4711 complete: 3 cards");
}

// An order closed mid-run, one closed before the bench took it, or one the register does not
// have (from the settings): automatic recording stops with the reason and no card gets a
// number.
TEST_F(OrderBench, AClosedOrUnknownOrderStopsTheBench) {
    ASSERT_TRUE(admin->addOrder({"PO-4713", "", 13, 1, 5}).ok());
    ASSERT_TRUE(admin->closeOrder("PO-4713").ok());
    const struct {
        const char *order, *message;
        bool closeAfterFirst;
    } cases[] = {
        {"PO-4711",
         "Order PO-4711 is closed: it gives no more numbers, no card is written. Choose another "
         "order!",
         true},
        {"PO-4713",
         "Order PO-4713 is closed: it gives no more numbers, no card is written. Choose another "
         "order!",
         false},
        {"PO-9999",
         "The card register has no order PO-9999: no card is written. Choose another order!",
         false},
    };
    for (const auto& refusal : cases) {
        Bench bench(file, clock, refusal.order);
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
        EXPECT_FALSE(bench.s.chkAutoRecord.checked());
        EXPECT_EQ(bench.s.infoErr.caption, refusal.message);
        EXPECT_EQ(bench.numberOn(refusal.closeAfterFirst ? "1000000202" : "1000000201"),
                  sim::CardNumber{});
    }
}

TEST(OrderTexts, ThousandsAndBothLanguages) {
    EXPECT_EQ(base::thousands(1234567) + " " + base::thousands(999), "1,234,567 999");
    EXPECT_EQ(orderCompleteText("PO-4711", 5000, false), "訂單 PO-4711 已完成：5,000 張卡片");
}

} // namespace
} // namespace zr::reg::test
