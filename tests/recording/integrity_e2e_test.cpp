// The promise end to end against the real simulator, over loopback TCP and a pseudo-terminal,
// recording into a register file: a card lifted during its V3 write keeps its number, a UID
// reply that is none writes nothing, replies later than the wait never make a false success,
// a write whose answer was lost keeps its number for that card.
#include "RecordRun.h"
#include "base/TextRules.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace zr::recording::test {
namespace {

namespace fs = std::filesystem;

constexpr unsigned long long kFirstUid = 2000000001;

// What the simulator's cards hold when they leave the programmer, against the register and
// what the station reported: no number on two cards, each card reported written holds its
// number in every layout it asked for, each number on a card is on record for it.
void expectThePromiseKept(RecordRun& run, bool v1) {
    std::map<std::string, std::set<std::string>> holders;
    std::map<std::string, Removed> last;
    for (const Removed& card : run.removed()) {
        last[card.uid] = card;
    }
    for (const auto& [uid, card] : last) {
        for (const std::string& number : {card.v1, card.v3}) {
            if (number == "-") {
                continue;
            }
            holders[number].insert(uid);
            bool onRecord = false;
            const auto rows = run.cards()->findUid(uid);
            ASSERT_TRUE(rows.ok());
            for (const reg::WriteRow& row : rows.value()) {
                onRecord = onRecord || reg::numberText(row.group, row.card) == number;
            }
            EXPECT_TRUE(onRecord) << uid << " holds " << number;
        }
    }
    for (const auto& [number, uids] : holders) {
        EXPECT_EQ(uids.size(), 1u) << number;
    }
    for (const WriteAttempt& attempt : run.sink().writes) {
        EXPECT_TRUE(attempt.uid.empty() || base::isCardUid(attempt.uid)) << attempt.uid;
        if (attempt.outcome != AttemptOutcome::Written) {
            continue;
        }
        const std::string number = attempt.groupCode + ":" + attempt.cardCode;
        ASSERT_TRUE(last.contains(attempt.uid)) << attempt.uid;
        EXPECT_EQ(last[attempt.uid].v3, number) << attempt.uid;
        EXPECT_EQ(last[attempt.uid].v1, v1 ? number : "-") << attempt.uid;
    }
}

class IntegrityTest : public ::testing::TestWithParam<Link> {
  protected:
    void TearDown() override { fs::remove(ptyLink); }
    std::string ptyLink =
        (fs::temp_directory_path() / ("zr-integrity-" + std::to_string(::getpid()) + "-" +
                                      std::to_string(GetParam() == Link::Tcp ? 0 : 1)))
            .string();
    testing::TempDir dir;
};

// Replies 80 ms after each request with the wait at 50 ms, the first UID reply noise, and the
// first card taken off at its V3 write.
TEST_P(IntegrityTest, LiftedAtTheV3WriteAndEveryReplyLate) {
    RecordRun run(GetParam(), ptyLink, 80);
    ASSERT_TRUE(run.ready());
    run.useRegister(dir.file("cards.sqlite"));
    run.scenario("uid-reply ~*~~&~@%%&");
    run.scenario("snatch 2");
    // Slow answers make a card's V3 sequence longer than an impatient operator's swap.
    run.scenario("swap 2500");
    run.scenario("queue " + std::to_string(kFirstUid) + " 5");
    run.start();
    run.station().txtInterval.setText("50");
    ASSERT_TRUE(run.runUntilQueueEmpty(120000)) << run.sink().writes.size() << " attempts";
    expectThePromiseKept(run, true);
    const Removed& lifted = run.removed().front();
    EXPECT_EQ(lifted.uid, std::to_string(kFirstUid));
    EXPECT_EQ(lifted.v1, "00001:00001");
    EXPECT_EQ(lifted.v3, "-");
    EXPECT_GE(run.station().alarms().waiting(), 1u);
    EXPECT_EQ(run.removed().back().v3, "00001:00005"); // four cards after it, none skipped
}

// V3 only: UID replies 350 ms late, and the second card's write lands with its answer lost.
TEST_P(IntegrityTest, ALostAnswerKeepsItsNumberAndLateUidsAreStillRead) {
    RecordRun run(GetParam(), ptyLink, 5);
    ASSERT_TRUE(run.ready());
    run.useRegister(dir.file("cards.sqlite"));
    run.scenario("uid-delay 350");
    run.scenario("swap 300");
    run.scenario("queue " + std::to_string(kFirstUid) + " 4");
    run.start();
    run.station().chkProgramV1.setValue(0);
    const auto onRemoved = [&run] {
        if (run.removed().size() == 1) {
            run.scenario("lose");
        }
    };
    ASSERT_TRUE(run.runUntilQueueEmpty(90000, onRemoved)) << run.sink().writes.size();
    expectThePromiseKept(run, false);
    // The lost answer made the second card's first attempt one of unknown outcome; its next
    // attempt wrote the same number again.
    bool unanswered = false;
    for (const WriteAttempt& attempt : run.sink().writes) {
        unanswered = unanswered ||
                     (attempt.uid == std::to_string(kFirstUid + 1) &&
                      attempt.v3 == LayoutOutcome::WriteUnanswered && attempt.cardCode == "00002");
    }
    EXPECT_TRUE(unanswered);
    std::vector<std::string> numbers;
    for (const Removed& card : run.removed()) {
        numbers.push_back(card.v3);
    }
    EXPECT_EQ(numbers, (std::vector<std::string>{"00001:00001", "00001:00002", "00001:00003",
                                                 "00001:00004"}));
}

INSTANTIATE_TEST_SUITE_P(Links, IntegrityTest, ::testing::Values(Link::Tcp, Link::Pty),
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
