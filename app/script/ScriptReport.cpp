#include "app/script/ScriptReport.h"

#include "base/CardNumber.h"

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

bool layoutReads(LayoutOutcome outcome, bool read, const std::string& number,
                 const std::string& written) {
    return outcome != LayoutOutcome::Written || (read && number == written);
}

// The station's own verdict on a written card: its UID again, and the number written in
// every layout written.
bool readBackConfirms(const recording::WriteAttempt& attempt,
                      const recording::ReadBackResult& result) {
    const std::string written = base::displayForm(attempt.groupCode, attempt.cardCode);
    return result.uidRead && result.uid == attempt.uid &&
           layoutReads(attempt.v1, result.v1Read, result.v1Number, written) &&
           layoutReads(attempt.v3, result.v3Read, result.v3Number, written);
}

} // namespace

ScriptReport::~ScriptReport() {
    concludeUnverified();
}

bool ScriptReport::recordWrite(const recording::WriteAttempt& attempt) {
    concludeUnverified();
    if (attempt.outcome == AttemptOutcome::UidReadFailed) {
        return true; // the loop reads an empty programmer once a second; nothing to tell
    }
    if (attempt.outcome == AttemptOutcome::Written && verify_.checked()) {
        awaitingVerdict_ = attempt;
        return true;
    }
    printAttempt(attempt);
    return true;
}

void ScriptReport::recordReadBack(const recording::ReadBackResult& result) {
    if (!result.uidRead) {
        out_ << "read back: no card" << std::endl;
    } else {
        out_ << "read back: UID " << result.uid << " V1 " << (result.v1Read ? result.v1Number : "-")
             << " V3 " << (result.v3Read ? result.v3Number : "-") << std::endl;
    }
    if (!awaitingVerdict_) {
        return;
    }
    recording::WriteAttempt verified = *awaitingVerdict_;
    awaitingVerdict_.reset();
    if (!readBackConfirms(verified, result)) {
        verified.outcome = AttemptOutcome::VerifyFailed;
    }
    printAttempt(verified);
}

void ScriptReport::concludeUnverified() {
    if (!awaitingVerdict_) {
        return;
    }
    recording::WriteAttempt unverified = *awaitingVerdict_;
    awaitingVerdict_.reset();
    unverified.outcome = AttemptOutcome::VerifyFailed;
    printAttempt(unverified);
}

void ScriptReport::printAttempt(const recording::WriteAttempt& attempt) {
    out_ << "card " << attemptText(attempt.outcome) << ": UID " << attempt.uid << " number "
         << attempt.groupCode << ':' << attempt.cardCode << " V1 " << layoutText(attempt.v1)
         << " V3 " << layoutText(attempt.v3) << std::endl;
}

} // namespace zr::app
