#include "register/RegisterSink.h"

#include "base/CardNumber.h"
#include "recording/CardNumberFields.h"

#include <utility>

namespace zr::reg {
namespace {

using recording::AttemptOutcome;

LayoutOutcome layout(recording::LayoutOutcome outcome) {
    switch (outcome) {
    case recording::LayoutOutcome::Written:
        return LayoutOutcome::Written;
    case recording::LayoutOutcome::WriteUnanswered:
    case recording::LayoutOutcome::StrayWrite:
        return LayoutOutcome::Unknown;
    case recording::LayoutOutcome::KeyAssignFailed:
    case recording::LayoutOutcome::WriteRefused:
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

} // namespace

RegisterSink::RegisterSink(station::Station& station, RegisterLink& link, RegisterJournal& journal,
                           bool sharedSequence, Clock clock,
                           std::function<void(const std::string&)> detail)
    : station_(station), link_(link), journal_(journal), sharedSequence_(sharedSequence),
      clock_(std::move(clock)), detail_(std::move(detail)) {
    // Rows kept while the register was away (in this run or one that ended) go in first.
    link_.onBack = [this](CardRegister& cards, std::string& reason) {
        if (journal_.flushInto(cards)) {
            return true;
        }
        reason = cards.lastError().message.empty()
                     ? "the rows kept in " + journal_.where() + " cannot be stored"
                     : cards.lastError().message;
        return false;
    };
    link_.onChange = [this] { linkChanged(); };
    station_.cboOrder.onClick = [this] { orderChosen(); };
    link_.start();
    refresh();
}

RegisterSink::~RegisterSink() {
    station_.cboOrder.onClick = nullptr;
}

void RegisterSink::refresh() {
    if (CardRegister* cards = link_.cards()) {
        refreshPanel(*cards, panel_);
        panel_.unavailable.clear();
        refreshOrders(*cards);
        return;
    }
    panel_.on = true;
    panel_.unavailable = link_.reason();
    ++panel_.revision;
}

void RegisterSink::linkChanged() {
    refresh();
    if (link_.cards() != nullptr) {
        if (!std::exchange(outageShown_, false)) {
            return;
        }
        station_.showOK(station_.say("卡片登錄已恢復，繼續錄碼。",
                                     "The card register is back; recording goes on."));
        return;
    }
    detail_(link_.reason());
    outageShown_ = true;
    station_.raiseAlarm(
        {"卡片登錄無法使用（" + link_.reason() + "）：恢復前不會寫入任何卡片，每 5 秒自動重試。",
         "The card register is unavailable (" + link_.reason() +
             "): no card is written until it is back; the station tries again "
             "every 5 s."});
}

void RegisterSink::refuseWhileUnavailable() {
    station_.showErr(registerUnavailableMessage(station_, link_.reason()));
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
    const bool sameAttempt =
        attempt.uid == attemptUid_ && write.group == attemptGroup_ && write.card == attemptCard_;
    const JournalRow row{link_.where(), utcText(clock_()), write, sameAttempt ? attemptId_ : 0};
    attemptId_ = 0;

    CardRegister* cards = link_.cards();
    if (cards != nullptr) {
        if (cards->recordWrite(write, row.attemptId, row.time)) {
            refresh();
            return true;
        }
        const RegisterError error = cards->lastError();
        detail_(error.message);
        if (error.kind == RegisterFailure::NotAUid) {
            return false;
        }
        link_.lost(error.message);
    }
    if (journal_.keep(row)) {
        return true;
    }
    detail_("the row of card " + write.uid + " cannot be kept in " + journal_.where() + " either");
    return false;
}

void RegisterSink::recordReadBack(const recording::ReadBackResult& result) {
    if (!result.uidRead) {
        return;
    }
    CardRegister* cards = link_.cards();
    const auto verdict =
        cards == nullptr ? std::nullopt
                         : cards->recordReadBack({result.uid, result.v1Read ? result.v1Number : "",
                                                  result.v3Read ? result.v3Number : ""});
    if (!verdict) {
        if (cards != nullptr) {
            detail_(cards->lastError().message);
        }
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

std::optional<recording::NumberClaim> RegisterSink::claimCardCode(const std::string& uid,
                                                                  const std::string& groupCode,
                                                                  const std::string& cardCode) {
    attemptId_ = 0;
    CardRegister* cards = link_.cards();
    if (cards == nullptr) {
        refuseWhileUnavailable();
        return std::nullopt;
    }
    if (!order_.empty()) {
        return claimOrderNumber(*cards, uid);
    }
    const int group = codeOf(groupCode);
    const int card = codeOf(cardCode);
    const bool automatic = station_.chkAutoRecord.checked();
    if (!automatic && !sharedSequence_ && !operatorAllows(*cards, group, card, uid)) {
        return std::nullopt;
    }
    const auto attempt = cards->startAttempt(group, card, uid, station_.chkLock.checked(),
                                             {.sharedSequence = sharedSequence_,
                                              .skipHeld = automatic || sharedSequence_,
                                              .ownNumberFirst = automatic});
    if (!attempt) {
        const RegisterError error = cards->lastError();
        detail_(error.message);
        if (error.kind == RegisterFailure::NoFreeNumber) {
            station_.chkAutoRecord.setValue(0);
            station_.showErr(station_.say("此群組已無可用卡號，請輸入新的卡號!",
                                          "No free card number is left in this group. Enter a "
                                          "new card number!"));
        } else {
            refuseFor(error);
        }
        return std::nullopt;
    }
    if (attempt->skippedCard) {
        const std::string held = numberText(group, *attempt->skippedCard);
        const std::string given = numberText(group, attempt->card);
        station_.raiseAlarm({"卡號 " + held + " 已屬於卡片 " + attempt->skippedHolder + "，卡片 " +
                                 uid + " 改寫入 " + given + "。",
                             "Card number " + held + " already belongs to card " +
                                 attempt->skippedHolder + "; card " + uid + " gets " + given +
                                 " instead."});
    }
    attemptId_ = attempt->id;
    attemptUid_ = uid;
    attemptGroup_ = group;
    attemptCard_ = attempt->card;
    return recording::NumberClaim{base::codeText(attempt->card), attempt->ownNumber};
}

void RegisterSink::refuseFor(const RegisterError& error) {
    if (error.kind == RegisterFailure::NotAUid) {
        station_.showErr(station_.say("無法讀取卡片 UID，請重新放置卡片!",
                                      "The card's UID could not be read. Lay the card on "
                                      "again!"));
        return;
    }
    link_.lost(error.message);
    refuseWhileUnavailable();
}

// A number the register gives another card is written by hand only when the operator says
// so; automatic recording and the shared sequence never ask (they move on instead).
bool RegisterSink::operatorAllows(CardRegister& cards, int group, int card,
                                  const std::string& uid) {
    const auto other = cards.otherUidWith(group, card, uid);
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

std::string registerUnavailableMessage(const station::Station& station, const std::string& reason) {
    return std::string(station.say("卡片登錄無法使用，卡片未寫入；恢復後自動繼續：",
                                   "The card register is unavailable, the card was not written; "
                                   "recording goes on once it is back: ")) +
           reason;
}

} // namespace zr::reg
