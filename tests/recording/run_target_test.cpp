// Runs of cards to a target, kept over a restart, counting the numbers the register holds;
// each card verified by reading it back.
#include "RecordingRig.h"
#include "recording/CardRuns.h"

#include <gtest/gtest.h>
#include <set>

namespace zr::recording::test {
namespace {

// Gives the next number the "register" does not hold, as the register sink does.
struct HoldingSink final : CardRecordSink {
    explicit HoldingSink(MemorySink& memory) : inner(memory) {}
    bool recordWrite(const WriteAttempt& attempt) override { return inner.recordWrite(attempt); }
    void recordReadBack(const ReadBackResult& result) override { inner.recordReadBack(result); }
    std::optional<NumberClaim> claimCardCode(const std::string&, const std::string&,
                                             const std::string& cardCode) override {
        int code = std::stoi(cardCode);
        while (held.count(code) != 0) {
            ++code;
        }
        const std::string digits = std::to_string(code);
        return NumberClaim{std::string(5 - digits.size(), '0') + digits};
    }
    MemorySink& inner;
    std::set<int> held;
};

std::string writtenCodes(const MemorySink& sink) {
    std::string codes;
    for (const auto& attempt : sink.writes) {
        if (attempt.outcome == AttemptOutcome::Written) {
            codes += (codes.empty() ? "" : " ") + attempt.cardCode.substr(3);
        }
    }
    return codes;
}

void runTo(RecordingRig& rig, HoldingSink& sink, const char* target) {
    rig.recorder.setSink(&sink);
    rig.station.txtRunTarget.setText(target);
    rig.station.txtRunTarget.lostFocus();
    rig.startAutoRecording();
    rig.world.loop.runFor(80000);
}

// The pace counts the intervals between the session's cards, not the cards.
TEST(RunTarget, PaceAndTimeLeftFromTheSessionsCards) {
    RecordingRig rig;
    auto& run = rig.station.run;
    run.groupCode = "00001";
    run.firstCard = 1;
    run.lastCard = 10;
    run.written = 2;
    run.sessionStartTick = rig.station.tickCount();
    run.sessionCards = 2;
    rig.world.loop.runFor(3600 * 1000);
    rig.station.showRun();
    EXPECT_EQ(rig.station.lblRunStatus.caption, "0 skipped · 1 cards/h · 08:00:00 left");
}

TEST(RunTarget, StopsAtItsLastNumberCountingHeldNumbersAndGoesOnAfterARestart) {
    const struct {
        const char* target;
        std::set<int> held;
        const char* written;
        const char* status;
        const char* bar;
    } cases[] = {
        {"8",
         {},
         "01 02 03 04 05 06 07 08",
         "Run complete: 8 cards, 00001:00001–00001:00008",
         "8 / 8"},
        {"+5",
         {3},
         "01 02 04 05",
         "Run complete: 4 cards, 00001:00001–00001:00005 (1 number skipped)",
         "5 / 5"},
        // The register's next free number lies past the run: the fourth card gets nothing.
        {"4",
         {4},
         "01 02 03",
         "Run complete: 3 cards, 00001:00001–00001:00004 (1 number skipped)",
         "4 / 4"},
    };
    for (const auto& c : cases) {
        RecordingRig rig;
        HoldingSink sink(rig.sink);
        sink.held = c.held;
        rig.queueCards(1000000001, 10);
        runTo(rig, sink, c.target);
        EXPECT_EQ(writtenCodes(rig.sink), c.written) << c.target;
        EXPECT_EQ(rig.station.lblRunStatus.caption, c.status);
        EXPECT_EQ(rig.station.infoOK.caption, c.status);
        EXPECT_EQ(rig.station.prgRun.text, c.bar);
        EXPECT_EQ(rig.station.prgRun.value, rig.station.prgRun.maximum); // skipped ones count
        EXPECT_FALSE(rig.station.chkAutoRecord.checked());
        const auto tones = rig.toneFrequencies();
        EXPECT_EQ(std::vector<int>(tones.end() - 2, tones.end()), (std::vector<int>{4000, 2000}));
    }

    // Stopped at 8; restarted on the same settings, the next run goes from 9 to 10.
    RecordingRig first;
    HoldingSink firstSink(first.sink);
    first.queueCards(1000000001, 10);
    runTo(first, firstSink, "8");
    RecordingRig again;
    again.world.settings.values = first.world.settings.values;
    again.station.Form_Load();
    EXPECT_EQ(again.station.lblRunStatus.caption, first.station.lblRunStatus.caption);
    HoldingSink againSink(again.sink);
    again.queueCards(1000000009, 2);
    runTo(again, againSink, "10");
    EXPECT_EQ(writtenCodes(again.sink), "09 10");
    EXPECT_EQ(again.station.lblRunStatus.caption, "Run complete: 2 cards, 00001:00009–00001:00010");
    EXPECT_EQ(again.world.settings.values.at("CardCode"), "00011");
}

// With verification each written card is read back first; one that reads otherwise is not
// counted written, raises the alarm, sounds the failure tones and pauses the run.
TEST(RunTarget, VerificationCountsOnlyCardsThatReadBackTheirNumber) {
    const struct {
        std::optional<std::string> v3Read; // fault on the V3 number read; nullopt: none
        const char* bar;
        bool alarm;
    } cases[] = {{std::nullopt, "3 / 3", false}, {"NO", "1 / 3", true}};
    for (const auto& c : cases) {
        RecordingRig rig;
        HoldingSink sink(rig.sink);
        rig.station.chkVerify.setValue(1);
        rig.swapMs = 3000; // the card is lifted after the tones, which follow the read-back
        rig.queueCards(1000000001, 3);
        if (c.v3Read) {
            rig.faults["01 0A"] = c.v3Read; // a blank card's probe reads "NO" all the same
        }
        runTo(rig, sink, "+3");
        EXPECT_EQ(rig.station.prgRun.text, c.bar);
        EXPECT_EQ(rig.station.run.written, c.alarm ? 0 : 3);
        EXPECT_EQ(rig.station.alarms().waiting() == 1, c.alarm);
        EXPECT_EQ(rig.sink.readBacks.size(), c.alarm ? 1U : 3U);
        EXPECT_EQ(rig.station.txtUID_Record.text(), c.alarm ? "" : "1000000003");
        EXPECT_EQ(rig.world.settings.values.at("Verify"), "1");
        if (c.alarm) {
            EXPECT_EQ(rig.station.alarms().alarms()[0].english.rfind(
                          "Card 1000000001: the read-back after the write failed (V1 reads "
                          "00001:00001, V3 reads nothing; written 00001:00001)",
                          0),
                      0U);
            EXPECT_EQ(rig.toneFrequencies(), (std::vector<int>{4000, 4000, 4000}));
            EXPECT_EQ(rig.station.txtCardCode.text(), "00002");
        }
    }
}

} // namespace
} // namespace zr::recording::test
