// Runs of cards recorded automatically against the real simulator, over loopback TCP and a
// pseudo-terminal, on the real Qt platform, into a register file. Each run checks the promise
// against what the simulator's cards hold when they leave the programmer: no number on two
// cards, each card reported written holds its number in every layout it asked for, each number
// on a card is on record for it.
#include "RecordRun.h"
#include "base/TextRules.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <unistd.h>

namespace zr::recording::test {
namespace {

namespace fs = std::filesystem;

constexpr unsigned long long kFirstUid = 2000000001;

std::string numberOf(int n) {
    const std::string digits = std::to_string(n);
    return "00001:" + std::string(5 - digits.size(), '0') + digits;
}

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

struct CardRun {
    const char* name;
    int replyDelayMs;
    std::vector<std::string> scenario;
    int cards;
    bool v1;
    std::string interval; // empty: the station's own
    bool dropsTheLink;
    // Runs after each card the simulator takes off, with the count so far.
    std::function<void(RecordRun&, std::size_t)> onRemoved;
    std::vector<std::string> v3OnCards; // in the order the cards left, "-" for none
    std::function<bool(RecordRun&)> alsoTrue;
};

const CardRun kRuns[] = {
    // Replies in pieces throughout, the sixth card taken off at its first number write, and
    // the link dropped after the eighth: the station shows the drop and connects again by
    // itself; the number the lifted card did not take goes to the next one.
    {"SplitRepliesASnatchedCardAndADroppedLink",
     5,
     {"split 3", "swap 300"},
     12,
     true,
     "",
     true,
     [](RecordRun& run, std::size_t count) {
         if (count == 5) {
             run.scenario("snatch");
         }
         if (count == 8) {
             run.scenario("drop");
         }
     },
     {numberOf(1), numberOf(2), numberOf(3), numberOf(4), numberOf(5), "-", numberOf(6),
      numberOf(7), numberOf(8), numberOf(9), numberOf(10), numberOf(11)},
     [](RecordRun& run) { return run.station().txtCardCode.text() == "00012"; }},
    // Replies 80 ms after each request with the wait at 50 ms, the first UID reply noise, and
    // the first card taken off at its V3 write: it keeps its V1 number, the next card gets the
    // next one and an alarm stays up.
    {"LiftedAtTheV3WriteAndEveryReplyLate",
     80,
     {"uid-reply ~*~~&~@%%&", "snatch 2", "swap 2500"},
     5,
     true,
     "50",
     false,
     {},
     {"-", numberOf(2), numberOf(3), numberOf(4), numberOf(5)},
     [](RecordRun& run) {
         return run.removed().front().v1 == numberOf(1) && run.station().alarms().waiting() >= 1;
     }},
    // V3 only: UID replies 350 ms late, and an answer after the first card lost (on a write
    // that landed, or on whichever request the timing gives it to): the card keeps its
    // number and the next card gets the next one. The virtual-clock runs pin which outcome a
    // lost write answer gets.
    {"ALostAnswerAndLateUidsKeepThePromise",
     5,
     {"uid-delay 350", "swap 300"},
     4,
     false,
     "",
     false,
     [](RecordRun& run, std::size_t count) {
         if (count == 1) {
             run.scenario("lose");
         }
     },
     {numberOf(1), numberOf(2), numberOf(3), numberOf(4)},
     [](RecordRun&) { return true; }},
};

class CardRunTest : public ::testing::TestWithParam<std::tuple<Link, CardRun>> {
  protected:
    void TearDown() override { fs::remove(ptyLink); }
    std::string ptyLink =
        (fs::temp_directory_path() / ("zr-card-run-" + std::to_string(::getpid()) + "-" +
                                      std::to_string(std::get<0>(GetParam()) == Link::Tcp ? 0 : 1)))
            .string();
    testing::TempDir dir;
};

TEST_P(CardRunTest, ThePromiseHolds) {
    const Link link = std::get<0>(GetParam());
    const CardRun& card = std::get<1>(GetParam());
    RecordRun run(link, ptyLink, card.replyDelayMs);
    ASSERT_TRUE(run.ready());
    run.useRegister(dir.file("cards.sqlite"));
    for (const std::string& line : card.scenario) {
        run.scenario(line);
    }
    run.scenario("queue " + std::to_string(kFirstUid) + " " + std::to_string(card.cards));
    run.start();
    run.station().chkProgramV1.setValue(card.v1 ? 1 : 0);
    if (!card.interval.empty()) {
        run.station().txtInterval.setText(card.interval);
    }
    bool linkReportedDown = false;
    run.onDrop([&] {
        const auto& s = run.station();
        linkReportedDown = (s.sbCOM.foreColor == station::kLinkDown ||
                            s.sbTCPIP.foreColor == station::kLinkDown) &&
                           (s.infoErr.caption.find("lost") != std::string::npos ||
                            s.infoErr.caption.find("中斷") != std::string::npos);
    });
    const auto onRemoved = [&] {
        if (card.onRemoved) {
            card.onRemoved(run, run.removed().size());
        }
    };
    ASSERT_TRUE(run.runUntilQueueEmpty(card.cards * 15000, onRemoved))
        << run.sink().writes.size() << " attempts, " << run.removed().size() << " cards off";
    expectThePromiseKept(run, card.v1);
    std::vector<std::string> v3OnCards;
    for (const Removed& removed : run.removed()) {
        v3OnCards.push_back(removed.v3);
    }
    EXPECT_EQ(v3OnCards, card.v3OnCards);
    EXPECT_TRUE(card.alsoTrue(run));
    EXPECT_EQ(linkReportedDown, card.dropsTheLink);
}

INSTANTIATE_TEST_SUITE_P(Links, CardRunTest,
                         ::testing::Combine(::testing::Values(Link::Tcp, Link::Pty),
                                            ::testing::ValuesIn(kRuns)),
                         [](const auto& testInfo) {
                             return std::string(std::get<1>(testInfo.param).name) +
                                    (std::get<0>(testInfo.param) == Link::Tcp ? "_Tcp" : "_Pty");
                         });

} // namespace
} // namespace zr::recording::test

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
