// The write-card workflow: the V1 and V3 sequences, the indicators, the tones and the
// automatic numbering that never skips or reuses a card number.
#include "base/CardNumber.h"
#include "protocol/Senders.h"
#include "recording/CardNumberFields.h"
#include "recording/Recorder.h"

namespace zr::recording {
namespace {

constexpr int kToneHz = 4000;
constexpr int kSecondToneHz = 2000;
constexpr int kShortToneMs = 100;
constexpr int kLongToneMs = 500;

constexpr const char* kUnsavedChinese = "設定檔無法寫入，卡號未儲存，請檢查後再錄碼!";
constexpr const char* kUnsavedEnglish =
    "Settings cannot be written, the card number is not saved. Check them before recording!";
constexpr const char* kExhaustedChinese = "卡號已達 65535，請輸入新的卡號!";
constexpr const char* kExhaustedEnglish = "Card code 65535 is used up. Enter a new card number!";

void failureTones(station::Station& station) {
    if (!station.chkSound.checked()) {
        return;
    }
    auto& tone = station.platform().tone;
    tone.beep(kToneHz, kLongToneMs);
    tone.beep(kToneHz, kShortToneMs);
    tone.beep(kToneHz, kShortToneMs);
}

void successTones(station::Station& station) {
    auto& tone = station.platform().tone;
    if (station.chkSound.checked()) {
        tone.beep(kToneHz, kShortToneMs);
    }
    if (station.chkSound.checked()) {
        tone.beep(kSecondToneHz, kShortToneMs);
    }
}

LayoutOutcome requested(const station::CheckBox& box) {
    return box.checked() ? LayoutOutcome::NotAttempted : LayoutOutcome::NotRequested;
}

} // namespace

// Checked before the first request: a number the encoder refuses would otherwise be found
// out only after the card's keys were changed, and a number that cannot be saved or stepped
// on would be written twice.
bool Recorder::numberUsable() {
    station::Station& s = station_;
    if (!base::encodeCardNumber(s.txtGroupCode.text(), s.txtCardCode.text(), false)) {
        s.showErr(std::string(base::cardNumberOutOfRangeMessage(s.english())));
        return false;
    }
    if (settingsPending_) {
        if (!s.SaveStationSettings()) {
            pauseAutoRecord(kUnsavedChinese, kUnsavedEnglish);
            return false;
        }
        settingsPending_ = false;
    }
    if (s.chkAutoAdd.checked() && !exhaustedNumber_.empty() &&
        base::displayForm(s.txtGroupCode.text(), s.txtCardCode.text()) == exhaustedNumber_) {
        pauseAutoRecord(kExhaustedChinese, kExhaustedEnglish);
        return false;
    }
    return true;
}

std::optional<WriteAttempt> Recorder::writeCard() {
    station::Station& s = station_;
    if (!linkUp(s) || !numberUsable()) {
        return std::nullopt;
    }
    s.txtReceive.setText("");
    paintIndicator(s.lblV1Status, IndicatorLook::Neutral);
    paintIndicator(s.lblV2Status, IndicatorLook::Neutral);

    WriteAttempt attempt;
    attempt.groupCode = s.txtGroupCode.text();
    attempt.cardCode = s.txtCardCode.text();
    attempt.lock = s.chkLock.checked();
    attempt.v1 = requested(s.chkProgramV1);
    attempt.v3 = requested(s.chkProgramV3);
    if (!protocol::SendReadUid(s)) {
        attempt.outcome = AttemptOutcome::UidReadFailed;
        report(attempt);
        return attempt;
    }
    attempt.uid = s.txtUID.text();
    if (sink_ != nullptr) {
        const auto card = sink_->claimCardCode(attempt.uid, attempt.groupCode, attempt.cardCode);
        if (!card) {
            attempt.outcome = AttemptOutcome::RefusedBySink;
            s.chkAutoRecord.setValue(0);
            return attempt;
        }
        s.txtCardCode.setText(*card);
        attempt.cardCode = *card;
    }
    s.txtBlockIDV1.setText("");
    s.txtBlockIDV2.setText("");
    if (s.chkProgramV1.checked() && !runV1Sequence(attempt)) {
        return attempt;
    }
    if (s.chkProgramV3.checked() && !runV3Sequence(attempt)) {
        return attempt;
    }
    completeWrite(attempt);
    return attempt;
}

// A failed key assignment or V3 write: the V3 indicator shows it, nothing else changes.
void Recorder::failWrite(WriteAttempt& attempt, AttemptOutcome outcome) {
    paintIndicator(station_.lblV2Status, IndicatorLook::Failure);
    attempt.outcome = outcome;
    report(attempt);
}

bool Recorder::runV1Sequence(WriteAttempt& attempt) {
    station::Station& s = station_;
    if (!protocol::SendV1SelectType0(s)) {
        attempt.v1 = LayoutOutcome::KeyAssignFailed;
        failWrite(attempt, AttemptOutcome::V1Failed);
        return false;
    }
    protocol::SendV1ModifyFixedKey(s);
    protocol::SendV1SelectType1(s);
    if (!protocol::SendV1WriteCardCode(s)) {
        attempt.v1 = LayoutOutcome::WriteFailed;
        attempt.outcome = AttemptOutcome::V1Failed;
        paintIndicator(s.lblV1Status, IndicatorLook::Failure);
        failureTones(s);
        report(attempt);
        return false;
    }
    s.txtV1_Record.setText(base::displayForm(attempt.groupCode, attempt.cardCode));
    paintIndicator(s.lblV1Status, IndicatorLook::Success);
    attempt.v1 = LayoutOutcome::Written;
    return true;
}

bool Recorder::runV3Sequence(WriteAttempt& attempt) {
    station::Station& s = station_;
    if (!loginV3ByModel()) {
        attempt.v3 = LayoutOutcome::KeyAssignFailed;
        failWrite(attempt, AttemptOutcome::V3Failed);
        return false;
    }
    logStep("V2_ModifyAKey");
    protocol::SendV2ModifyKey(s);
    logStep("V2_WriteCardCode");
    if (!protocol::SendV2WriteCardCode(s)) {
        attempt.v3 = LayoutOutcome::WriteFailed;
        failWrite(attempt, AttemptOutcome::V3Failed);
        return false;
    }
    s.txtV2_Record.setText(base::displayForm(attempt.groupCode, attempt.cardCode));
    paintIndicator(s.lblV2Status, IndicatorLook::Success);
    attempt.v3 = LayoutOutcome::Written;
    s.pump(s.tickCount());
    return true;
}

// The card is reported written only once the sink has taken it, and the next number is on
// disk before this returns, so the next card's first request already finds it there.
void Recorder::completeWrite(WriteAttempt& attempt) {
    station::Station& s = station_;
    if (sink_ != nullptr && !sink_->recordWrite(attempt)) {
        attempt.outcome = AttemptOutcome::RefusedBySink;
        for (auto* indicator : {&s.lblV1Status, &s.lblV2Status}) {
            paintIndicator(*indicator, IndicatorLook::Failure);
        }
        pauseAutoRecord("卡片無法登錄，已暫停自動錄碼，請檢查卡片登錄!",
                        "The card could not be registered. Automatic recording paused; check "
                        "the card register!");
        return;
    }
    s.txtUID_Record.setText(s.txtUID.text());
    successTones(s);
    if (s.chkAutoAdd.checked()) {
        stepCardCode();
    }
}

void Recorder::stepCardCode() {
    station::Station& s = station_;
    const std::string written = base::displayForm(s.txtGroupCode.text(), s.txtCardCode.text());
    cmdAdd_Click(s);
    if (!s.SaveStationSettings()) {
        settingsPending_ = true;
        pauseAutoRecord(kUnsavedChinese, kUnsavedEnglish);
        return;
    }
    if (base::displayForm(s.txtGroupCode.text(), s.txtCardCode.text()) == written) {
        exhaustedNumber_ = written;
        pauseAutoRecord(kExhaustedChinese, kExhaustedEnglish);
    }
}

void Recorder::report(const WriteAttempt& attempt) {
    if (sink_ != nullptr) {
        sink_->recordWrite(attempt);
    }
}

void Recorder::pauseAutoRecord(const char* chinese, const char* english) {
    station_.chkAutoRecord.setValue(0);
    station_.showErr(station_.say(chinese, english));
}

} // namespace zr::recording
