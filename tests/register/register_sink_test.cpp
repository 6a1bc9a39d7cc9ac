// The recording workflows' call-out kept in the register, on a station of the virtual clock:
// the number rule, register outages and the journal of rows the register could not take.
#include "FlakyDatabase.h"
#include "RegisterFixture.h"
#include "register/RegisterSink.h"
#include "support/VirtualPlatform.h"

#include <cstdlib>
#include <ctime>
#include <deque>
#include <gtest/gtest.h>

namespace zr::reg::test {
namespace {

using recording::AttemptOutcome;
using RecLayout = recording::LayoutOutcome;

class Sink : public ::testing::Test {
  protected:
    void SetUp() override {
        station.chkLanguage.setValue(1);
        station.infoErr.caption.clear();
        file = dir.file("cards.sqlite");
        auto opened = openAt("sqlite:" + file, "bench-A", clock);
        ASSERT_TRUE(opened.ok());
        cards = opened.value();
    }
    // The sink on the register file, through a database that fails while `down`.
    std::unique_ptr<RegisterSink> make(bool shared) {
        link = std::make_unique<RegisterLink>(
            world.loop,
            [this]() -> CardRegister::Result {
                if (refuseOpen) {
                    return RegisterError{RegisterFailure::CannotOpen, "server gone"};
                }
                auto db = FlakyDatabase::sqlite(file);
                db->refusedUid = refusedUid;
                flaky = db.get();
                return CardRegister::open(std::move(db), file, "bench-A",
                                          CardRegister::Access::ReadWrite, clock.clock());
            },
            file, std::nullopt, nullptr);
        return std::make_unique<RegisterSink>(
            station, *link, journal, shared, clock.clock(),
            [this](const std::string& line) { details.push_back(line); });
    }
    // One attempt as the write workflow runs it: claim, then the outcome.
    std::optional<recording::NumberClaim> write(RegisterSink& sink, const std::string& uid,
                                                const std::string& card, AttemptOutcome outcome,
                                                bool* recorded = nullptr) {
        const auto claimed = sink.claimCardCode(uid, "00012", card);
        if (!claimed) {
            return std::nullopt;
        }
        recording::WriteAttempt attempt;
        attempt.uid = uid;
        attempt.groupCode = "00012";
        attempt.cardCode = claimed->cardCode;
        attempt.v1 =
            outcome == AttemptOutcome::V1Failed ? RecLayout::WriteUnanswered : RecLayout::Written;
        attempt.v3 =
            outcome == AttemptOutcome::Written ? RecLayout::Written : RecLayout::NotAttempted;
        attempt.outcome = outcome;
        const bool stored = sink.recordWrite(attempt);
        if (recorded != nullptr) {
            *recorded = stored;
        }
        return claimed;
    }
    std::string codeOf(const std::optional<recording::NumberClaim>& claim) {
        return claim ? claim->cardCode : "none";
    }
    testing::VirtualPlatform world;
    station::Station station{world.services};
    TempDir dir;
    TestClock clock;
    std::string file;
    std::shared_ptr<CardRegister> cards;
    platform::MemoryLines journalFile;
    RegisterJournal journal{journalFile};
    std::unique_ptr<RegisterLink> link;
    FlakyDatabase* flaky = nullptr;
    bool refuseOpen = false;
    std::string refusedUid;
    std::vector<std::string> details;
};

// A V3 write that strayed into the V1 layout after a refused V3 log-in left the number there.
TEST_F(Sink, AStrayV1WriteHoldsItsNumber) {
    auto sink = make(false);
    station.chkAutoRecord.setValue(1);
    ASSERT_TRUE(sink->claimCardCode("2000000501", "00012", "00001"));
    sink->recordWrite({.uid = "2000000501",
                       .groupCode = "00012",
                       .cardCode = "00001",
                       .v1 = RecLayout::StrayWrite,
                       .v3 = RecLayout::KeyAssignFailed,
                       .outcome = AttemptOutcome::V3Failed});
    EXPECT_EQ(codeOf(write(*sink, "2000000502", "00001", AttemptOutcome::Written)), "00002");
    const auto rows = cards->findUid("2000000501");
    ASSERT_TRUE(rows.ok());
    ASSERT_FALSE(rows.value().empty());
    EXPECT_EQ(rows.value().back().v1, "unknown");
    EXPECT_EQ(rows.value().back().outcome, "failed");
    // Read back with another number than the register's: the operator is told.
    sink->recordReadBack({"2000000502", true, true, "00012:00009", false, ""});
    EXPECT_EQ(station.infoErr.caption, "The card number read back differs from the register!");
    station.infoErr.caption.clear();
    sink->recordReadBack({"2000000599", true, true, "00012:00009", false, ""});
    EXPECT_NE(station.infoErr.caption, "The card number read back differs from the register!");
}

// An outcome for another number than the one claimed leaves the claimed number held.
TEST_F(Sink, AnOutcomeForAnotherNumberLeavesTheClaimedRowStanding) {
    auto sink = make(false);
    ASSERT_TRUE(sink->claimCardCode("2000000601", "00012", "00005"));
    ASSERT_TRUE(sink->recordWrite({.uid = "2000000601",
                                   .groupCode = "00012",
                                   .cardCode = "00006",
                                   .v1 = RecLayout::Written,
                                   .outcome = AttemptOutcome::Written}));
    const auto claimed = cards->findNumber(12, 5);
    ASSERT_TRUE(claimed.ok());
    ASSERT_EQ(claimed.value().size(), 1u);
    EXPECT_EQ(claimed.value()[0].outcome, "started");
    EXPECT_EQ(cards->findNumber(12, 6).value().size(), 1u);
}

TEST_F(Sink, AutomaticRecordingPassesOverHeldNumbersAndACardKeepsItsOwn) {
    auto sink = make(false);
    station.chkAutoRecord.setValue(1);
    EXPECT_EQ(codeOf(write(*sink, "2000000401", "00001", AttemptOutcome::V1Failed)), "00001");
    // 0401's write got no answer: 00001 may be on it, so the next card gets 00002.
    EXPECT_EQ(codeOf(write(*sink, "2000000402", "00001", AttemptOutcome::Written)), "00002");
    ASSERT_EQ(station.alarms().waiting(), 1u);
    EXPECT_EQ(station.alarms().alarms()[0].english,
              "Card number 00012:00001 already belongs to card 2000000401; card 2000000402 gets "
              "00012:00002 instead.");
    // 0401 laid on again gets its own number, whatever the field says.
    const auto again = write(*sink, "2000000401", "00007", AttemptOutcome::Written);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->cardCode, "00001");
    EXPECT_TRUE(again->cardsOwnNumber);
    EXPECT_TRUE(world.desktop.questions.empty());

    // A failed UID read leaves no row; every other attempt has exactly one.
    recording::WriteAttempt noCard;
    noCard.outcome = AttemptOutcome::UidReadFailed;
    EXPECT_TRUE(sink->recordWrite(noCard));
    const auto rows = cards->list({});
    ASSERT_TRUE(rows.ok());
    ASSERT_EQ(rows.value().size(), 3u);
    EXPECT_EQ(rows.value()[0].v1, "unknown");
    EXPECT_EQ(rows.value()[2].outcome, "written");
}

TEST_F(Sink, SharedSequenceMovesTheCardCodeOnAndEndsAtTheTop) {
    auto other = openAt("sqlite:" + file, "bench-B", clock);
    ASSERT_TRUE(other.ok());
    ASSERT_TRUE(other.value()->claimNumber(12, 7, "2000000499"));
    auto sink = make(true);
    EXPECT_EQ(codeOf(write(*sink, "2000000401", "00007", AttemptOutcome::Written)), "00008");
    // By hand too, a number on a card is passed over, also one written before the sequence
    // (no claim names it).
    ASSERT_TRUE(cards->startAttempt(12, 9, "2000000497", false, {.sharedSequence = false}));
    EXPECT_EQ(codeOf(write(*sink, "2000000402", "00008", AttemptOutcome::Written)), "00010");
    EXPECT_TRUE(world.desktop.questions.empty());
    // A refused key leaves nothing on the card, but the number stays this bench's claim.
    ASSERT_TRUE(sink->claimCardCode("2000000403", "00012", "00011"));
    ASSERT_TRUE(sink->recordWrite({.uid = "2000000403",
                                   .groupCode = "00012",
                                   .cardCode = "00011",
                                   .v1 = RecLayout::KeyAssignFailed,
                                   .outcome = AttemptOutcome::V1Failed}));
    EXPECT_EQ(other.value()->claimNumber(12, 11, "2000000496"), 12);

    station.chkAutoRecord.setValue(1);
    ASSERT_TRUE(
        cards->startAttempt(12, 65535, "2000000498", false,
                            {.sharedSequence = true, .skipHeld = true, .ownNumberFirst = true}));
    EXPECT_EQ(write(*sink, "2000000403", "65535", AttemptOutcome::Written), std::nullopt);
    EXPECT_EQ(station.infoErr.caption,
              "No free card number is left in this group. Enter a new card number!");
    EXPECT_EQ(station.chkAutoRecord.value(), 0);
    EXPECT_NE(details.back().find("no free card code"), std::string::npos);
}

// By hand, a number another card holds is written only on Yes.
TEST_F(Sink, AWriteByHandOfANumberAnotherCardHoldsAsksFirst) {
    const struct {
        const char* name;
        const char* uid;
        std::deque<bool> answers;
        bool english;
        bool written;
        const char* question;
        const char* infoErr;
    } cases[] = {
        {"No writes nothing",
         "2000000402",
         {false},
         true,
         false,
         "Card number 00012:00001 is already registered to UID 2000000401.\r\n"
         "Write it to card 2000000402 as well?",
         "Not written: card number 00012:00001 belongs to UID 2000000401."},
        {"in Chinese",
         "2000000402",
         {false},
         false,
         false,
         "卡號 00012:00001 已登錄給卡片 2000000401。\r\n仍要寫入卡片 2000000402 嗎?",
         "未寫入：卡號 00012:00001 屬於卡片 2000000401。"},
        {"Yes writes", "2000000402", {true}, true, true, "", ""},
        {"the same card does not ask", "2000000401", {}, true, true, nullptr, ""},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        SCOPED_TRACE(c.name);
        file = dir.file("case" + std::to_string(i) + ".sqlite");
        cards = openAt("sqlite:" + file, "bench-A", clock).value();
        world.desktop.questions.clear();
        world.desktop.yesNoAnswers = c.answers;
        station.chkLanguage.setValue(c.english ? 1 : 0);
        auto sink = make(false);
        ASSERT_EQ(codeOf(write(*sink, "2000000401", "00001", AttemptOutcome::Written)), "00001");
        station.infoErr.caption.clear();

        EXPECT_EQ(write(*sink, c.uid, "00001", AttemptOutcome::Written).has_value(), c.written);
        EXPECT_EQ(world.desktop.questions.size(), c.question == nullptr ? 0u : 1u);
        if (c.question != nullptr && *c.question != '\0') {
            EXPECT_EQ(world.desktop.questions.at(0).text, c.question);
        }
        EXPECT_EQ(station.infoErr.caption, c.infoErr);
        EXPECT_EQ(cards->findNumber(12, 1).value().size(), c.written ? 2u : 1u);
    }
}

constexpr const char* kBack = "The card register is back; recording goes on.";

TEST_F(Sink, NoNumberWhileTheRegisterIsAwayAndItGoesOnWhenItIsBack) {
    refuseOpen = true;
    auto sink = make(false);
    station.chkAutoRecord.setValue(1);
    EXPECT_EQ(write(*sink, "2000000401", "00001", AttemptOutcome::Written), std::nullopt);
    EXPECT_EQ(station.infoErr.caption,
              "The card register is unavailable, the card was not written; recording goes on "
              "once it is back: server gone");
    EXPECT_EQ(station.chkAutoRecord.value(), 1); // the loop goes on by itself
    EXPECT_NE(sink->panel().unavailable.find("server gone"), std::string::npos);
    ASSERT_EQ(station.alarms().waiting(), 1u);
    // An outcome with neither register nor journal to take it is not reported recorded.
    journalFile.failWrites = true;
    recording::WriteAttempt lost;
    lost.uid = "2000000409";
    lost.groupCode = "00012";
    lost.cardCode = "00009";
    EXPECT_FALSE(sink->recordWrite(lost));
    journalFile.failWrites = false;

    refuseOpen = false;
    world.loop.runFor(RegisterLink::kRetryEveryMs - 500);
    EXPECT_EQ(link->cards(), nullptr); // not before its time
    world.loop.runFor(1000);
    ASSERT_NE(link->cards(), nullptr);
    EXPECT_EQ(sink->panel().unavailable, "");
    EXPECT_EQ(station.infoOK.caption, kBack);
    EXPECT_EQ(codeOf(write(*sink, "2000000401", "00001", AttemptOutcome::Written)), "00001");

    // A register that fails mid-run gives no number until it is back.
    flaky->down = true;
    EXPECT_FALSE(sink->claimCardCode("2000000403", "00012", "00003"));
    EXPECT_FALSE(sink->claimCardCode("2000000403", "00012", "00003"));
    flaky->down = false;
    world.loop.runFor(RegisterLink::kRetryEveryMs + 500);
    ASSERT_TRUE(sink->claimCardCode("2000000403", "00012", "00003"));
}

TEST_F(Sink, AConfirmedWriteTheRegisterCannotTakeIsJournalledAndStoredLater) {
    auto sink = make(false);
    EXPECT_NE(station.infoOK.caption, kBack); // the first opening is no news
    const auto claim = sink->claimCardCode("2000000401", "00012", "00005");
    ASSERT_TRUE(claim);
    flaky->down = true;
    recording::WriteAttempt attempt;
    attempt.uid = "2000000401";
    attempt.groupCode = "00012";
    attempt.cardCode = claim->cardCode;
    attempt.v1 = RecLayout::Written;
    attempt.v3 = RecLayout::Written;
    EXPECT_TRUE(sink->recordWrite(attempt)); // on disk in the journal
    ASSERT_EQ(journalFile.lines.size(), 1u);
    EXPECT_EQ(link->cards(), nullptr);
    EXPECT_EQ(cards->findNumber(12, 5).value().at(0).outcome, "started"); // held meanwhile

    // A restart finds the journal and stores it before any number is given; a row kept for
    // another register stays for that one.
    const std::string foreign =
        journalLine({"/elsewhere/cards.sqlite", "2026-12-06T20:28:28.123Z",
                     CardWrite{"2000000777", 12, 77, true, LayoutOutcome::Written,
                               LayoutOutcome::Written, true},
                     0});
    journalFile.lines.push_back(foreign);
    flaky->down = false;
    sink.reset();
    auto restarted = make(false);
    EXPECT_EQ(journalFile.lines, std::vector<std::string>{foreign});
    EXPECT_TRUE(cards->findUid("2000000777").value().empty());
    const auto rows = cards->findNumber(12, 5);
    ASSERT_EQ(rows.value().size(), 1u);
    EXPECT_EQ(rows.value()[0].outcome, "written");

    // A journal that cannot be written either: the card is not reported written.
    const auto second = restarted->claimCardCode("2000000402", "00012", "00006");
    ASSERT_TRUE(second);
    attempt.uid = "2000000402";
    attempt.cardCode = second->cardCode;
    flaky->down = true;
    journalFile.failWrites = true;
    EXPECT_FALSE(restarted->recordWrite(attempt));
}

TEST_F(Sink, PanelFollowsEveryAttemptAndCountsOnlyTodaysWrittenCards) {
    auto sink = make(false);
    station.chkAutoRecord.setValue(1);
    EXPECT_EQ(sink->panel().today, 0);
    const auto before = sink->panel().revision;
    write(*sink, "2000000401", "00001", AttemptOutcome::Written);
    write(*sink, "2000000402", "00002", AttemptOutcome::V1Failed);
    EXPECT_GT(sink->panel().revision, before);
    EXPECT_EQ(sink->panel().today, 1);
    ASSERT_EQ(sink->panel().lastCards.size(), 2u);
    EXPECT_EQ(sink->panel().lastCards[0].uid, "2000000402"); // newest first
    for (int card = 3; card <= 9; ++card) {
        write(*sink, "20000004" + std::to_string(10 + card), "0000" + std::to_string(card),
              AttemptOutcome::Written);
    }
    EXPECT_EQ(sink->panel().lastCards.size(), static_cast<std::size_t>(kPanelCards));
    EXPECT_EQ(sink->panel().today, 8);
    clock.now += std::chrono::hours(24);
    write(*sink, "2000000499", "00010", AttemptOutcome::Written);
    EXPECT_EQ(sink->panel().today, 1);
}

// A row the register refuses stays in the journal with every row after it, and the replay
// says it did not finish.
TEST_F(Sink, AJournalRowTheRegisterRefusesStaysWithTheRowsAfterIt) {
    auto db = FlakyDatabase::sqlite(file);
    db->refusedUid = "2000000602";
    auto refusing = CardRegister::open(std::move(db), file, "bench-A",
                                       CardRegister::Access::ReadWrite, clock.clock());
    ASSERT_TRUE(refusing.ok());
    const auto line = [this](const std::string& uid, int card) {
        return journalLine({file, "2026-12-06T20:28:28.123Z", written(uid, 12, card), 0});
    };
    journalFile.lines = {line("2000000601", 1), line("2000000602", 2), line("2000000603", 3)};
    EXPECT_FALSE(journal.flushInto(*refusing.value()));
    EXPECT_EQ(journalFile.lines,
              (std::vector<std::string>{line("2000000602", 2), line("2000000603", 3)}));
    EXPECT_EQ(cards->findUid("2000000601").value().size(), 1u);
    journalFile.lines = {line("2000000602", 2)};
    EXPECT_FALSE(journal.flushInto(*refusing.value()));
    EXPECT_EQ(journalFile.lines.size(), 1u);

    // A register that opens but cannot take the journal is not back: no number is given.
    refusedUid = "2000000602";
    auto sink = make(false);
    EXPECT_EQ(link->cards(), nullptr);
    EXPECT_FALSE(sink->claimCardCode("2000000604", "00012", "00004"));
}

TEST(RegisterJournalLines, RowsRoundTripAndAnythingElseIsNoRow) {
    JournalRow row{
        "/data/cards.sqlite", "2026-12-06T20:28:28.123Z",
        CardWrite{"2000030082", 9, 79, true, LayoutOutcome::Written, LayoutOutcome::Unknown, false},
        42};
    const std::string line = journalLine(row);
    EXPECT_EQ(line, "1\t/data/cards.sqlite\t2026-12-06T20:28:28.123Z\t2000030082\t9\t79\t1\tok\t"
                    "unknown\tfailed\t42");
    EXPECT_EQ(parseJournalLine(line), row);
    for (const std::string& bad : std::vector<std::string>{
             "",
             line.substr(0, line.size() - 3),
             line + "\textra",
             "2" + line.substr(1), // a later format
             "1\tw\tt\t20000300282000030028\t9\t79\t1\tok\tok\twritten\t1",
             "1\tw\tt\t2000030082\t9\t65536\t1\tok\tok\twritten\t1",
             "1\tw\tt\t2000030082\t9\t79\t2\tok\tok\twritten\t1",
             "1\tw\tt\t2000030082\t9\t79\t1\tmaybe\tok\twritten\t1",
             "1\tw\tt\t2000030082\t9\t79\t1\tok\tok\tstarted\t1",
             "1\tw\tt\t2000030082\t9\t79\t1\tok\tok\twritten\t-1",
             "1\tw\tt\t2000030082\t+9\t79\t1\tok\tok\twritten\t1",
         }) {
        EXPECT_FALSE(parseJournalLine(bad)) << bad;
    }
}

// A server that refuses the probe is asked again once per pace, not on every timer tick.
TEST(RegisterLinkPace, ARefusingServerIsProbedOncePerPace) {
    testing::VirtualPlatform world;
    auto socket = std::make_unique<platform::VirtualTcpSocket>(world.loop);
    const platform::VirtualTcpSocket& probe = *socket;
    int opens = 0;
    RegisterLink link(
        world.loop,
        [&opens]() -> CardRegister::Result {
            ++opens;
            return RegisterError{RegisterFailure::CannotOpen, "server gone"};
        },
        "db:5432", RegisterLink::Server{"db", 5432}, std::move(socket));
    link.start();
    world.loop.runFor(30'000);
    EXPECT_EQ(opens, 1); // only the first open; the probe never answered
    EXPECT_GE(probe.connectCount, 4);
    EXPECT_LE(probe.connectCount, 30'000 / static_cast<int>(RegisterLink::kRetryEveryMs));
}

} // namespace
} // namespace zr::reg::test
