#pragma once

#include "protocol/ProgrammerLink.h"
#include "recording/CardRecordSink.h"
#include "station/Station.h"

#include <functional>
#include <optional>
#include <string>

// The recording workflows on the station: writing a card, reading one back, the new-card
// probe and the automatic recording loop, plus the rules that keep them from overlapping and
// keep every card number used exactly once.
namespace zr::recording {

// The three looks of the status indicators lblV1Status and lblV2Status.
enum class IndicatorLook { Neutral, Failure, Success };
void paintIndicator(station::Label& indicator, IndicatorLook look);

class Recorder {
  public:
    // The workflows fill the station's controls and talk to the programmer over `link`.
    Recorder(station::Station& station, protocol::ProgrammerLink& link)
        : station_(station), link_(link) {}

    // Default: none. The sink must outlive its use here.
    void setSink(CardRecordSink* sink) { sink_ = sink; }

    // --- Event procedures; each is ignored while another workflow or command waits -------
    void cmdRecordBlock_Click();
    void cmdReadBack_Click();
    void timerAutoRecord_Timer();
    // Runs one programmer command of a button, unless something else waits on the
    // programmer (then nothing happens).
    // On a closed link nothing is sent and the alarm line says so.
    void runCommand(const std::function<void()>& command);
    // The same guard for a command that needs no open link and reports its own outcome (the
    // port search opens the ports itself; the controller's key has its own closed-port
    // message).
    void runOwnLinkCommand(const std::function<void()>& command);

    // --- Event procedures that never wait -------------------------------------------------
    void chkAutoRecord_Click();
    void chkBlock_Click();

    // True while a workflow, a tick or a command waits on the programmer.
    bool busy() const { return busy_; }

    // --- The workflows themselves, unguarded ------------------------------------------------
    // Nothing when the workflow ended before its first request (link down, or the number
    // could not be used); otherwise what became of the attempt.
    std::optional<WriteAttempt> writeCard();
    std::optional<ReadBackResult> readBack();
    void ProbeNewCard();

  private:
    // Two command sequences interleaved on one link route each other's replies by the wrong
    // command name and can show a card as written that was not; so while one waits on the
    // programmer, a second start is ignored.
    class BusyScope {
      public:
        explicit BusyScope(Recorder& recorder) : recorder_(recorder), entered_(!recorder.busy_) {
            recorder_.busy_ = true;
        }
        ~BusyScope() {
            if (entered_) {
                recorder_.busy_ = false;
            }
        }
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;
        bool entered() const { return entered_; }

      private:
        Recorder& recorder_;
        bool entered_;
    };

    // The tones of recording/Tones.h.
    void failureTones();
    void successTones();
    bool layoutChosen();
    bool numberUsable();
    bool keyRowsDerivedFrom(const std::string& uid);
    // `numberFromSink`: the card's own earlier number or an order's, which +1 and the run do
    // not count.
    void completeWrite(WriteAttempt& attempt, bool numberFromSink);
    // The read-back after a confirmed write gives the number written in every layout written;
    // otherwise the alarm says so and automatic recording pauses.
    bool verifyWritten(WriteAttempt& attempt);
    void announceRunComplete();
    // The last command went out and got no answer of its own: the alarm line says so.
    void noteUnanswered();
    // True while the link is up; otherwise the alarm line names the closed link.
    bool linkOpenOrNoted();
    void stepCardCode();
    void failStep(WriteAttempt& attempt, AttemptOutcome outcome, FailedStep step);
    void concludeFailure(const WriteAttempt& attempt);
    bool runV1Sequence(WriteAttempt& attempt);
    bool runV3Sequence(WriteAttempt& attempt);
    void readV1();

    // What the programmer made of the V3 key assignment the programmer row asks for.
    enum class V3Login { Accepted, Refused, NotDue, Unanswered };
    V3Login loginV3ByModel();
    // The V3 layout as the read-back's V3 steps read it. A programmer keeps the mode of its
    // last accepted step when it refuses a log-in, so what it reads after a refused log-in
    // (or with none) may be the V1 layout's: only a read after an accepted one is V3's.
    struct V3Layout {
        bool layoutsOwn = false; // the log-in before the read was accepted
        bool answered = false;   // the read got an answer of its own, a number or "NO"
        std::string number;      // display form; empty when the layout holds none
    };
    V3Layout readV3Layout();
    // A V3 write the programmer said "OK" to without an accepted log-in is not proof: the V3
    // layout is read back, and only the number read there makes it written.
    bool confirmV3Write(WriteAttempt& attempt, V3Login login);
    // The tick's link check: a link that is down is opened again (at once after it went
    // down, then every two seconds), else the link message is shown.
    bool linkUpOrReconnect();
    void pauseAutoRecord(const char* chinese, const char* english);
    void report(const WriteAttempt& attempt);
    void logStep(const char* label);

    station::Station& station_;
    protocol::ProgrammerLink& link_;
    CardRecordSink* sink_ = nullptr;
    bool busy_ = false;
    // The settings could not be written after the last card: the next card waits for them.
    bool settingsPending_ = false;
    // The number last written with automatic numbering that could not step on (65535).
    std::string exhaustedNumber_;
    // When the loop last tried to open a dropped link again; none while the link is up.
    std::optional<std::uint32_t> lastReconnect_;
};

} // namespace zr::recording
