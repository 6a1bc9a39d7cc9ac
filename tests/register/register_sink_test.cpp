// The recording workflows' call-out kept in the register, on a station of the virtual clock.
#include "RegisterFixture.h"
#include "register/RegisterSink.h"
#include "support/VirtualPlatform.h"

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
    EXPECT_EQ(write(sink, "0402", "00001", AttemptOutcome::Written), "00001");
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
