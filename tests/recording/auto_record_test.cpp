// The automatic recording loop over runs of cards: numbering, pauses, link loss and refusals.
#include "RecordingRig.h"

#include <gtest/gtest.h>

namespace zr::recording::test {
namespace {

using Codes = std::vector<std::string>;

std::vector<std::string> writtenNumbers(const MemorySink& sink) {
    std::vector<std::string> numbers;
    for (const auto& attempt : sink.writes) {
        if (attempt.outcome == AttemptOutcome::Written) {
            numbers.push_back(attempt.uid + "=" + attempt.cardCode);
        }
    }
    return numbers;
}

TEST(AutoRecord, RecordsARunOfCardsEachWithTheNextNumberSavedBeforeItsFirstRequest) {
    RecordingRig rig;
    rig.queueCards(1000000001, 4);
    rig.startAutoRecording();
    rig.world.loop.runFor(30000);
    EXPECT_EQ(writtenNumbers(rig.sink),
              (std::vector<std::string>{"1000000001=00001", "1000000002=00002", "1000000003=00003",
                                        "1000000004=00004"}));
    for (int i = 1; i <= 4; ++i) {
        const sim::CardMemory* card = rig.programmer.memoryOf("100000000" + std::to_string(i));
        ASSERT_NE(card, nullptr);
        const sim::CardNumber expected{1, static_cast<std::uint16_t>(i), true};
        EXPECT_EQ(card->numbers[sim::kV1Sector], expected) << i;
        EXPECT_EQ(card->numbers[sim::kV3Sector], expected) << i;
    }
    // Each card's writes found its own number already on disk (the first card: none yet).
    EXPECT_EQ(rig.storedCodeAtWrite, (std::vector<std::string>{"", "", "00002", "00002", "00003",
                                                               "00003", "00004", "00004"}));
    EXPECT_EQ(rig.world.settings.values.at("CardCode"), "00005");
    // The last card stays on the programmer: each tick only reads its UID.
    const std::size_t before = rig.frames().size();
    rig.world.loop.runFor(3000);
    const Codes codes = rig.codes();
    EXPECT_EQ(Codes(codes.begin() + static_cast<long>(before), codes.end()),
              (Codes{"00", "00", "00"}));
}

// A link that is down shows its message on every tick; the loop opens it again by itself and
// records as soon as it is back.
TEST(AutoRecord, LinkDownMessageEveryTickThenResumesByItself) {
    RecordingRig rig;
    auto& s = rig.station;
    rig.world.serial.unplug();
    rig.queueCards(1000000001, 1);
    rig.startAutoRecording();
    const char* message = "COM Port Error！\r\nPlease Check Connect Setting And Card!";
    for (int tick = 0; tick < 4; ++tick) {
        s.infoErr.caption.clear();
        rig.world.loop.runFor(1000);
        EXPECT_EQ(s.infoErr.caption, message) << tick;
        EXPECT_EQ(s.infoOK.caption, "");
        EXPECT_EQ(s.lblAlarm.caption, "") << tick;
    }
    // A click sends nothing either, and says why on the alarm line alone.
    for (station::Button* button :
         {&s.cmdRecordBlock, &s.cmdReadBack, &s.cmdReadUID, &s.cmd_V2_ReadCardCode}) {
        s.clearFailure();
        button->click();
        EXPECT_EQ(s.lblAlarm.caption, "The link to the programmer (COM1) is not open: choose COM "
                                      "or TCP/IP and check the cable.")
            << button->name();
        EXPECT_EQ(s.infoErr.caption, message) << button->name();
    }
    EXPECT_TRUE(rig.frames().empty());
    rig.world.serial.availablePorts = {1};
    rig.world.loop.runFor(8000);
    EXPECT_EQ(s.sbCOM.foreColor, station::kLinkUp);
    EXPECT_EQ(writtenNumbers(rig.sink), std::vector<std::string>{"1000000001=00001"});
}

TEST(AutoRecord, LastCardCodeIsWrittenOnceThenTheLoopPauses) {
    RecordingRig rig;
    rig.station.txtCardCode.setText("65535");
    rig.queueCards(1000000001, 2);
    rig.startAutoRecording();
    rig.world.loop.runFor(8000);
    EXPECT_EQ(writtenNumbers(rig.sink), std::vector<std::string>{"1000000001=65535"});
    EXPECT_EQ(rig.station.chkAutoRecord.value(), 0);
    EXPECT_EQ(rig.station.infoErr.caption, "Card code 65535 is used up. Enter a new card number!");
    // Neither a click nor a restarted loop writes 65535 into the next card.
    rig.station.cmdRecordBlock.click();
    rig.station.chkAutoRecord.setValue(1);
    rig.world.loop.runFor(3000);
    const Codes codes = rig.codes();
    EXPECT_EQ(std::count(codes.begin(), codes.end(), "09"), 2);
    EXPECT_EQ(rig.station.chkAutoRecord.value(), 0);
    // A new number is written.
    rig.station.txtGroupCode.setText("00002");
    rig.station.txtCardCode.setText("00001");
    rig.station.chkAutoRecord.setValue(1);
    rig.world.loop.runFor(6000);
    EXPECT_EQ(writtenNumbers(rig.sink).back(), "1000000002=00001");
}

TEST(AutoRecord, UnwritableSettingsHoldTheNextCardUntilTheyAreSaved) {
    RecordingRig rig;
    rig.world.settings.failWrites = true;
    rig.queueCards(1000000001, 2);
    rig.startAutoRecording();
    rig.world.loop.runFor(8000);
    EXPECT_EQ(writtenNumbers(rig.sink), std::vector<std::string>{"1000000001=00001"});
    EXPECT_EQ(rig.station.chkAutoRecord.value(), 0);
    EXPECT_EQ(rig.station.infoErr.caption,
              "Settings cannot be written, the card number is not saved. Check them before "
              "recording!");
    const std::size_t before = rig.frames().size();
    rig.station.cmdRecordBlock.click();
    EXPECT_EQ(rig.frames().size(), before);
    rig.world.settings.failWrites = false;
    rig.station.cmdRecordBlock.click();
    EXPECT_EQ(writtenNumbers(rig.sink).back(), "1000000002=00002");
    EXPECT_EQ(rig.world.settings.values.at("CardCode"), "00003");
    // Saved, nothing is pending: the next card is written before its own number fails to save.
    rig.world.settings.failWrites = true;
    rig.programmer.layCard("1000000003");
    rig.station.cmdRecordBlock.click();
    EXPECT_EQ(writtenNumbers(rig.sink).back(), "1000000003=00003");
}

} // namespace
} // namespace zr::recording::test
