#include "recording/AttemptReasons.h"

#include "base/CardNumber.h"
#include "protocol/CommandNames.h"

#include <string>
#include <utility>

namespace zr::recording {
namespace {

using station::AlarmText;

AlarmText stepName(FailedStep step) {
    switch (step) {
    case FailedStep::UidRead:
        return {"讀取卡片 UID", "the UID read"};
    case FailedStep::V1CardType:
        return {"Ｖ１卡片類型", "the V1 card type"};
    case FailedStep::V1KeyChange:
        return {"Ｖ１修改 KEY", "the V1 key change"};
    case FailedStep::V1Write:
        return {"Ｖ１寫碼", "the V1 write"};
    case FailedStep::V3Login:
        return {"Ｖ３登入", "the V3 log-in"};
    case FailedStep::V3KeyChange:
        return {"Ｖ３修改 KEY", "the V3 key change"};
    case FailedStep::V3Write:
        return {"Ｖ３寫碼", "the V3 write"};
    case FailedStep::V1Read:
        return {"Ｖ１讀取卡號", "the V1 number read"};
    case FailedStep::V3Read:
        return {"Ｖ３讀取卡號", "the V3 number read"};
    case FailedStep::ReadBack:
        return {"寫入後讀回驗證", "the read-back after the write"};
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
    case FailedStep::V1KeyChange:
    case FailedStep::V3KeyChange:
    case FailedStep::V1Read:
    case FailedStep::V3Read:
    case FailedStep::ReadBack:
        return refused ? AlarmText{"卡片 KEY 可能不符或卡片已移開：請重新放置卡片。",
                                   "The card's key may differ or the card was lifted: lay the "
                                   "card again."}
                       : AlarmText{"請檢查卡機連線後再試。",
                                   "Check the programmer's link, then try again."};
    case FailedStep::Register:
    case FailedStep::None:
        break;
    }
    return {"", ""};
}

AlarmText reasonText(const std::string& cardLabelChinese, const std::string& cardLabelEnglish,
                     FailedStep failedStep, ProgrammerAnswer programmerAnswer,
                     const AlarmText& todo) {
    const AlarmText step = stepName(failedStep);
    const AlarmText answer = answerText(programmerAnswer);
    AlarmText reason;
    reason.chinese = cardLabelChinese + step.chinese + "失敗";
    reason.english = cardLabelEnglish + step.english + " failed";
    if (!answer.english.empty()) {
        reason.chinese += "（" + answer.chinese + "）";
        reason.english += " (" + answer.english + ")";
    }
    reason.chinese += "。" + todo.chinese;
    reason.english += ". " + todo.english;
    return reason;
}

// The step an operator's single command is, by the name its sender runs under.
std::optional<FailedStep> commandStep(std::string_view command) {
    namespace c = protocol::command;
    const std::pair<std::string_view, FailedStep> steps[] = {
        {c::kReadUid, FailedStep::UidRead},          {c::kV1AssignAKey, FailedStep::V1CardType},
        {c::kV1ModifyAKey, FailedStep::V1KeyChange}, {c::kV1LoadNewAKey, FailedStep::V1CardType},
        {c::kV1ReadCardCode, FailedStep::V1Read},    {c::kV1WriteCardCode, FailedStep::V1Write},
        {c::kV2AssignAKey, FailedStep::V3Login},     {c::kV2ModifyAKey, FailedStep::V3KeyChange},
        {c::kV2WriteCardCode, FailedStep::V3Write},  {c::kV2ReadCardCode, FailedStep::V3Read},
    };
    for (const auto& [name, step] : steps) {
        if (name == command) {
            return step;
        }
    }
    return std::nullopt;
}

// "Ｖ１讀回 00012:00007" / "V1 reads 00012:00007" ("nothing" when no number came back).
void appendRead(AlarmText& text, const char* layout, const char* wide, bool read,
                const std::string& number) {
    text.chinese.append(text.chinese.empty() ? "" : "，")
        .append(wide)
        .append("讀回 ")
        .append(read ? number : "無");
    text.english.append(text.english.empty() ? "" : ", ")
        .append(layout)
        .append(" reads ")
        .append(read ? number : "nothing");
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
    return reasonText(cardLabel(attempt, false) + "：", cardLabel(attempt, true) + ": ",
                      attempt.failedStep, attempt.answer, advice(attempt));
}

std::optional<AlarmText> commandFailureReason(std::string_view command, ProgrammerAnswer answer) {
    const auto step = commandStep(command);
    if (!step || answer == ProgrammerAnswer::Confirmed || answer == ProgrammerAnswer::Refused) {
        return std::nullopt;
    }
    WriteAttempt attempt;
    attempt.failedStep = *step;
    attempt.answer = answer;
    const std::string name(command);
    return reasonText(name + "：", name + ": ", *step, answer, advice(attempt));
}

AlarmText verifyFailureAlarm(const WriteAttempt& attempt, const ReadBackResult& readBack) {
    const std::string number = base::displayForm(attempt.groupCode, attempt.cardCode);
    AlarmText reads;
    if (!readBack.uidRead || readBack.uid != attempt.uid) {
        reads = readBack.uidRead ? AlarmText{"讀到另一張卡片 " + readBack.uid,
                                             "another card was read: " + readBack.uid}
                                 : AlarmText{"卡片 UID 讀不到", "no UID was read"};
    } else {
        if (attempt.v1 == LayoutOutcome::Written) {
            appendRead(reads, "V1", "Ｖ１", readBack.v1Read, readBack.v1Number);
        }
        if (attempt.v3 == LayoutOutcome::Written) {
            appendRead(reads, "V3", "Ｖ３", readBack.v3Read, readBack.v3Number);
        }
    }
    return {"卡片 " + attempt.uid + "：寫入後讀回驗證失敗（" + reads.chinese + "；寫入 " + number +
                "）。此卡片不算已寫入，已暫停自動錄碼：請檢查此卡片並放在一旁，或重新寫入。",
            "Card " + attempt.uid + ": the read-back after the write failed (" + reads.english +
                "; written " + number +
                "). The card is not counted as written and automatic recording paused: check "
                "the card and set it aside, or write it again."};
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
