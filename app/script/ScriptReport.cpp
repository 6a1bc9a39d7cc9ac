#include "app/script/ScriptReport.h"

namespace zr::app {
namespace {

using recording::AttemptOutcome;
using recording::LayoutOutcome;

const char* layoutText(LayoutOutcome outcome) {
    switch (outcome) {
    case LayoutOutcome::NotRequested:
        return "off";
    case LayoutOutcome::NotAttempted:
        return "not attempted";
    case LayoutOutcome::KeyAssignFailed:
        return "key assignment failed";
    case LayoutOutcome::WriteRefused:
        return "write refused";
    case LayoutOutcome::WriteUnanswered:
        return "write unanswered";
    case LayoutOutcome::StrayWrite:
        return "may hold a write meant for V3";
    case LayoutOutcome::Written:
        return "written";
    }
    return "";
}

const char* attemptText(AttemptOutcome outcome) {
    switch (outcome) {
    case AttemptOutcome::Written:
        return "written";
    case AttemptOutcome::UidReadFailed:
        return "no card";
    case AttemptOutcome::V1Failed:
        return "V1 failed";
    case AttemptOutcome::V3Failed:
        return "V3 failed";
    case AttemptOutcome::RefusedBySink:
        return "not registered";
    case AttemptOutcome::BeyondRun:
        return "past the run";
    case AttemptOutcome::VerifyFailed:
        return "read back otherwise";
    }
    return "";
}

} // namespace

bool ScriptReport::recordWrite(const recording::WriteAttempt& attempt) {
    if (attempt.outcome == AttemptOutcome::UidReadFailed) {
        return true; // the loop reads an empty programmer once a second; nothing to tell
    }
    out_ << "card " << attemptText(attempt.outcome) << ": UID " << attempt.uid << " number "
         << attempt.groupCode << ':' << attempt.cardCode << " V1 " << layoutText(attempt.v1)
         << " V3 " << layoutText(attempt.v3) << std::endl;
    return true;
}

void ScriptReport::recordReadBack(const recording::ReadBackResult& result) {
    if (!result.uidRead) {
        out_ << "read back: no card" << std::endl;
        return;
    }
    out_ << "read back: UID " << result.uid << " V1 " << (result.v1Read ? result.v1Number : "-")
         << " V3 " << (result.v3Read ? result.v3Number : "-") << std::endl;
}

} // namespace zr::app
