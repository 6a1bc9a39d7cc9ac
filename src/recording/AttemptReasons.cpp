#include "recording/AttemptReasons.h"

#include "base/CardNumber.h"

#include <string>

namespace zr::recording {
namespace {

using station::AlarmText;

AlarmText stepName(FailedStep step) {
    switch (step) {
    case FailedStep::UidRead:
        return {"讀取卡片 UID", "the UID read"};
    case FailedStep::V1CardType:
        return {"Ｖ１卡片類型", "the V1 card type"};
    case FailedStep::V1Write:
        return {"Ｖ１寫碼", "the V1 write"};
    case FailedStep::V3Login:
        return {"Ｖ３登入", "the V3 log-in"};
    case FailedStep::V3Write:
        return {"Ｖ３寫碼", "the V3 write"};
    case FailedStep::Register:
        return {"卡片登錄", "the card register"};
    case FailedStep::None:
        break;
    }
    return {"", ""};
}

AlarmText answerText(ProgrammerAnswer answer) {
    switch (answer) {
    case ProgrammerAnswer::Refused:
        return {"卡機回覆 NO", "the programmer answered NO"};
    case ProgrammerAnswer::Silent:
        return {"卡機沒有回應", "the programmer did not answer"};
    case ProgrammerAnswer::Unclear:
        return {"卡機回覆無法辨識", "the programmer's answer was unclear"};
    case ProgrammerAnswer::Confirmed:
        break;
    }
    return {"", ""};
}

AlarmText advice(const WriteAttempt& attempt) {
    const bool refused = attempt.answer == ProgrammerAnswer::Refused;
    switch (attempt.failedStep) {
    case FailedStep::UidRead:
        return refused ? AlarmText{"請放上卡片。", "Lay a card on the programmer."}
                       : AlarmText{"請檢查連線與卡機；卡機回應慢時請調高錄碼速度。",
                                   "Check the link and the programmer; raise the speed "
                                   "setting if it answers slowly."};
    case FailedStep::V1CardType:
        return refused ? AlarmText{"此卡片可能已錄過碼：請讀回卡號確認。",
                                   "The card may be recorded already: check it with Read Card "
                                   "Number."}
                       : AlarmText{"請檢查連線與卡機後再試。",
                                   "Check the link and the programmer, then try again."};
    case FailedStep::V3Login:
        return {"請檢查錄碼機型號與 A Key。", "Check the programmer model and the A key."};
    case FailedStep::V1Write:
    case FailedStep::V3Write:
        return refused ? AlarmText{"卡片可能已移開或卡號已鎖碼：請重新放置卡片。",
                                   "The card may have been lifted or its number is locked: lay "
                                   "it on again."}
                       : AlarmText{"請重新放置此卡片以完成寫入。",
                                   "Lay the card on again to finish it."};
    case FailedStep::Register:
    case FailedStep::None:
        break;
    }
    return {"", ""};
}

std::string cardLabel(const WriteAttempt& attempt, bool english) {
    if (attempt.uid.empty()) {
        return english ? "The card" : "卡片";
    }
    return (english ? "Card " : "卡片 ") + attempt.uid;
}

// "V1 holds 00009:00079" / "V3 may hold 00009:00079 (its write got no answer)".
std::optional<AlarmText> heldNumber(const WriteAttempt& attempt) {
    const std::string number = base::displayForm(attempt.groupCode, attempt.cardCode);
    AlarmText held;
    for (const auto& [layout, outcome] : {std::pair{"V1", attempt.v1}, {"V3", attempt.v3}}) {
        if (!mayHoldNumber(outcome)) {
            continue;
        }
        const std::string wide = std::string(layout) == "V1" ? "Ｖ１" : "Ｖ３";
        const bool sure = outcome == LayoutOutcome::Written;
        held.chinese.append(held.chinese.empty() ? "" : "，")
            .append(wide)
            .append(sure ? "已寫入 " : "可能已寫入 ")
            .append(number);
        held.english.append(held.english.empty() ? "" : ", ")
            .append(layout)
            .append(sure ? " holds " : " may hold ")
            .append(number);
    }
    if (held.english.empty()) {
        return std::nullopt;
    }
    return held;
}

} // namespace

AlarmText failureReason(const WriteAttempt& attempt) {
    const AlarmText step = stepName(attempt.failedStep);
    const AlarmText answer = answerText(attempt.answer);
    const AlarmText todo = advice(attempt);
    AlarmText reason;
    reason.chinese = cardLabel(attempt, false) + "：" + step.chinese + "失敗";
    reason.english = cardLabel(attempt, true) + ": " + step.english + " failed";
    if (!answer.english.empty()) {
        reason.chinese += "（" + answer.chinese + "）";
        reason.english += " (" + answer.english + ")";
    }
    reason.chinese += "。" + todo.chinese;
    reason.english += ". " + todo.english;
    return reason;
}

std::optional<AlarmText> failureAlarm(const WriteAttempt& attempt) {
    if (attempt.outcome == AttemptOutcome::Written || attempt.uid.empty()) {
        return std::nullopt;
    }
    const AlarmText step = stepName(attempt.failedStep);
    const AlarmText answer = answerText(attempt.answer);
    if (const auto held = heldNumber(attempt)) {
        return AlarmText{"卡片 " + attempt.uid + "：" + held->chinese + "，" + step.chinese +
                             "失敗（" + answer.chinese +
                             "）。此卡號保留給這張卡片：請重新放置此卡片完成寫入，或將它放在一旁。",
                         "Card " + attempt.uid + ": " + held->english + "; " + step.english +
                             " failed (" + answer.english +
                             "). The number stays with this card: lay it on again to finish "
                             "it, or set it aside."};
    }
    if (attempt.answer == ProgrammerAnswer::Refused && attempt.failedStep != FailedStep::UidRead) {
        return AlarmText{"卡片 " + attempt.uid + " 被卡機拒絕（" + step.chinese +
                             "）：卡片未寫入任何卡號。",
                         "Card " + attempt.uid + " was refused (" + step.english +
                             "): no number was written to it."};
    }
    return std::nullopt;
}

} // namespace zr::recording
