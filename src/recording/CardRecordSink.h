#pragma once

#include <optional>
#include <string>

// Where a finished write attempt or read-back is handed on (a card register, for example).
// The recording workflows call it; they know nothing of what lies behind it.
namespace zr::recording {

// What became of one layout in a write attempt.
enum class LayoutOutcome {
    NotRequested,    // its check box was off
    NotAttempted,    // requested, but the attempt ended before this layout's first request
    KeyAssignFailed, // the programmer never answered the key assignment
    WriteFailed,     // the write went unanswered or was refused
    Written,         // the programmer confirmed the write with "OK"
};

// What became of the whole attempt.
enum class AttemptOutcome {
    Written,       // every requested layout written (also when none was requested)
    UidReadFailed, // no UID: nothing was sent to the card
    V1Failed,      // V1 key assignment or V1 write failed; V3 not attempted
    V3Failed,      // V3 key assignment or V3 write failed
    RefusedBySink, // programmer confirmed, but the sink refused to record the card
};

// One run of the write workflow past its link check.
struct WriteAttempt {
    std::string uid;       // cleaned UID as shown in txtUID (empty when the read failed)
    std::string groupCode; // five-digit texts as sent
    std::string cardCode;
    bool lock = false;
    LayoutOutcome v1 = LayoutOutcome::NotRequested;
    LayoutOutcome v3 = LayoutOutcome::NotRequested;
    AttemptOutcome outcome = AttemptOutcome::Written;
};

// One run of the read-back procedure past its link check.
struct ReadBackResult {
    std::string uid; // empty when the UID read failed (nothing else was read)
    bool uidRead = false;
    bool v1Read = false;  // the programmer gave a V1 card number
    std::string v1Number; // group:card, as shown in txtBlockIDV1; empty when not read
    bool v3Read = false;
    std::string v3Number; // as shown in txtBlockIDV2
};

class CardRecordSink {
  public:
    virtual ~CardRecordSink() = default;

    // Called once per write attempt. For a confirmed write (outcome Written) it runs after the
    // programmer said "OK" and before the success tones and the card-code step: returning
    // false means the card could not be recorded, so it is not reported as written, the card
    // code stays, automatic recording pauses (chkAutoRecord cleared) and infoErr says why.
    // For failed attempts the result is ignored.
    virtual bool recordWrite(const WriteAttempt& attempt) = 0;

    // Called once per read-back that got past its link check.
    virtual void recordReadBack(const ReadBackResult& result) = 0;

    // Called after the UID read and before anything is written to the card: the card code
    // (five digits) the card gets, which the workflow puts into txtCardCode and writes; or
    // nothing when no number can be given now: the attempt then ends before its first write
    // and automatic recording pauses, with the sink's message in infoErr. The default keeps
    // the operator's number.
    virtual std::optional<std::string> claimCardCode(const std::string& uid,
                                                     const std::string& groupCode,
                                                     const std::string& cardCode) {
        (void)uid;
        (void)groupCode;
        return cardCode;
    }
};

} // namespace zr::recording
