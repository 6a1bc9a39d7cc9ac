#include "register/RegisterSink.h"

#include "base/CardNumber.h"
#include "recording/CardNumberFields.h"

namespace zr::reg {
namespace {

using recording::AttemptOutcome;

LayoutOutcome layout(recording::LayoutOutcome outcome) {
    switch (outcome) {
    case recording::LayoutOutcome::Written:
        return LayoutOutcome::Written;
    case recording::LayoutOutcome::KeyAssignFailed:
    case recording::LayoutOutcome::WriteFailed:
        return LayoutOutcome::Failed;
    case recording::LayoutOutcome::NotRequested:
    case recording::LayoutOutcome::NotAttempted:
        break;
    }
    return LayoutOutcome::Skipped;
}

int codeOf(const std::string& text) {
    return static_cast<int>(base::codeValue(text));
}

std::string fiveDigits(int code) {
    std::string text = std::to_string(code);
    return std::string(text.size() < 5 ? 5 - text.size() : 0, '0') + text;
}

} // namespace

RegisterSink::RegisterSink(station::Station& station, std::shared_ptr<CardRegister> cards,
                           bool sharedSequence, std::function<void(const std::string&)> detail)
    : station_(station), cards_(std::move(cards)), sharedSequence_(sharedSequence),
      detail_(std::move(detail)) {
    refreshPanel(*cards_, panel_);
}

bool RegisterSink::recordWrite(const recording::WriteAttempt& attempt) {
    // No UID: nothing reached a card, and the automatic loop meets an empty programmer once a
    // second. A refusal was this sink's own answer.
    if (attempt.outcome == AttemptOutcome::UidReadFailed ||
        attempt.outcome == AttemptOutcome::RefusedBySink) {
        return true;
    }
    CardWrite write;
    write.uid = attempt.uid;
    write.group = codeOf(attempt.groupCode);
    write.card = codeOf(attempt.cardCode);
    write.lock = attempt.lock;
    write.v1 = layout(attempt.v1);
    write.v3 = layout(attempt.v3);
    write.written = attempt.outcome == AttemptOutcome::Written;

    std::optional<std::string> otherUid;
    if (write.written && !sharedSequence_) {
        const auto other = cards_->otherUidWith(write.group, write.card, write.uid);
        if (!other) {
            detail_(other.error().message);
            return false;
        }
        otherUid = other.value();
    }
    const bool sameAttempt =
        attempt.uid == attemptUid_ && write.group == attemptGroup_ && write.card == attemptCard_;
    const std::int64_t attemptId = sameAttempt ? attemptId_ : 0;
    attemptId_ = 0;
    const bool stored = cards_->recordWrite(write, attemptId);
    refreshPanel(*cards_, panel_);
    if (!stored) {
        detail_(cards_->lastError().message);
        return false;
    }
    if (otherUid) {
        const std::string number = numberText(write.group, write.card);
        station_.showErr(station_.english()
                             ? "Card number " + number + " is already registered to UID " +
                                   *otherUid + "; written anyway!"
                             : "卡號 " + number + " 已登錄給卡片 " + *otherUid + "，仍已寫入!");
    }
    return true;
}

void RegisterSink::recordReadBack(const recording::ReadBackResult& result) {
    if (!result.uidRead) {
        return;
    }
    const auto verdict = cards_->recordReadBack(
        {result.uid, result.v1Read ? result.v1Number : "", result.v3Read ? result.v3Number : ""});
    if (!verdict) {
        detail_(cards_->lastError().message);
        station_.showErr(station_.say("讀回結果無法登錄，請檢查卡片登錄!",
                                      "The read-back could not be registered. Check the card "
                                      "register!"));
        return;
    }
    if (*verdict == Verdict::Differs) {
        station_.showErr(station_.say("讀回卡號與登錄不符!",
                                      "The card number read back differs from the register!"));
    }
}

std::optional<std::string> RegisterSink::claimCardCode(const std::string& uid,
                                                       const std::string& groupCode,
                                                       const std::string& cardCode) {
    attemptId_ = 0;
    const int group = codeOf(groupCode);
    if (!operatorAllows(group, codeOf(cardCode), uid)) {
        return std::nullopt;
    }
    const auto attempt = cards_->startAttempt(group, codeOf(cardCode), uid,
                                              station_.chkLock.checked(), sharedSequence_);
    if (attempt) {
        attemptId_ = attempt->id;
        attemptUid_ = uid;
        attemptGroup_ = group;
        attemptCard_ = attempt->card;
        return fiveDigits(attempt->card);
    }
    detail_(cards_->lastError().message);
    if (cards_->lastError().kind == RegisterFailure::NoFreeNumber) {
        station_.showErr(station_.say("此群組已無可用卡號，請輸入新的卡號!",
                                      "No free card number is left in this group. Enter a new "
                                      "card number!"));
    } else {
        station_.showErr(station_.say("卡片登錄無法寫入，已暫停自動錄碼，請檢查卡片登錄!",
                                      "The card register cannot be written. Automatic recording "
                                      "paused; check the card register!"));
    }
    return std::nullopt;
}

// The shared sequence never hands out a number another card holds, and automatic recording
// has no operator at hand to ask: it writes and warns in infoErr (recordWrite).
bool RegisterSink::operatorAllows(int group, int card, const std::string& uid) {
    if (sharedSequence_ || station_.chkAutoRecord.checked()) {
        return true;
    }
    const auto other = cards_->otherUidWith(group, card, uid);
    if (!other) {
        // startAttempt meets the same failure and reports it.
        return true;
    }
    if (!other.value()) {
        return true;
    }
    const std::string number = numberText(group, card);
    const std::string& holder = *other.value();
    const std::string question =
        station_.english()
            ? "Card number " + number + " is already registered to UID " + holder +
                  ".\r\nWrite it to card " + uid + " as well?"
            : "卡號 " + number + " 已登錄給卡片 " + holder + "。\r\n仍要寫入卡片 " + uid + " 嗎?";
    if (station_.platform().desktop.askYesNo(question, recording::kMessageBoxTitle)) {
        return true;
    }
    station_.showErr(station_.english()
                         ? "Not written: card number " + number + " belongs to UID " + holder + "."
                         : "未寫入：卡號 " + number + " 屬於卡片 " + holder + "。");
    return false;
}

std::string registerOffMessage(const station::Station& station, const std::string& reason) {
    return std::string(station.say("卡片登錄無法開啟，本次不登錄：", "Card register is off: ")) +
           reason;
}

} // namespace zr::reg
