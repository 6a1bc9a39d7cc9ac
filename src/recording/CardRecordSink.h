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
    KeyAssignFailed, // the key assignment was refused or never answered: nothing was written
    WriteRefused,    // every write request was answered "NO": nothing was written
    WriteUnanswered, // a write request got no answer of its own (none, late, garbled, link
                     // dropped): the card may hold the number
    Written,         // the programmer confirmed the write with "OK" after a log-in it accepted
    StrayWrite,      // not this layout's write, but one the programmer said "OK" to may have
                     // landed here: a refused V3 log-in leaves it pointing at the V1 layout
};

// The card holds, or may hold, the attempt's number in this layout.
inline bool mayHoldNumber(LayoutOutcome outcome) {
    return outcome == LayoutOutcome::Written || outcome == LayoutOutcome::WriteUnanswered ||
           outcome == LayoutOutcome::StrayWrite;
}

// What became of the whole attempt.
enum class AttemptOutcome {
    Written,       // every requested layout written
    UidReadFailed, // no UID: nothing was sent to the card
    V1Failed,      // V1 key assignment or V1 write failed; V3 not attempted
    V3Failed,      // V3 key assignment or V3 write failed
    RefusedBySink, // no number could be given, or the written card could not be recorded
    BeyondRun,     // the register's next free number lies past the run's end: nothing was
                   // written (the row the claim began is closed as failed)
    VerifyFailed,  // written and recorded, but the read-back after it gave another number (or
                   // none): not reported written; the sink saw it as Written, then the read-back
};

// The step that ended a failed attempt, and what the programmer said to it.
// The key changes and reads end no write attempt; they name what an operator's single command
// or a verifying read-back was doing when the programmer failed it.
enum class FailedStep {
    None,
    UidRead,
    V1CardType,
    V1KeyChange,
    V1Write,
    V3Login,
    V3KeyChange,
    V3Write,
    V1Read,
    V3Read,
    ReadBack, // the number read back after the write is not the number written
    Register,
};
enum class ProgrammerAnswer {
    Confirmed, // "OK" (or nothing asked)
    Refused,   // "NO" to every request of the step
    Silent,    // no answer of its own to any request of the step
    Unclear,   // answers, but not all "NO": noise, a late or a cut reply
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
    FailedStep failedStep = FailedStep::None;
    ProgrammerAnswer answer = ProgrammerAnswer::Confirmed;
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

// The card code a write attempt is to carry.
struct NumberClaim {
    std::string cardCode; // five digits
    // The card's own number from an earlier attempt that left it (partly) on the card: it is
    // written again, and the operator's next number in txtCardCode stays for the next card.
    bool cardsOwnNumber = false;
    // Five digits when the sink gives the group as well (an order's): the card gets exactly
    // this group and card code whatever the fields say, and the fields are the operator's
    // again afterwards. Empty keeps the operator's group.
    std::string groupCode = {};
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
    // the card gets; or nothing when no number can be given now (the sink has told the
    // operator why): the attempt then ends before its first write. The default keeps the
    // operator's number.
    virtual std::optional<NumberClaim> claimCardCode(const std::string& uid,
                                                     const std::string& groupCode,
                                                     const std::string& cardCode) {
        (void)uid;
        (void)groupCode;
        return NumberClaim{cardCode};
    }
};

} // namespace zr::recording
