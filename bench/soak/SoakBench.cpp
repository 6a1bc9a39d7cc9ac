#include "soak/SoakBench.h"

#include "base/TextRules.h"
#include "keys/KeyProcedures.h"
#include "keys/SiteConfig.h"

#include <chrono>
#include <cstdio>
#include <map>
#include <set>

namespace zr::soak {
namespace {

// kill -9: thrown from an event of the station's own loop, so it ends the station wherever it
// waits, with nothing of it cleaned up but its memory.
struct Killed {};

constexpr std::uint32_t kAnswerMs = 20;
constexpr std::uint32_t kSwapMs = 300;
constexpr std::uint64_t kSetAsideAfterMs = 25000;
constexpr int kMostReturns = 2;
// A bench waiting on an order that other benches have stopped working gives up after this
// long without a card written: the cards the order waits for are not its own.
constexpr std::uint64_t kGiveUpWaitingMs = 600000;
constexpr const char* kTcpAddress = "127.0.0.1:101";

std::string uidText(int first, int second) {
    char text[16];
    std::snprintf(text, sizeof text, "%05d%05d", first, second);
    return text;
}

bool holds(const reg::WriteRow& row) {
    return row.outcome == "written" || row.outcome == "started" || row.v1 == "ok" ||
           row.v1 == "unknown" || row.v3 == "ok" || row.v3 == "unknown";
}

// The station takes the order as its `[Register] Order=` setting makes it do at start-up.
void takeOrder(reg::RegisterSink& sink, const std::string& reference) {
    sink.setOrder(reference);
}

} // namespace

const char* faultName(Fault fault) {
    static constexpr std::array<const char*, kFaultKinds> names{
        "split reply",     "garbled reply", "silence",        "late reply",     "lost answer",
        "not a UID",       "late UID",      "lifted card",    "TCP drop",       "serial gone",
        "register outage", "kill -9",       "refused log-in", "NO after log-in"};
    return names[static_cast<std::size_t>(fault)];
}

// The station as zr-station composes it, its register sink reporting to the bench.
struct SoakBench::Station final : recording::CardRecordSink {
    explicit Station(SoakBench& owner)
        : bench(owner), window(owner.services_),
          link(
              owner.loop_,
              [this] {
                  auto db = bench.options_.openDatabase(bench.registerDown_);
                  return reg::CardRegister::open(std::move(db), bench.options_.where,
                                                 bench.options_.station,
                                                 reg::CardRegister::Access::ReadWrite, clock());
              },
              owner.options_.where, std::nullopt, nullptr),
          journal(owner.journalFile_) {
        sink = std::make_unique<reg::RegisterSink>(window, link, journal,
                                                   owner.options_.sharedSequence, clock(),
                                                   [](const std::string&) {});
        window.setCardRecordSink(this);
        window.site = keys::siteKeysFrom(keys::defaultSiteConfig());
        if (!owner.options_.order.empty()) {
            takeOrder(*sink, owner.options_.order);
        }
    }

    reg::Clock clock() const {
        return [this] {
            return std::chrono::system_clock::time_point(std::chrono::seconds(1796547600)) +
                   std::chrono::milliseconds(bench.loop_.now());
        };
    }

    bool recordWrite(const recording::WriteAttempt& attempt) override {
        const bool stored = sink->recordWrite(attempt);
        if (attempt.outcome == recording::AttemptOutcome::UidReadFailed) {
            return stored;
        }
        ++bench.figures_.attempts;
        if (attempt.outcome == recording::AttemptOutcome::Written && stored) {
            bench.reported_.push_back({attempt.uid,
                                       static_cast<int>(base::wholeValue(attempt.groupCode)),
                                       static_cast<int>(base::wholeValue(attempt.cardCode))});
            ++bench.figures_.cardsWritten;
            bench.lastWrittenAt_ = bench.loop_.now();
            bench.loop_.post(kSwapMs, [b = &bench, uid = attempt.uid] {
                if (b->present_ == uid) {
                    b->programmer_.removeCard();
                    b->present_.clear();
                    b->layNext();
                }
            });
        }
        return stored;
    }
    void recordReadBack(const recording::ReadBackResult& result) override {
        sink->recordReadBack(result);
    }
    std::optional<recording::NumberClaim> claimCardCode(const std::string& uid,
                                                        const std::string& groupCode,
                                                        const std::string& cardCode) override {
        return sink->claimCardCode(uid, groupCode, cardCode);
    }

    SoakBench& bench;
    window::MainWindow window;
    reg::RegisterLink link;
    reg::RegisterJournal journal;
    std::unique_ptr<reg::RegisterSink> sink;
};

SoakBench::SoakBench(SoakOptions options) : options_(std::move(options)), random_(options_.seed) {
    serial_.availablePorts = {1};
    tcp_.reachable = {kTcpAddress};
    serial_.onWrite = [this](int, const std::vector<std::uint8_t>& frame) { answer(frame, false); };
    tcp_.onSend = [this](const std::vector<std::uint8_t>& frame) { answer(frame, true); };
    settings_.values = {{"ConnType", options_.tcp ? "TCPIP" : "COM"},
                        {"IP", "127.0.0.1"},
                        {"PORT", "101"},
                        {"AutoAdd", "1"},
                        {"Sound", "1"},
                        {"Language", "1"},
                        // An unlocked V1 layout takes a write meant for V3 after a refused log-in.
                        {"Lock", options_.seed % 2 == 0 ? "1" : "0"}};
}

SoakBench::~SoakBench() = default;

void SoakBench::startStation() {
    station_ = std::make_unique<Station>(*this);
    if (registerDown_ != nullptr) {
        *registerDown_ = outage_;
    }
    window::MainWindow& w = station_->window;
    w.Form_Load();
    w.chkAutoRecord.setValue(1);
}

void SoakBench::run() {
    layNext();
    if (options_.eventFaults) {
        scheduleEventFault();
    }
    const std::uint64_t dayEnds = static_cast<std::uint64_t>(options_.cards) * 60000;
    startStation();
    while (!done() && loop_.now() < dayEnds) {
        try {
            loop_.runFor(1000);
            watchCard();
            watchOrder();
        } catch (const Killed&) {
            station_.reset();
            startStation();
        }
    }
    // No more faults: whatever the station kept meanwhile reaches the register.
    faultsOn_ = false;
    outage_ = false;
    if (registerDown_ != nullptr) {
        *registerDown_ = false;
    }
    serial_.availablePorts = {1};
    tcp_.reachable = {kTcpAddress};
    loop_.runFor(3 * reg::RegisterLink::kRetryEveryMs);
    station_->window.chkAutoRecord.setValue(0);
    loop_.runFor(5000);
    station_.reset();
    figures_.virtualMs = loop_.now();
}

bool SoakBench::done() const {
    if (options_.order.empty()) {
        return figures_.cardsWritten >= options_.cards;
    }
    return figures_.orderComplete || (options_.othersStopped && options_.othersStopped() &&
                                      loop_.now() - lastWrittenAt_ > kGiveUpWaitingMs);
}

void SoakBench::watchOrder() {
    station::Station& w = station_->window;
    if (options_.order.empty()) {
        return;
    }
    voidSpoiled();
    if (w.chkAutoRecord.checked()) {
        return;
    }
    const std::string complete = w.english() ? "Order " + options_.order + " complete"
                                             : "訂單 " + options_.order + " 已完成";
    if (w.infoOK.caption.find(complete) != std::string::npos ||
        w.infoErr.caption.find(complete) != std::string::npos) {
        figures_.orderComplete = true;
        return;
    }
    w.chkAutoRecord.setValue(1);
}

void SoakBench::voidSpoiled() {
    reg::CardRegister* cards = station_->link.cards();
    while (cards != nullptr && !spoiled_.empty()) {
        const auto voided = cards->voidCard(spoiled_.back(), "left aside in the fault soak");
        if (!voided.ok() && voided.error().kind != reg::RegisterFailure::Refused) {
            return; // the register is away: the operator tries again later
        }
        figures_.cardsVoided += voided.ok() ? 1 : 0;
        spoiled_.pop_back();
    }
}

void SoakBench::deliver(const std::string& reply, std::uint32_t delayMs, int pieces, bool overTcp) {
    // The programmer answers in the order it was asked, however late.
    const std::uint64_t due = std::max(loop_.now() + delayMs, lastDue_ + 1);
    lastDue_ = due + static_cast<std::uint64_t>(5 * (pieces - 1));
    const std::size_t size =
        (reply.size() + static_cast<std::size_t>(pieces) - 1) / static_cast<std::size_t>(pieces);
    for (std::size_t at = 0, n = 0; at < reply.size(); at += size, ++n) {
        const auto delay = static_cast<std::uint32_t>(due - loop_.now() + 5 * n);
        if (overTcp) {
            tcp_.deliverText(reply.substr(at, size), delay);
        } else {
            serial_.deliverText(reply.substr(at, size), delay);
        }
    }
}

void SoakBench::answer(const std::vector<std::uint8_t>& frame, bool overTcp) {
    const bool uidRead = frame.size() == 2 && frame[1] == 0x00;
    const bool numberWrite = frame.size() > 1 && frame[1] == 0x09;
    if (uidRead && linkBackAt_) {
        figures_.idleAfterDrop.push_back(static_cast<std::uint32_t>(loop_.now() - *linkBackAt_));
        linkBackAt_.reset();
    }
    const double p = faultsOn_ ? options_.faultRate : 0.0;
    if (chance(p)) {
        count(Fault::Silence);
        return;
    }
    if (chance(p)) {
        count(Fault::GarbledReply);
        deliver("\x85\x90\xA0\xC3", kAnswerMs, 1, overTcp);
        return;
    }
    if (uidRead && !present_.empty() && chance(p)) {
        count(Fault::NotAUid);
        deliver(chance(0.5) ? std::string("~*~~&~@%%&") : present_ + present_, kAnswerMs, 1,
                overTcp);
        return;
    }
    if (numberWrite && !present_.empty() && chance(p)) {
        count(Fault::LiftedCard);
        liftCard();
    }
    const bool modeChange = frame.size() > 2 && (frame[1] == 0x07 || frame[1] == 0x03);
    const bool v3LogIn = modeChange && frame[1] == 0x07 && frame[2] == 0x20;
    if (uidRead) {
        v3LogInRefused_ = false;
    }
    if (numberWrite && v3LogInRefused_) {
        ++figures_.writesAfterRefusedLogIn;
    }
    if (modeChange && !present_.empty() && chance(p)) {
        const bool carriedOut = chance(0.5);
        count(carriedOut ? Fault::MisreportedLogIn : Fault::RefusedModeChange);
        if (carriedOut) {
            programmer_.answer(frame);
        }
        v3LogInRefused_ = v3LogInRefused_ || v3LogIn;
        deliver("NO", kAnswerMs, 1, overTcp);
        return;
    }
    std::uint32_t delay = kAnswerMs;
    const auto wait =
        static_cast<std::uint32_t>(station_ ? std::max(0.0, station_->window.intervalMs()) : 300.0);
    if (uidRead && chance(p)) {
        count(Fault::LateUid);
        delay = between(302, 600);
    } else if (chance(p)) {
        count(Fault::LateReply);
        delay = wait + between(30, 600);
    }
    int pieces = 1;
    if (chance(p)) {
        count(Fault::SplitReply);
        pieces = static_cast<int>(between(2, 3));
    }
    const std::string reply = programmer_.answer(frame);
    if (v3LogIn) {
        v3LogInRefused_ = reply == "NO";
    }
    if (chance(p)) {
        count(Fault::LostAnswer);
        return;
    }
    deliver(reply, delay, pieces, overTcp);
}

// The operator lifts the card mid-write; it goes back on a moment later, or aside for later.
void SoakBench::liftCard() {
    const std::string uid = present_;
    programmer_.removeCard();
    present_.clear();
    loop_.post(between(500, 2000), [this, uid] {
        if (!present_.empty()) {
            return;
        }
        if (chance(0.5)) {
            programmer_.layCard(uid);
            present_ = uid;
            presentSince_ = loop_.now();
            return;
        }
        setAside(uid);
        layNext();
    });
}

void SoakBench::setAside(const std::string& uid) {
    if (++returns_[uid] <= kMostReturns) {
        queue_.push_back(uid);
        return;
    }
    // An order would wait for ever on a number that a card left aside holds: the operator
    // spoils the card in the register.
    if (!options_.order.empty()) {
        spoiled_.push_back(uid);
    }
}

void SoakBench::layNext() {
    if (options_.order.empty() ? figures_.cardsWritten >= options_.cards : figures_.orderComplete) {
        return;
    }
    if (queue_.empty()) {
        const std::string uid = uidText(options_.uidHalf, nextUid_++);
        uids_.push_back(uid);
        queue_.push_back(uid);
    }
    present_ = queue_.front();
    queue_.pop_front();
    programmer_.layCard(present_);
    presentSince_ = loop_.now();
}

// A card that will not finish (left partly written, say) is set aside after a while, as the
// alarm line tells the operator to.
void SoakBench::watchCard() {
    if (!present_.empty() && loop_.now() - presentSince_ > kSetAsideAfterMs) {
        programmer_.removeCard();
        setAside(present_);
        present_.clear();
        layNext();
    }
}

void SoakBench::scheduleEventFault() {
    loop_.post(between(20000, 60000), [this] {
        if (!faultsOn_) {
            return;
        }
        scheduleEventFault();
        switch (between(0, 2)) {
        case 0:
            dropLink();
            return;
        case 1:
            count(Fault::RegisterOutage);
            outage_ = true;
            if (registerDown_ != nullptr) {
                *registerDown_ = true;
            }
            loop_.post(between(2000, 10000), [this] {
                outage_ = false;
                if (registerDown_ != nullptr) {
                    *registerDown_ = false;
                }
            });
            return;
        default:
            count(Fault::Kill);
            throw Killed{};
        }
    });
}

void SoakBench::dropLink() {
    if (options_.tcp) {
        count(Fault::TcpDrop);
        tcp_.reachable.clear();
        tcp_.peerClose();
    } else {
        count(Fault::SerialGone);
        serial_.unplug();
    }
    loop_.post(between(500, 3000), [this] {
        tcp_.reachable = {kTcpAddress};
        serial_.availablePorts = {1};
        linkBackAt_ = loop_.now();
    });
}

std::vector<std::pair<std::string, const sim::CardMemory*>> SoakBench::cardsHeld() const {
    std::vector<std::pair<std::string, const sim::CardMemory*>> held;
    for (const std::string& uid : uids_) {
        held.emplace_back(uid, programmer_.memoryOf(uid));
    }
    return held;
}

std::vector<std::string> SoakBench::violations(reg::CardRegister& cards) const {
    std::vector<std::string> found;
    std::map<std::pair<int, int>, std::set<std::string>> holders;
    for (const auto& [uid, memory] : cardsHeld()) {
        if (memory == nullptr) {
            continue;
        }
        for (const int sector : {sim::kV1Sector, sim::kV3Sector}) {
            const auto& number = memory->numbers[static_cast<std::size_t>(sector)];
            if (!number) {
                continue;
            }
            holders[{number->group, number->card}].insert(uid);
            const auto rows = cards.findUid(uid);
            bool onRecord = false;
            for (const reg::WriteRow& row :
                 rows.ok() ? rows.value() : std::vector<reg::WriteRow>{}) {
                onRecord = onRecord ||
                           (row.group == number->group && row.card == number->card && holds(row));
            }
            if (!onRecord) {
                found.push_back("card " + uid + " holds " +
                                reg::numberText(number->group, number->card) +
                                ", which the register does not give it");
            }
        }
    }
    for (const auto& [number, uids] : holders) {
        if (uids.size() > 1) {
            found.push_back(reg::numberText(number.first, number.second) + " is on " +
                            std::to_string(uids.size()) + " cards");
        }
    }
    for (const Reported& card : reported_) {
        const sim::CardMemory* memory = programmer_.memoryOf(card.uid);
        for (const int sector : {sim::kV1Sector, sim::kV3Sector}) {
            const auto& number = memory == nullptr
                                     ? std::optional<sim::CardNumber>()
                                     : memory->numbers[static_cast<std::size_t>(sector)];
            if (!number || number->group != card.group || number->card != card.card) {
                found.push_back("card " + card.uid + " was reported written with " +
                                reg::numberText(card.group, card.card) +
                                " but does not hold it in layout " +
                                (sector == sim::kV1Sector ? "V1" : "V3"));
            }
        }
    }
    return found;
}

} // namespace zr::soak
