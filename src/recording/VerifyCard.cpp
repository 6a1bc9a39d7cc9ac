// Reading each written card back before it is reported written, and the end of a run.
#include "base/CardNumber.h"
#include "recording/AttemptReasons.h"
#include "recording/Recorder.h"

namespace zr::recording {
namespace {

bool reads(LayoutOutcome outcome, bool read, const std::string& number,
           const std::string& written) {
    return outcome != LayoutOutcome::Written || (read && number == written);
}

} // namespace

// The read-back is the operator's own workflow, so the register records its verdict as for
// any read-back; a card that reads back otherwise is not reported written.
bool Recorder::verifyWritten(WriteAttempt& attempt) {
    station::Station& s = station_;
    const std::string written = base::displayForm(attempt.groupCode, attempt.cardCode);
    // A card that reads back right keeps the write's messages ("change the card"), not the
    // read-back's.
    const std::string ok = s.infoOK.caption;
    const std::string err = s.infoErr.caption;
    const std::optional<ReadBackResult> result = readBack();
    const ReadBackResult got = result.value_or(ReadBackResult{});
    if (got.uidRead && got.uid == attempt.uid &&
        reads(attempt.v1, got.v1Read, got.v1Number, written) &&
        reads(attempt.v3, got.v3Read, got.v3Number, written)) {
        s.infoOK.caption = ok;
        s.infoErr.caption = err;
        return true;
    }
    attempt.outcome = AttemptOutcome::VerifyFailed;
    attempt.failedStep = FailedStep::ReadBack;
    for (auto* indicator : {&s.lblV1Status, &s.lblV2Status}) {
        paintIndicator(*indicator, IndicatorLook::Failure);
    }
    const station::AlarmText alarm = verifyFailureAlarm(attempt, got);
    s.noteFailure(alarm);
    s.raiseAlarm(alarm);
    failureTones();
    // Automatic recording would write this card again and again: the operator decides.
    s.chkAutoRecord.setValue(0);
    return false;
}

void Recorder::announceRunComplete() {
    station::Station& s = station_;
    s.chkAutoRecord.setValue(0);
    s.showRun();
    successTones();
    s.showOK(s.lblRunStatus.caption);
}

} // namespace zr::recording
