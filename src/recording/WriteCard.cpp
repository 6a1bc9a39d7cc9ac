// The write-card workflow: the V1 and V3 sequences, the indicators, the tones and the
// automatic numbering that never skips or reuses a card number.
#include "base/CardNumber.h"
#include "keys/KeyDerivation.h"
#include "protocol/ReplyDispatch.h"
#include "protocol/Senders.h"
#include "recording/AttemptReasons.h"
#include "recording/CardNumberFields.h"
#include "recording/CardRuns.h"
#include "recording/Recorder.h"
#include "recording/Tones.h"

#include <utility>
#include <vector>

namespace zr::recording {
namespace {

constexpr const char* kUnsavedChinese = "設定檔無法寫入，卡號未儲存，請檢查後再錄碼!";
constexpr const char* kUnsavedEnglish =
    "Settings cannot be written, the card number is not saved. Check them before recording!";
constexpr const char* kExhaustedChinese = "卡號已達 65535，請輸入新的卡號!";
constexpr const char* kExhaustedEnglish = "Card code 65535 is used up. Enter a new card number!";

} // namespace

void Recorder::failureTones() {
    recording::failureTones(station_.chkSound, station_.platform().tone);
}

void Recorder::successTones() {
    recording::successTones(station_.chkSound, station_.platform().tone);
}

namespace {

LayoutOutcome requested(const station::CheckBox& box) {
    return box.checked() ? LayoutOutcome::NotAttempted : LayoutOutcome::NotRequested;
}

// What the programmer said to the step that just failed, from the replies its sender got.
ProgrammerAnswer answerOf(const protocol::ProgrammerLink& link) {
    const auto& replies = link.requests.replies();
    if (replies.answers == 0) {
        return ProgrammerAnswer::Silent;
    }
    if (replies.refusals == replies.answers && replies.answers == replies.sends) {
        return ProgrammerAnswer::Refused;
    }
    return ProgrammerAnswer::Unclear;
}

// A write is known not to have happened only when every request that went out was refused;
// any request without an answer of its own may have reached the card.
LayoutOutcome failedWrite(const protocol::ProgrammerLink& link) {
    const auto& replies = link.requests.replies();
    return replies.refusals == replies.sends ? LayoutOutcome::WriteRefused
                                             : LayoutOutcome::WriteUnanswered;
}

// The number, keys and options the attempt's requests read stay as they are until it ends:
// a click on +1 during a write would otherwise give V1, V3 and the register three numbers.
class FieldsFixed {
  public:
    explicit FieldsFixed(station::Station& s) {
        for (station::Control* control : std::initializer_list<station::Control*>{
                 &s.txtGroupCode, &s.txtCardCode, &s.cmdAdd, &s.cmdDec, &s.chkLock, &s.chkAutoAdd,
                 &s.chkProgramV1, &s.chkProgramV3, &s.cboProgrammer, &s.txtUID, &s.cmdSwitch,
                 &s.txtRunTarget, &s.chkVerify, &s.cboOrder}) {
            fix(*control);
        }
        for (std::size_t i = 0; i < s.txtAKey.size(); ++i) {
            fix(s.txtAKey[i]);
            fix(s.txtNewAKey[i]);
        }
    }
    ~FieldsFixed() {
        for (const auto& [control, enabled] : saved_) {
            control->enabled = enabled;
        }
    }
    FieldsFixed(const FieldsFixed&) = delete;
    FieldsFixed& operator=(const FieldsFixed&) = delete;

  private:
    void fix(station::Control& control) {
        saved_.emplace_back(&control, control.enabled);
        control.enabled = false;
    }
    std::vector<std::pair<station::Control*, bool>> saved_;
};

// The claim's number is not the operator's next one: the card's own earlier number, or one
// the sink gives with its group (an order's).
bool sinksNumber(const NumberClaim& claim) {
    return claim.cardsOwnNumber || !claim.groupCode.empty();
}

// The fields show the claimed number while the card is written (the requests and the replies
// read them there); afterwards a number that was not the operator's leaves the operator's
// next number back in them, unchanged.
class ClaimedNumber {
  public:
    ClaimedNumber(station::Station& s, const NumberClaim& claim)
        : s_(s), group_(s.txtGroupCode.text()), next_(s.txtCardCode.text()),
          restore_(sinksNumber(claim)) {
        if (!claim.groupCode.empty()) {
            s_.txtGroupCode.setText(claim.groupCode);
        }
        s_.txtCardCode.setText(claim.cardCode);
    }
    ~ClaimedNumber() {
        if (!restore_) {
            return;
        }
        if (s_.txtGroupCode.text() != group_) {
            s_.txtGroupCode.setText(group_);
        }
        s_.txtCardCode.setText(next_);
    }
    ClaimedNumber(const ClaimedNumber&) = delete;
    ClaimedNumber& operator=(const ClaimedNumber&) = delete;

  private:
    station::Station& s_;
    std::string group_;
    std::string next_;
    bool restore_;
};

} // namespace

bool Recorder::layoutChosen() {
    if (station_.chkProgramV1.checked() || station_.chkProgramV3.checked()) {
        return true;
    }
    pauseAutoRecord("請勾選 ZR 錄碼Ｖ１或Ｖ３，卡片未寫入!",
                    "Choose Program ZR V1 or V3: no card was written!");
    return false;
}

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

// The key boxes hold the key derived from this UID: the reply handler put it there. Should
// that have gone wrong half-way, no key that is not the card's own goes into it.
bool Recorder::keyRowsDerivedFrom(const std::string& uid) {
    station::Station& s = station_;
    const auto key = keys::deriveKey(uid, {s.site.mask1, s.site.mask2, s.site.mask3});
    if (key) {
        const keys::KeyBoxes texts = keys::keyBoxTexts(*key);
        bool same = true;
        for (std::size_t i = 0; i < texts.size(); ++i) {
            same = same && s.txtAKey[i].text() == texts[i] && s.txtNewAKey[i].text() == texts[i];
        }
        if (same) {
            return true;
        }
    }
    s.showErr(s.say("卡片 KEY 無法由卡片 UID 算出，卡片未寫入!",
                    "The card's key could not be derived from its UID; nothing was written!"));
    return false;
}

std::optional<WriteAttempt> Recorder::writeCard() {
    station::Station& s = station_;
    if (!linkOpenOrNoted() || !layoutChosen() || !numberUsable()) {
        return std::nullopt;
    }
    const FieldsFixed fixed(s);
    s.txtReceive.setText("");
    paintIndicator(s.lblV1Status, IndicatorLook::Neutral);
    paintIndicator(s.lblV2Status, IndicatorLook::Neutral);

    WriteAttempt attempt;
    attempt.groupCode = s.txtGroupCode.text();
    attempt.cardCode = s.txtCardCode.text();
    attempt.lock = s.chkLock.checked();
    attempt.v1 = requested(s.chkProgramV1);
    attempt.v3 = requested(s.chkProgramV3);
    if (!protocol::SendReadUid(link_)) {
        attempt.outcome = AttemptOutcome::UidReadFailed;
        attempt.failedStep = FailedStep::UidRead;
        attempt.answer = answerOf(link_);
        concludeFailure(attempt);
        return attempt;
    }
    attempt.uid = s.txtUID.text();
    if (!keyRowsDerivedFrom(attempt.uid)) {
        attempt.outcome = AttemptOutcome::UidReadFailed;
        report(attempt);
        return attempt;
    }
    const std::optional<NumberClaim> claim =
        sink_ != nullptr ? sink_->claimCardCode(attempt.uid, attempt.groupCode, attempt.cardCode)
                         : NumberClaim{attempt.cardCode};
    if (!claim) {
        attempt.outcome = AttemptOutcome::RefusedBySink;
        return attempt;
    }
    if (!sinksNumber(*claim) &&
        !takeClaim(s, attempt.groupCode, attempt.cardCode, claim->cardCode)) {
        // The register's next free number lies past the run: nothing is written, and the row
        // the claim began is closed as failed.
        attempt.cardCode = claim->cardCode;
        attempt.outcome = AttemptOutcome::BeyondRun;
        report(attempt);
        announceRunComplete();
        return attempt;
    }
    const ClaimedNumber number(s, *claim);
    if (!claim->groupCode.empty()) {
        attempt.groupCode = claim->groupCode;
    }
    attempt.cardCode = claim->cardCode;
    s.txtBlockIDV1.setText("");
    s.txtBlockIDV2.setText("");
    if ((s.chkProgramV1.checked() && !runV1Sequence(attempt)) ||
        (s.chkProgramV3.checked() && !runV3Sequence(attempt))) {
        concludeFailure(attempt);
        return attempt;
    }
    completeWrite(attempt, sinksNumber(*claim));
    return attempt;
}

// A failed key assignment or V3 write: the V3 indicator shows it. By hand the operator sees
// it; in automatic recording nobody watches the screen, so it sounds too.
void Recorder::failStep(WriteAttempt& attempt, AttemptOutcome outcome, FailedStep step) {
    paintIndicator(station_.lblV2Status, IndicatorLook::Failure);
    if (station_.chkAutoRecord.checked()) {
        failureTones();
    }
    attempt.outcome = outcome;
    attempt.failedStep = step;
    attempt.answer = answerOf(link_);
}

// Every failure is recorded, and the operator learns which step failed and why; a card that
// is left holding its number gets an alarm that stays until acknowledged.
void Recorder::concludeFailure(const WriteAttempt& attempt) {
    report(attempt);
    station_.noteFailure(failureReason(attempt));
    if (const auto alarm = failureAlarm(attempt)) {
        station_.raiseAlarm(*alarm);
    }
}

bool Recorder::runV1Sequence(WriteAttempt& attempt) {
    station::Station& s = station_;
    if (!protocol::SendV1SelectType0(link_)) {
        attempt.v1 = LayoutOutcome::KeyAssignFailed;
        failStep(attempt, AttemptOutcome::V1Failed, FailedStep::V1CardType);
        return false;
    }
    protocol::SendV1ModifyFixedKey(link_);
    protocol::SendV1SelectType1(link_);
    if (!protocol::SendV1WriteCardCode(link_)) {
        attempt.v1 = failedWrite(link_);
        attempt.outcome = AttemptOutcome::V1Failed;
        attempt.failedStep = FailedStep::V1Write;
        attempt.answer = answerOf(link_);
        paintIndicator(s.lblV1Status, IndicatorLook::Failure);
        // A refused write gets its own message from the reply; an unanswered one gets none,
        // and the key change's green line must not stand for the card.
        protocol::showWriteFault(s);
        failureTones();
        return false;
    }
    s.txtV1_Record.setText(base::displayForm(attempt.groupCode, attempt.cardCode));
    paintIndicator(s.lblV1Status, IndicatorLook::Success);
    attempt.v1 = LayoutOutcome::Written;
    return true;
}

bool Recorder::runV3Sequence(WriteAttempt& attempt) {
    station::Station& s = station_;
    const V3Login login = loginV3ByModel();
    if (login == V3Login::Unanswered) {
        attempt.v3 = LayoutOutcome::KeyAssignFailed;
        failStep(attempt, AttemptOutcome::V3Failed, FailedStep::V3Login);
        return false;
    }
    logStep("V2_ModifyAKey");
    protocol::SendV2ModifyKey(link_);
    logStep("V2_WriteCardCode");
    if (!protocol::SendV2WriteCardCode(link_)) {
        attempt.v3 = failedWrite(link_);
        failStep(attempt, AttemptOutcome::V3Failed, FailedStep::V3Write);
        return false;
    }
    if (login != V3Login::Accepted && !confirmV3Write(attempt, login)) {
        return false;
    }
    s.txtV2_Record.setText(base::displayForm(attempt.groupCode, attempt.cardCode));
    paintIndicator(s.lblV2Status, IndicatorLook::Success);
    attempt.v3 = LayoutOutcome::Written;
    link_.pump(s.tickCount());
    return true;
}

// The write's "OK" came after a refused log-in, or with none: the programmer may have written
// where the step before left it, the V1 layout. This costs a log-in, a key change and a read,
// on this path alone.
bool Recorder::confirmV3Write(WriteAttempt& attempt, V3Login login) {
    const std::string written = base::displayForm(attempt.groupCode, attempt.cardCode);
    const V3Layout v3 = readV3Layout();
    if (v3.layoutsOwn && v3.number == written) {
        return true;
    }
    if (v3.layoutsOwn && v3.answered) {
        // V3 does not hold the number, so the write went elsewhere: into V1, where the
        // programmer last pointed, even on a card whose V1 layout was not asked for.
        attempt.v3 = LayoutOutcome::KeyAssignFailed;
        if (attempt.v1 != LayoutOutcome::Written) {
            attempt.v1 = LayoutOutcome::StrayWrite;
        }
    } else {
        attempt.v3 = LayoutOutcome::WriteUnanswered;
    }
    failStep(attempt, AttemptOutcome::V3Failed, FailedStep::V3Login);
    protocol::showWriteFault(station_);
    attempt.answer =
        login == V3Login::Refused ? ProgrammerAnswer::Refused : ProgrammerAnswer::Confirmed;
    return false;
}

// The card is reported written only once the sink has taken it, and the next number is on
// disk before this returns, so the next card's first request already finds it there.
void Recorder::completeWrite(WriteAttempt& attempt, bool numberFromSink) {
    station::Station& s = station_;
    if (sink_ != nullptr && !sink_->recordWrite(attempt)) {
        attempt.outcome = AttemptOutcome::RefusedBySink;
        attempt.failedStep = FailedStep::Register;
        for (auto* indicator : {&s.lblV1Status, &s.lblV2Status}) {
            paintIndicator(*indicator, IndicatorLook::Failure);
        }
        pauseAutoRecord("卡片無法登錄，已暫停自動錄碼，請檢查卡片登錄!",
                        "The card could not be registered. Automatic recording paused; check "
                        "the card register!");
        return;
    }
    const bool counts = s.chkAutoAdd.checked() && !numberFromSink;
    if (s.chkVerify.checked() && !verifyWritten(attempt)) {
        // The card may hold the number whatever it read back: it stays with that card.
        if (counts) {
            countPassedOver(s, attempt.groupCode, attempt.cardCode);
            stepCardCode();
        }
        return;
    }
    s.clearFailure();
    s.txtUID_Record.setText(s.txtUID.text());
    successTones();
    const bool runWasActive = s.run.active();
    if (counts) {
        countWritten(s, attempt.groupCode, attempt.cardCode);
        stepCardCode();
    }
    if (runWasActive && s.run.complete) {
        announceRunComplete();
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
