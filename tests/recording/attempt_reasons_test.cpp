// The reason on the alarm line for each failing step and each kind of answer, in both
// languages, and where it reaches the operator.
#include "RecordingRig.h"
#include "recording/AttemptReasons.h"

#include <gtest/gtest.h>

namespace zr::recording::test {
namespace {

using A = ProgrammerAnswer;
using S = FailedStep;

TEST(AttemptReasons, EachStepAndAnswerGivesItsReasonInBothLanguages) {
    const struct {
        const char* command; // "": a write attempt's step
        S step;
        A answer;
        const char* english; // nullptr: no reason (the reply handler speaks)
        const char* chinese;
    } cases[] = {
        {"", S::UidRead, A::Silent,
         "The card: the UID read failed (the programmer did not answer). Check the link and the "
         "programmer; raise the speed setting if it answers slowly.",
         "卡片：讀取卡片 UID失敗（卡機沒有回應）。請檢查連線與卡機；卡機回應慢時請調高錄碼速度。"},
        {"", S::V1CardType, A::Refused,
         "Card 1234554321: the V1 card type failed (the programmer answered NO). The card may be "
         "recorded already: check it with Read Card Number.",
         "卡片 1234554321：Ｖ１卡片類型失敗（卡機回覆 NO）。此卡片可能已錄過碼：請讀回卡號確認。"},
        {"", S::V1Write, A::Unclear,
         "Card 1234554321: the V1 write failed (the programmer's answer was unclear). Lay the "
         "card on again to finish it.",
         "卡片 1234554321：Ｖ１寫碼失敗（卡機回覆無法辨識）。請重新放置此卡片以完成寫入。"},
        {"", S::V3Write, A::Refused,
         "Card 1234554321: the V3 write failed (the programmer answered NO). The card may have "
         "been lifted or its number is locked: lay it on again.",
         "卡片 1234554321：Ｖ３寫碼失敗（卡機回覆 "
         "NO）。卡片可能已移開或卡號已鎖碼：請重新放置卡片。"},
        {"", S::V3Login, A::Silent,
         "Card 1234554321: the V3 log-in failed (the programmer did not answer). Check the "
         "programmer model and the A key.",
         "卡片 1234554321：Ｖ３登入失敗（卡機沒有回應）。請檢查錄碼機型號與 A Key。"},
        {"V1_Modify_A_Key", S::V1KeyChange, A::Silent,
         "V1_Modify_A_Key: the V1 key change failed (the programmer did not answer). Check the "
         "programmer's link, then try again.",
         "V1_Modify_A_Key：Ｖ１修改 KEY失敗（卡機沒有回應）。請檢查卡機連線後再試。"},
        {"V2_ReadCardCode", S::V3Read, A::Unclear,
         "V2_ReadCardCode: the V3 number read failed (the programmer's answer was unclear). "
         "Check the programmer's link, then try again.",
         "V2_ReadCardCode：Ｖ３讀取卡號失敗（卡機回覆無法辨識）。請檢查卡機連線後再試。"},
        {"V1_WriteCardCode", S::V1Write, A::Refused, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        std::optional<station::AlarmText> reason;
        if (*c.command != 0) {
            reason = commandFailureReason(c.command, c.answer);
        } else {
            WriteAttempt attempt;
            attempt.uid = c.step == S::UidRead ? "" : "1234554321";
            attempt.failedStep = c.step;
            attempt.answer = c.answer;
            reason = failureReason(attempt);
        }
        ASSERT_EQ(reason.has_value(), c.english != nullptr) << c.command << int(c.step);
        if (reason) {
            EXPECT_EQ(reason->english, c.english);
            EXPECT_EQ(reason->chinese, c.chinese);
        }
    }
}

// A single command without an answer shows why on the alarm line; in automatic recording a
// failed V3 log-in sounds the failure tones, where by hand it stays silent.
TEST(AttemptReasons, ReachTheAlarmLineAndSoundInAutomaticRecording) {
    RecordingRig silent;
    silent.programmer.layCard("1234554321");
    silent.faults["02 02"] = std::nullopt;
    silent.station.cmd_V1_ModifyKey.click();
    EXPECT_EQ(silent.station.lblAlarm.caption.rfind("V1_Modify_A_Key: the V1 key change failed "
                                                    "(the programmer did not answer)",
                                                    0),
              0U);

    RecordingRig automatic;
    automatic.faults["08 07"] = std::nullopt;
    automatic.queueCards(1234554321, 1);
    automatic.startAutoRecording();
    automatic.world.loop.runFor(8000);
    const std::vector<int> tones = automatic.toneFrequencies();
    ASSERT_GE(tones.size(), 3U);
    EXPECT_EQ(std::vector<int>(tones.begin(), tones.begin() + 3),
              (std::vector<int>{4000, 4000, 4000}));
}

} // namespace
} // namespace zr::recording::test
