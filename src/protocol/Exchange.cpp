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

// A fault in the receive path is written to the traffic log whatever the window size: it is
// the only trace of a reply whose handling stopped half-way.
void logFault(station::Station& station, const std::string& command, const std::string& reply,
              std::string_view what) {
    station.platform().trafficLog.appendLine("DispatchReply failed: " + command + " - " + reply +
                                             ": " + std::string(what));
}

// One bad reply (or a failing key derivation behind it) must never end the station. The
// reply's effects so far stay; the next reply is handled normally.
void dispatchContained(station::Station& station, std::string& reply, bool logFirst) {
    const std::string command = station.currentCommand;
    try {
        if (logFirst) {
            station.WriteTrafficLog(reply);
        }
        DispatchReply(station, reply);
    } catch (const std::exception& error) {
        logFault(station, command, reply, error.what());
    } catch (...) {
        logFault(station, command, reply, "unknown error");
    }
}

} // namespace

void OnSerialReceive(station::Station& station) {
    auto& serial = station.platform().serial;
    if (!serial.isOpen() || serial.commEvent() != platform::SerialPort::kEventReceive) {
        return;
    }
    station.waitWithEvents(kSerialSettleBeyondMs);
    std::string reply = replyText(serial.readAll());
    if (reply.empty()) {
        return;
    }
    dispatchContained(station, reply, true);
}

void OnTcpReceive(station::Station& station, std::size_t /*bytesTotal*/) {
    // TCP is a stream: "OK" may arrive as "O" and "K". Without a settle each piece would be
    // a reply of its own, and a card the programmer wrote would be reported as failed.
    station.waitWithEvents(station.currentCommand == command::kReadUid ? kTcpUidSettleBeyondMs
                                                                       : kSerialSettleBeyondMs);
    std::string reply = replyText(station.platform().tcp.readAll());
    if (reply.empty()) {
        return;
    }
    dispatchContained(station, reply, false);
}

double ReplyLimit::millis(const station::Station& station) const {
    return fixedMs_ ? static_cast<double>(*fixedMs_) : station.intervalMs();
}

bool isEarlyExit(std::string_view flag, EarlyExit exits) {
    return flag == "OK" || (exits == EarlyExit::OkOrNo && flag == "NO");
}

bool waitForFlag(station::Station& station, const station::TextBox& flag, EarlyExit exits,
                 ReplyLimit limit) {
    return station.waitWithEvents([&] { return limit.millis(station); },
                                  [&] { return isEarlyExit(flag.text(), exits); });
}

bool sendShared(station::Station& station, const SharedCommand& command) {
    std::optional<Frame> frame = command.buildFrame();
    if (!frame) {
        return false;
    }
    station.retryCount = 0;
    command.flag.setText("");
    // The counter is shared with every other such sender, so one started inside this wait
    // resets it; the own count keeps this command to three sends regardless.
    for (int sends = 1;; ++sends) {
        station.currentCommand = command.name;
        station.sendFrame(*frame);
        waitForFlag(station, command.flag, command.earlyExit, command.limit);
        if (isEarlyExit(command.flag.text(), command.successOn)) {
            return true;
        }
        if (station.retryCount >= kAttempts - 1 || sends >= kAttempts) {
            return false;
        }
        ++station.retryCount;
        frame = command.buildFrame();
        if (!frame) {
            return false;
        }
    }
}

bool sendCounted(station::Station& station, const CountedCommand& command, const Frame& frame) {
    if (command.delayBeforeMs > 0) {
        if (command.emptyFlagBeforeDelay) {
            command.flag.setText("");
        }
        std::int32_t delay = command.delayBeforeMs;
        station.DelayWithEvents(delay);
    }
    station.currentCommand = command.name;
    if (!command.emptyFlagBeforeDelay) {
        command.flag.setText("");
    }
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        station.sendFrame(frame);
        station.addTrafficLine(std::to_string(attempt) + std::string(command.label));
        if (waitForFlag(station, command.flag, command.earlyExit, command.limit)) {
            return true;
        }
    }
    return false;
}

} // namespace zr::protocol
