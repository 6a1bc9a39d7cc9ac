#include "protocol/Exchange.h"

#include "base/TextRules.h"
#include "protocol/CommandNames.h"
#include "protocol/ReplyDispatch.h"
#include "protocol/ReplyText.h"

#include <exception>
#include <string>

namespace zr::protocol {
namespace {

// A reply arriving byte by byte over the serial line (or in TCP segments) is complete after
// this settle.
constexpr double kSerialSettleBeyondMs = 20; // elapsed >= 21
// A UID arriving in TCP segments is complete after this settle.
constexpr double kTcpUidSettleBeyondMs = 300; // elapsed >= 301
constexpr int kAttempts = 3;
// Requests an earlier sender left unanswered are given up on once the line has been quiet this
// long; until then a new command's first request waits, so their late replies cannot meet it.
constexpr std::uint32_t kQuietBeforeNewCommandMs = 1000;
// However busy the line stays, a new command waits no longer than this.
constexpr std::uint32_t kLongestQuietWaitMs = 3000;

// A fault in the receive path is written to the traffic log whatever the window size: it is
// the only trace of a reply whose handling stopped half-way.
void logFault(ProgrammerLink& link, const std::string& command, const std::string& reply,
              std::string_view what) {
    link.station().platform().trafficLog.appendLine("DispatchReply failed: " + command + " - " +
                                                    reply + ": " + std::string(what));
}

// One bad reply (or a failing key derivation behind it) must never end the station. The
// reply's effects so far stay; the next reply is handled normally.
void dispatchContained(ProgrammerLink& link, std::string& reply, bool logFirst) {
    const std::string command = link.currentCommand;
    try {
        if (logFirst) {
            link.station().WriteTrafficLog(reply);
        }
        DispatchReply(link, reply);
    } catch (const std::exception& error) {
        logFault(link, command, reply, error.what());
    } catch (...) {
        logFault(link, command, reply, "unknown error");
    }
}

// A UID answers only the last request: an earlier attempt's reply may describe a card that has
// been taken off since, and the UID decides the card's key and its register row.
bool takenByWaitingSender(const station::RequestLedger::Reply& owner) {
    using Owner = station::RequestLedger::Owner;
    return owner.owner == Owner::Waiting &&
           (owner.latest || base::upperAscii(owner.command) != base::upperAscii(command::kReadUid));
}

// A reply nobody waits for any more is shown, so the traffic view still tells what the
// programmer said, but it changes nothing.
void showIgnored(station::Station& station, const station::RequestLedger::Reply& owner,
                 const std::string& reply) {
    const bool unasked = owner.owner == station::RequestLedger::Owner::Nobody;
    station.addTrafficLine((unasked ? std::string("?") : owner.command) + " - " + reply +
                           (unasked ? " (no request open: ignored)" : " (late: ignored)"));
}

void handOn(ProgrammerLink& link, std::string& reply, bool logFirst) {
    station::Station& station = link.station();
    const auto owner = link.requests.replyRead(reply, station.tickCount());
    if (!takenByWaitingSender(owner)) {
        if (logFirst) {
            station.WriteTrafficLog(reply);
        }
        showIgnored(station, owner, reply);
        return;
    }
    dispatchContained(link, reply, logFirst);
}

} // namespace

void OnSerialReceive(ProgrammerLink& link) {
    station::Station& station = link.station();
    auto& serial = station.platform().serial;
    if (!serial.isOpen() || serial.commEvent() != platform::SerialPort::kEventReceive) {
        return;
    }
    link.requests.bytesArrived(station.tickCount());
    link.waitWithEvents(kSerialSettleBeyondMs);
    std::string reply = replyText(serial.readAll());
    if (reply.empty()) {
        return;
    }
    handOn(link, reply, true);
}

void OnTcpReceive(ProgrammerLink& link, std::size_t /*bytesTotal*/) {
    station::Station& station = link.station();
    link.requests.bytesArrived(station.tickCount());
    // TCP is a stream: "OK" may arrive as "O" and "K". Without a settle each piece would be
    // a reply of its own, and a card the programmer wrote would be reported as failed.
    link.waitWithEvents(link.currentCommand == command::kReadUid ? kTcpUidSettleBeyondMs
                                                                 : kSerialSettleBeyondMs);
    std::string reply = replyText(station.platform().tcp.readAll());
    if (reply.empty()) {
        return;
    }
    handOn(link, reply, false);
}

void awaitEarlierReplies(ProgrammerLink& link) {
    station::Station& station = link.station();
    auto& requests = link.requests;
    const std::uint32_t start = station.tickCount();
    while (requests.open()) {
        const std::uint32_t now = station.tickCount();
        const std::uint32_t quiet = requests.quietFor(now);
        if (quiet > kQuietBeforeNewCommandMs ||
            platform::ticksSince(start, now) > kLongestQuietWaitMs) {
            break;
        }
        link.pump(now + (kQuietBeforeNewCommandMs - quiet) + 1);
    }
    requests.forgetOpenRequests();
}

double ReplyLimit::millis(const ProgrammerLink& link) const {
    return fixedMs_ ? static_cast<double>(*fixedMs_) : link.station().intervalMs();
}

bool isEarlyExit(std::string_view flag, EarlyExit exits) {
    return flag == "OK" || (exits == EarlyExit::OkOrNo && flag == "NO");
}

bool waitForFlag(ProgrammerLink& link, const station::TextBox& flag, EarlyExit exits,
                 ReplyLimit limit) {
    return link.waitWithEvents([&] { return limit.millis(link); },
                               [&] { return isEarlyExit(flag.text(), exits); });
}

bool sendShared(ProgrammerLink& link, const SharedCommand& command) {
    const station::RequestLedger::WaitingSender waiting(link.requests);
    std::optional<Frame> frame = command.buildFrame();
    if (!frame) {
        return false;
    }
    awaitEarlierReplies(link);
    link.retryCount = 0;
    command.flag.setText("");
    // The counter is shared with every other such sender, so one started inside this wait
    // resets it; the own count keeps this command to three sends regardless.
    for (int sends = 1;; ++sends) {
        link.currentCommand = command.name;
        if (!link.linkUp()) {
            return false;
        }
        link.sendFrame(*frame);
        waitForFlag(link, command.flag, command.earlyExit, command.limit);
        if (isEarlyExit(command.flag.text(), command.successOn)) {
            return true;
        }
        if (link.retryCount >= kAttempts - 1 || sends >= kAttempts) {
            return false;
        }
        ++link.retryCount;
        frame = command.buildFrame();
        if (!frame) {
            return false;
        }
    }
}

bool sendCounted(ProgrammerLink& link, const CountedCommand& command, const Frame& frame) {
    station::Station& station = link.station();
    const station::RequestLedger::WaitingSender waiting(link.requests);
    if (command.delayBeforeMs > 0) {
        if (command.emptyFlagBeforeDelay) {
            command.flag.setText("");
        }
        std::int32_t delay = command.delayBeforeMs;
        link.DelayWithEvents(delay);
    }
    awaitEarlierReplies(link);
    link.currentCommand = command.name;
    if (!command.emptyFlagBeforeDelay) {
        command.flag.setText("");
    }
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (attempt > 0 && command.onlyLatestReply) {
            awaitEarlierReplies(link);
            if (isEarlyExit(command.flag.text(), command.earlyExit)) {
                return true;
            }
        }
        if (!link.linkUp()) {
            return false;
        }
        link.sendFrame(frame);
        station.addTrafficLine(std::to_string(attempt) + std::string(command.label));
        if (waitForFlag(link, command.flag, command.earlyExit, command.limit)) {
            return true;
        }
    }
    return false;
}

} // namespace zr::protocol
