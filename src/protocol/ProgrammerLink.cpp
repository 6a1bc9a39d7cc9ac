#include "protocol/ProgrammerLink.h"

#include "protocol/Exchange.h"

namespace zr::protocol {

ProgrammerLink::ProgrammerLink(station::Station& station) : station_(station) {
    auto& platform = station_.platform();
    platform.serial.onReceive = [this] { OnSerialReceive(*this); };
    platform.tcp.onDataArrival = [this](std::size_t bytesTotal) {
        OnTcpReceive(*this, bytesTotal);
    };
    platform.tcp.onDisconnected = [this] { Winsock1_Close(); };
    platform.serial.onDeviceLost = [this] { MsComm1_DeviceLost(); };
    station_.cboCOM.onClick = [this] { cboCOM_Click(); };
    station_.sbCOM.onClick = [this] { sbCOM_Click(); };
    station_.sbTCPIP.onClick = [this] { sbTCPIP_Click(); };
    station_.sbConnect.onClick = [this] { sbConnect_Click(); };
}

// The links and the station outlive the conversation: their events must not reach it once it
// is gone.
ProgrammerLink::~ProgrammerLink() {
    auto& platform = station_.platform();
    platform.serial.onReceive = nullptr;
    platform.serial.onDeviceLost = nullptr;
    platform.tcp.onDataArrival = nullptr;
    platform.tcp.onDisconnected = nullptr;
    station_.cboCOM.onClick = nullptr;
    station_.sbCOM.onClick = nullptr;
    station_.sbTCPIP.onClick = nullptr;
    station_.sbConnect.onClick = nullptr;
}

bool ProgrammerLink::linkUp() const {
    const auto& platform = station_.platform();
    if (station_.connType == "COM") {
        return platform.serial.isOpen();
    }
    if (station_.connType == "TCPIP") {
        return platform.tcp.state() == platform::TcpSocket::kStateConnected;
    }
    return true;
}

void ProgrammerLink::sendFrame(const Frame& frame) {
    if (station_.connType == "COM") {
        sendSerialFrame(frame);
    } else if (station_.connType == "TCPIP") {
        auto& tcp = station_.platform().tcp;
        const bool carried = tcp.state() == platform::TcpSocket::kStateConnected;
        tcp.send(frame);
        if (carried) {
            requests.sent(currentCommand, station_.tickCount());
        }
    }
}

void ProgrammerLink::sendSerialFrame(std::span<const std::uint8_t> frame, ReplyAwaited awaited) {
    auto& serial = station_.platform().serial;
    const bool carried = serial.isOpen();
    serial.write(frame);
    if (carried) {
        requests.sent(currentCommand, station_.tickCount(), awaited == ReplyAwaited::ByNobody);
    }
}

namespace {

// Limits are compared in whole milliseconds; absurd values from a hand-typed interval are
// held to what a 32-bit tick difference can express.
std::uint32_t wholeLimit(double limitMs) {
    if (!(limitMs >= 0.0)) {
        return 0;
    }
    return limitMs >= 2147483647.0 ? 2147483647U : static_cast<std::uint32_t>(limitMs);
}

} // namespace

bool ProgrammerLink::waitWithEvents(const std::function<double()>& limitMs,
                                    const std::function<bool()>& done) {
    const std::uint32_t start = station_.tickCount();
    for (;;) {
        pump(start + wholeLimit(limitMs()) + 1);
        if (done && done()) {
            return true;
        }
        if (elapsedBeyond(start, limitMs())) {
            return false;
        }
    }
}

bool ProgrammerLink::waitWithEvents(double limitMs, const std::function<bool()>& done) {
    return waitWithEvents([limitMs] { return limitMs; }, done);
}

void ProgrammerLink::DelayWithEvents(std::int32_t& ms) {
    waitWithEvents(ms);
}

void ProgrammerLink::pump(std::uint32_t wakeAt) {
    station_.platform().loop.pumpEvents(wakeAt);
}

bool ProgrammerLink::elapsedBeyond(std::uint32_t start, double limitMs) const {
    return static_cast<double>(platform::ticksSince(start, station_.tickCount())) > limitMs;
}

} // namespace zr::protocol
