#pragma once

#include "ProgrammerModel.h"
#include "platform/virtual/VirtualDevices.h"
#include "platform/virtual/VirtualEventLoop.h"
#include "register/CardRegister.h"
#include "register/RegisterJournal.h"
#include "register/RegisterLink.h"
#include "register/RegisterSink.h"
#include "window/MainWindow.h"

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

// One bench on the virtual clock: a whole station with its register, against the
// simulator's programmer model, with faults injected between any two steps. Its figures and
// the invariants are checked against what the programmer's cards really hold.
namespace zr::soak {

enum class Fault {
    SplitReply,
    GarbledReply,
    Silence,
    LateReply,
    LostAnswer, // the request was carried out, its answer lost
    NotAUid,    // a UID reply that is none (noise, two UIDs run together)
    LateUid,    // a UID answered after 302 to 600 ms
    LiftedCard, // the card taken off during a sequence
    TcpDrop,    // the TCP peer closes
    SerialGone, // the serial device vanishes and comes back
    RegisterOutage,
    Kill,              // kill -9 and restart
    RefusedModeChange, // a log-in or card type answered "NO" and not carried out
    MisreportedLogIn,  // a log-in or card type carried out, but answered "NO"
    Count,
};
constexpr std::size_t kFaultKinds = static_cast<std::size_t>(Fault::Count);
const char* faultName(Fault fault);

// Opens the bench's register database; the pointer it sets stands for the register's
// availability (true: every statement fails, as a full disk or a dead server does).
using DatabaseOpener = std::function<std::unique_ptr<platform::Database>(bool*& down)>;

struct SoakOptions {
    int cards = 300; // cards to report written; with an order, the bench's share of it
    unsigned seed = 1;
    double faultRate = 0.04; // per request, for each of the line faults
    bool tcp = false;        // the programmer on TCP instead of COM1
    bool eventFaults = true; // drops, outages, kills
    bool sharedSequence = false;
    std::string station = "bench-1";
    int uidHalf = 20000; // first five digits of this bench's card UIDs
    DatabaseOpener openDatabase;
    std::string where; // the register's name in messages and in the journal
    // The order the station takes, as `[Register] Order=` makes it do (empty: none). The bench
    // then records until the station says the order is complete, or, while the order waits
    // on cards of other benches, until those benches have stopped.
    std::string order;
    std::function<bool()> othersStopped;
};

struct SoakFigures {
    int cardsWritten = 0;
    int attempts = 0;
    std::array<int, kFaultKinds> faults{};
    std::vector<std::uint32_t> idleAfterDrop; // ms from the link coming back to the next UID read
    int writesAfterRefusedLogIn = 0; // number writes sent after the card's V3 log-in got "NO"
    std::uint64_t virtualMs = 0;
    bool orderComplete = false; // the station said so
    int cardsVoided = 0;        // cards left aside for good whose number the operator spoiled
};

class SoakBench {
  public:
    explicit SoakBench(SoakOptions options);
    ~SoakBench();
    SoakBench(const SoakBench&) = delete;
    SoakBench& operator=(const SoakBench&) = delete;

    // Records until the cards are written (or the virtual day ends), then lets the station
    // settle without faults so that everything it kept reaches the register.
    void run();
    const SoakFigures& figures() const { return figures_; }
    // What breaks the promise, each one line; empty when the run kept it.
    std::vector<std::string> violations(reg::CardRegister& cards) const;
    // The cards of this bench and what the programmer holds on them.
    std::vector<std::pair<std::string, const sim::CardMemory*>> cardsHeld() const;

  private:
    struct Station;
    struct Reported {
        std::string uid;
        int group = 0;
        int card = 0;
    };

    void startStation();
    bool done() const;
    // With an order: notes the station's word that it is complete; the operator ticks
    // automatic recording again when anything else stopped it.
    void watchOrder();
    void voidSpoiled();
    void answer(const std::vector<std::uint8_t>& frame, bool overTcp);
    void deliver(const std::string& reply, std::uint32_t delayMs, int pieces, bool overTcp);
    void layNext();
    void liftCard();
    void setAside(const std::string& uid);
    void watchCard();
    void scheduleEventFault();
    void dropLink();
    void count(Fault fault) { ++figures_.faults[static_cast<std::size_t>(fault)]; }
    bool chance(double p) { return std::uniform_real_distribution<double>(0, 1)(random_) < p; }
    std::uint32_t between(std::uint32_t low, std::uint32_t high) {
        return std::uniform_int_distribution<std::uint32_t>(low, high)(random_);
    }

    SoakOptions options_;
    std::mt19937 random_;
    platform::VirtualEventLoop loop_;
    platform::VirtualSerialPort serial_{loop_};
    platform::VirtualTcpSocket tcp_{loop_};
    platform::MemorySettingsStore settings_;
    platform::RecordingToneGenerator tone_{loop_};
    platform::ScriptedDesktop desktop_;
    platform::MemoryTrafficLog trafficLog_;
    platform::Platform services_{loop_, serial_, tcp_, settings_, tone_, desktop_, trafficLog_};
    platform::MemoryLines journalFile_;
    sim::ProgrammerModel programmer_;
    bool* registerDown_ = nullptr;
    std::unique_ptr<Station> station_;

    std::deque<std::string> queue_;
    std::vector<std::string> uids_;
    std::string present_;
    std::uint64_t presentSince_ = 0;
    int nextUid_ = 1;
    std::map<std::string, int> returns_;
    std::uint64_t lastDue_ = 0;
    std::uint64_t lastWrittenAt_ = 0;
    bool faultsOn_ = true;
    bool outage_ = false;
    bool v3LogInRefused_ = false; // since the last UID read
    std::optional<std::uint64_t> linkBackAt_;
    std::vector<Reported> reported_;
    std::vector<std::string> spoiled_; // left aside for good, not yet void in the register
    SoakFigures figures_;
};

} // namespace zr::soak
