// Runs of cards recorded automatically against the real simulator, over loopback TCP and a
// pseudo-terminal, on the real Qt platform.
#include "RecordRun.h"

#include <QCoreApplication>
#include <filesystem>
#include <gtest/gtest.h>
#include <regex>
#include <set>
#include <unistd.h>

namespace zr::recording::test {
namespace {

using protocol::test::Link;
namespace fs = std::filesystem;

const int kCards = std::getenv("ZR_CARDS") ? std::atoi(std::getenv("ZR_CARDS")) : 20;
constexpr unsigned long long kFirstUid = 2000000001;

std::string uidOf(int card) {
    return std::to_string(kFirstUid + static_cast<unsigned>(card));
}
std::string numberOf(int n) {
    const std::string digits = std::to_string(n);
    return "00001:" + std::string(5 - digits.size(), '0') + digits;
}

// The written cards, in order: each holds the next number in both layouts, none skipped or
// repeated, and the station reported exactly those cards as written.
void expectConsecutiveNumbers(const RecordRun& run, const std::set<std::string>& spoiled,
                              int written) {
    std::vector<std::string> reported;
    for (const auto& attempt : run.sink().writes) {
        if (attempt.outcome == AttemptOutcome::Written) {
            reported.push_back(attempt.uid + " " + attempt.groupCode + ":" + attempt.cardCode);
        }
    }
    std::vector<std::string> onCards;
    for (const Removed& card : run.removed()) {
        if (spoiled.contains(card.uid)) {
            EXPECT_EQ(card.v3, "-") << card.uid;
            continue;
        }
        EXPECT_EQ(card.v1, card.v3) << card.uid;
        onCards.push_back(card.uid + " " + card.v3);
    }
    ASSERT_EQ(onCards.size(), static_cast<std::size_t>(written));
    for (int n = 1; n <= written; ++n) {
        EXPECT_EQ(onCards[static_cast<std::size_t>(n - 1)].substr(11), numberOf(n));
    }
    EXPECT_EQ(reported, onCards);
}

class RecordRunTest : public ::testing::TestWithParam<Link> {
  protected:
    void TearDown() override { fs::remove(ptyLink); }
    std::string ptyLink =
        (fs::temp_directory_path() / ("zr-record-run-" + std::to_string(::getpid()) + ".pty"))
            .string();
};

TEST_P(RecordRunTest, TwentyCardsInSequence) {
    RecordRun run(GetParam(), ptyLink, 5);
    ASSERT_TRUE(run.ready());
    run.scenario("swap 300");
    run.scenario("queue " + std::to_string(kFirstUid) + " " + std::to_string(kCards));
    run.start();
    ASSERT_TRUE(run.runUntilQueueEmpty(kCards * 8000))
        << run.sink().writes.size() << " attempts, " << run.removed().size() << " cards off";
    expectConsecutiveNumbers(run, {}, kCards);
    EXPECT_EQ(run.station().txtCardCode.text(), numberOf(kCards + 1).substr(6));
}

// Replies in pieces throughout, one card taken off at its first number write, and the link
// dropped after the tenth card: the station shows the drop and connects again by itself.
TEST_P(RecordRunTest, TwentyCardsThroughSplitRepliesASnatchedCardAndADroppedLink) {
    RecordRun run(GetParam(), ptyLink, 5);
    ASSERT_TRUE(run.ready());
    run.scenario("split 3");
    run.scenario("swap 300");
    run.scenario("queue " + std::to_string(kFirstUid) + " " + std::to_string(kCards));
    run.start();
    bool linkReportedDown = false;
    run.onDrop([&] {
        const auto& s = run.station();
        linkReportedDown = (s.sbCOM.foreColor == station::kLinkDown ||
                            s.sbTCPIP.foreColor == station::kLinkDown) &&
                           (s.infoErr.caption.find("lost") != std::string::npos ||
                            s.infoErr.caption.find("中斷") != std::string::npos);
    });
    const auto onRemoved = [&] {
        const std::size_t count = run.removed().size();
        if (count == 5) {
            run.scenario("snatch");
        }
        if (count != 10) {
            return;
        }
        run.scenario("drop");
    };
    ASSERT_TRUE(run.runUntilQueueEmpty(kCards * 8000, onRemoved))
        << run.sink().writes.size() << " attempts, " << run.removed().size() << " cards off";
    EXPECT_TRUE(linkReportedDown);
    expectConsecutiveNumbers(run, {uidOf(5)}, kCards - 1);
    EXPECT_EQ(run.station().txtCardCode.text(), numberOf(kCards).substr(6));
}

INSTANTIATE_TEST_SUITE_P(Links, RecordRunTest, ::testing::Values(Link::Tcp, Link::Pty),
                         [](const auto& testInfo) {
                             return std::string(testInfo.param == Link::Tcp ? "Tcp" : "Pty");
                         });

} // namespace
} // namespace zr::recording::test

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
