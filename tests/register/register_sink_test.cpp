// The recording workflows' call-out kept in the register, on a station of the virtual clock.
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
        url = "sqlite:" + dir.file("cards.sqlite");
        auto opened = openAt(url, "bench-A", clock);
        ASSERT_TRUE(opened.ok());
        cards = opened.value();
    }
    RegisterSink make(bool shared) {
        return RegisterSink(station, cards, shared,
                            [this](const std::string& line) { details.push_back(line); });
    }
    // One attempt as the write workflow runs it: claim, then the outcome.
    std::optional<std::string> write(RegisterSink& sink, const std::string& uid,
                                     const std::string& card, AttemptOutcome outcome,
                                     bool* recorded = nullptr) {
        const auto claimed = sink.claimCardCode(uid, "00012", card);
        if (!claimed) {
            return std::nullopt;
        }
        recording::WriteAttempt attempt;
        attempt.uid = uid;
        attempt.groupCode = "00012";
        attempt.cardCode = *claimed;
        attempt.v1 =
            outcome == AttemptOutcome::V1Failed ? RecLayout::WriteFailed : RecLayout::Written;
        attempt.v3 =
            outcome == AttemptOutcome::Written ? RecLayout::Written : RecLayout::NotAttempted;
        attempt.outcome = outcome;
        const bool stored = sink.recordWrite(attempt);
        if (recorded != nullptr) {
            *recorded = stored;
        }
        return claimed;
    }
    testing::VirtualPlatform world;
    station::Station station{world.services};
    TempDir dir;
    TestClock clock;
    std::string url;
    std::shared_ptr<CardRegister> cards;
    std::vector<std::string> details;
};

TEST_F(Sink, WritesAreRecordedOncePerAttemptAndWarnedAboutWhenTheNumberIsTaken) {
    RegisterSink sink = make(false);
    EXPECT_EQ(write(sink, "0401", "00001", AttemptOutcome::V1Failed), "00001");
    EXPECT_EQ(write(sink, "0401", "00001", AttemptOutcome::Written), "00001");
    EXPECT_EQ(station.infoErr.caption, "");
    // Automatic recording has nobody to ask: it writes and warns.
    station.chkAutoRecord.setValue(1);
    EXPECT_EQ(write(sink, "0402", "00001", AttemptOutcome::Written), "00001");
    EXPECT_TRUE(world.desktop.questions.empty());
    EXPECT_EQ(station.infoErr.caption,
              "Card number 00012:00001 is already registered to UID 0401; written anyway!");
    station.chkLanguage.setValue(0);
    EXPECT_EQ(write(sink, "0403", "00001", AttemptOutcome::Written), "00001");
    EXPECT_NE(station.infoErr.caption.find("已登錄給卡片"), std::string::npos);

    // A failed UID read leaves no row; every other attempt has exactly one.
    recording::WriteAttempt noCard;
    noCard.outcome = AttemptOutcome::UidReadFailed;
    EXPECT_TRUE(sink.recordWrite(noCard));
    const auto rows = cards->list({});
    ASSERT_TRUE(rows.ok());
    ASSERT_EQ(rows.value().size(), 4u);
    EXPECT_EQ(rows.value()[0].outcome, "failed");
    EXPECT_EQ(rows.value()[0].v1, "failed");
    EXPECT_EQ(rows.value()[1].outcome, "written");
}

TEST_F(Sink, SharedSequenceMovesTheCardCodeOn) {
    auto other = openAt(url, "bench-B", clock);
    ASSERT_TRUE(other.ok());
    ASSERT_TRUE(other.value()->claimNumber(12, 7, "0499"));
    RegisterSink sink = make(true);
    EXPECT_EQ(write(sink, "0401", "00007", AttemptOutcome::Written), "00008");
    EXPECT_EQ(write(sink, "0402", "00008", AttemptOutcome::Written), "00009");
    EXPECT_EQ(cards->findNumber(12, 8).value().at(0).uid, "0401");
    EXPECT_EQ(station.infoErr.caption, "");

    ASSERT_TRUE(cards->startAttempt(12, 65535, "0498", false, true));
    EXPECT_EQ(write(sink, "0403", "65535", AttemptOutcome::Written), std::nullopt);
    EXPECT_EQ(station.infoErr.caption,
              "No free card number is left in this group. Enter a new card number!");
    EXPECT_NE(details.back().find("no free card code"), std::string::npos);
}

TEST_F(Sink, ReadBacksAreVerified) {
    RegisterSink sink = make(false);
    write(sink, "0401", "00005", AttemptOutcome::Written);
    station.infoErr.caption.clear();
    recording::ReadBackResult result;
    result.uid = "0401";
    result.uidRead = true;
    result.v1Read = true;
    result.v1Number = "00012:00005";
    result.v3Read = true;
    result.v3Number = "00012:00005";
    sink.recordReadBack(result);
    EXPECT_EQ(station.infoErr.caption, "");
    result.v3Number = "00012:00006";
    sink.recordReadBack(result);
    EXPECT_EQ(station.infoErr.caption, "The card number read back differs from the register!");
    recording::ReadBackResult noCard;
    sink.recordReadBack(noCard);
    const auto checks = cards->verificationsOf("0401");
    ASSERT_TRUE(checks.ok());
    ASSERT_EQ(checks.value().size(), 2u);
    EXPECT_EQ(checks.value()[0].verdict, "match");
    EXPECT_EQ(checks.value()[1].verdict, "differs");
}

} // namespace
} // namespace zr::reg::test

namespace zr::reg::test {
namespace {

// Outside automatic recording, a number another UID holds is written only on Yes.
TEST_F(Sink, ManualWriteOfANumberAnotherUidHoldsAsksFirst) {
    struct Case {
        const char* name;
        bool shared;
        bool automatic;
        const char* uid;
        std::deque<bool> answers;
        std::size_t questions;
        bool written;
        const char* infoErr;
    };
    const std::vector<Case> cases = {
        {"No writes nothing",
         false,
         false,
         "0402",
         {false},
         1,
         false,
         "Not written: card number 00012:00001 belongs to UID 0401."},
        {"Yes writes and warns",
         false,
         false,
         "0402",
         {true},
         1,
         true,
         "Card number 00012:00001 is already registered to UID 0401; written anyway!"},
        {"automatic does not ask",
         false,
         true,
         "0402",
         {},
         0,
         true,
         "Card number 00012:00001 is already registered to UID 0401; written anyway!"},
        {"the same card does not ask", false, false, "0401", {}, 0, true, ""},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        world.desktop.questions.clear();
        world.desktop.yesNoAnswers = c.answers;
        auto opened =
            openAt("sqlite:" + dir.file("case" + std::to_string(i) + ".sqlite"), "bench-A", clock);
        ASSERT_TRUE(opened.ok());
        cards = opened.value();
        station.chkAutoRecord.setValue(c.automatic ? 1 : 0);
        RegisterSink sink = make(c.shared);
        ASSERT_EQ(write(sink, "0401", "00001", AttemptOutcome::Written), "00001");
        station.infoErr.caption.clear();

        const auto claimed = write(sink, c.uid, "00001", AttemptOutcome::Written);
        EXPECT_EQ(claimed.has_value(), c.written);
        ASSERT_EQ(world.desktop.questions.size(), c.questions);
        if (c.questions > 0) {
            EXPECT_EQ(world.desktop.questions[0].text,
                      "Card number 00012:00001 is already registered to UID 0401.\r\n"
                      "Write it to card 0402 as well?");
        }
        EXPECT_EQ(station.infoErr.caption, c.infoErr);
        EXPECT_EQ(cards->findNumber(12, 1).value().size(), c.written ? 2u : 1u);
        EXPECT_EQ(sink.panel().today, c.written ? 2 : 1);
    }
}

TEST_F(Sink, TheQuestionFollowsTheLanguage) {
    RegisterSink sink = make(false);
    write(sink, "0401", "00001", AttemptOutcome::Written);
    station.chkLanguage.setValue(0);
    EXPECT_EQ(write(sink, "0402", "00001", AttemptOutcome::Written), std::nullopt);
    ASSERT_EQ(world.desktop.questions.size(), 1u);
    EXPECT_EQ(world.desktop.questions[0].text,
              "卡號 00012:00001 已登錄給卡片 0401。\r\n仍要寫入卡片 0402 嗎?");
    EXPECT_EQ(station.infoErr.caption, "未寫入：卡號 00012:00001 屬於卡片 0401。");
}

// The shared sequence moves on past a number another card holds, so there is nothing to ask.
TEST_F(Sink, SharedSequenceNeverAsks) {
    RegisterSink sink = make(true);
    write(sink, "0401", "00001", AttemptOutcome::Written);
    EXPECT_EQ(write(sink, "0402", "00001", AttemptOutcome::Written), "00002");
    EXPECT_TRUE(world.desktop.questions.empty());
}

TEST_F(Sink, PanelFollowsEveryAttemptAndCountsOnlyTodaysWrittenCards) {
    RegisterSink sink = make(false);
    EXPECT_TRUE(sink.panel().on);
    EXPECT_EQ(sink.panel().today, 0);
    const auto before = sink.panel().revision;
    write(sink, "0401", "00001", AttemptOutcome::Written);
    write(sink, "0402", "00002", AttemptOutcome::V1Failed);
    EXPECT_GT(sink.panel().revision, before);
    EXPECT_EQ(sink.panel().today, 1);
    ASSERT_EQ(sink.panel().lastCards.size(), 2u);
    EXPECT_EQ(sink.panel().lastCards[0].uid, "0402"); // newest first
    EXPECT_EQ(sink.panel().lastCards[0].outcome, "failed");

    for (int card = 3; card <= 9; ++card) {
        write(sink, "04" + std::to_string(10 + card), "0000" + std::to_string(card),
              AttemptOutcome::Written);
    }
    EXPECT_EQ(sink.panel().lastCards.size(), static_cast<std::size_t>(kPanelCards));
    EXPECT_EQ(sink.panel().today, 8);

    clock.now += std::chrono::hours(24);
    write(sink, "0499", "00010", AttemptOutcome::Written);
    EXPECT_EQ(sink.panel().today, 1);
}

TEST(RegisterPanelTexts, BothLanguagesAndTheOffState) {
    ::setenv("TZ", "UTC", 1);
    ::tzset();
    RegisterPanel panel;
    EXPECT_EQ(panelTexts(panel, true).heading, "Card register is off");
    EXPECT_EQ(panelTexts(panel, false).heading, "卡片登錄未開啟");
    EXPECT_TRUE(panelTexts(panel, true).rows.empty());

    panel.on = true;
    panel.today = 1;
    WriteRow row;
    row.time = "2026-12-06T20:28:28.123Z";
    row.uid = "04A1B2C3";
    row.group = 12;
    row.card = 345;
    row.outcome = "written";
    panel.lastCards = {row};
    EXPECT_EQ(panelTexts(panel, true).heading, "Today: 1 card");
    EXPECT_EQ(panelTexts(panel, false).heading, "今日已錄 1 張卡");
    EXPECT_EQ(panelTexts(panel, true).rows,
              std::vector<std::string>{"20:28:28  04A1B2C3  00012:00345  written"});
    EXPECT_EQ(panelTexts(panel, false).rows,
              std::vector<std::string>{"20:28:28  04A1B2C3  00012:00345  已寫入"});

    panel.readFailed = true;
    EXPECT_EQ(panelTexts(panel, true).heading, "Card register cannot be read");

    // Odd times are shown as they stand rather than as a wrong hour.
    EXPECT_EQ(localTimeOfDay("yesterday"), "yesterday");
    EXPECT_EQ(localTimeOfDay("2026-12-06T20:28:28"), "2026-12-06T20:28:28");
    ::setenv("TZ", "CST-8", 1);
    ::tzset();
    EXPECT_EQ(localTimeOfDay("2026-12-06T20:28:28Z"), "04:28:28");
    ::unsetenv("TZ");
    ::tzset();
}

} // namespace
} // namespace zr::reg::test
